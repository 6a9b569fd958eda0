// The generated model tables: their layout, known entries, which triangles share a normal entry,
// and a digest that pins the whole content bit for bit.
#include "model/mesh.h"
#include "model/mesh_counts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>

namespace {

const Mesh& mesh = helicoidMesh;
const int zeroEntry = 1;

int normalOf(int triangle) { return mesh.triangles[triangle].normalIndex[0]; }

// The first stored triangle of grid cell (j, k); cells run down from (48, 18), eight triangles
// each: A front, degenerate, A back, degenerate, then the same for B.
int cell(int j, int k) { return 8 * ((48 - j) * 19 + (18 - k)); }

bool same(const Vec3& a, const Vec3& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

TEST(MeshTables, KeepTheirLayout) {
    ASSERT_EQ(mesh.vertexCount, 3 * mesh.triangleCount);
    EXPECT_STREQ(mesh.name, "0_0");
    int largestEntry = -1;
    for (int t = 0; t < mesh.triangleCount; ++t) {
        const MeshTriangle& tri = mesh.triangles[t];
        for (int k = 0; k < 3; ++k) {
            ASSERT_EQ(tri.vertexIndex[k], 3 * t + k) << t;
            ASSERT_EQ(tri.normalIndex[k], tri.normalIndex[0]) << t;
            ASSERT_EQ(tri.texcoordIndex[k], -1) << t;
        }
        // Every second triangle is degenerate (its first and last corners coincide), and only
        // those use the zero entry; entries appear in the order of their first use.
        const bool degenerate = same(mesh.vertices[3 * t], mesh.vertices[3 * t + 2]);
        ASSERT_EQ(degenerate, t % 2 == 1) << t;
        ASSERT_EQ(normalOf(t) == zeroEntry, degenerate) << t;
        ASSERT_LE(normalOf(t), largestEntry + 1) << t;
        largestEntry = std::max(largestEntry, normalOf(t));
    }
    EXPECT_EQ(largestEntry, mesh.normalCount - 1);
    for (int i = 0; i < mesh.normalCount; ++i) {
        const Vec3& n = mesh.normals[i];
        EXPECT_NEAR(std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z), i == zeroEntry ? 0.0 : 1.0, 2e-6) << i;
    }
}

// Corners of the first and last triangles, and entries whose values are known.
TEST(MeshTables, HoldTheirKnownEntries) {
    const Vec3 a = {2.520866f, 15.387393f, 7.592446f}, inner = {0, 15.707963f, 7.157895f}, outer = {0, 15.707963f, 8};
    const std::pair<int, Vec3> corners[] = {{0, a}, {1, inner}, {2, outer}, {3, a}, {4, outer}, {5, a},
                                            {6, outer}, {7, inner}, {8, a}, {22341, {0, 0, 8}},
                                            {22342, {0, 0, 7.157895f}}, {22333, {-2.520866f, 0.320571f, 7.592446f}}};
    for (const auto& corner : corners) EXPECT_TRUE(same(mesh.vertices[corner.first], corner.second)) << corner.first;
    const std::pair<int, int> entryOf[] = {{0, 0}, {1, 1}, {2, 2}, {4, 3}, {160, 3}, {7444, 2}, {7446, 0}, {7447, 1}};
    for (const auto& known : entryOf) EXPECT_EQ(normalOf(known.first), known.second) << known.first;
    const std::pair<int, Vec3> entries[] = {
        {0, {0.126151f, 0.992011f, 0}},   {2, {-0.126151f, -0.992011f, 0}}, {3, {0.133545f, 0.990050f, -0.044340f}},
        {467, {-0.240333f, -0.965802f, 0.097300f}}, {509, {-0.240333f, -0.965802f, 0.097300f}},
        {177, {0.262900f, -0.382419f, -0.885799f}}, {219, {0.262901f, -0.382417f, -0.885799f}}};
    for (const auto& entry : entries) EXPECT_TRUE(same(mesh.normals[entry.first], entry.second)) << entry.first;
    for (int i = 0; i < mesh.vertexCount; ++i)
        for (float f : {mesh.vertices[i].x, mesh.vertices[i].y, mesh.vertices[i].z}) ASSERT_FALSE(f == 0 && std::signbit(f));
}

TEST(MeshTables, ShareNormalsExactlyWhereTheirKeysMatch) {
    std::map<int, int> uses, entriesByUses;
    for (int t = 0; t < mesh.triangleCount; ++t) ++uses[normalOf(t)];
    for (const auto& entry : uses) ++entriesByUses[entry.first == zeroEntry ? 0 : entry.second];
    EXPECT_EQ(uses[zeroEntry], 3724);
    EXPECT_EQ(entriesByUses, (std::map<int, int>{{0, 1}, {1, 204}, {2, 1760}}));
    // Neighbouring facets of the same slope share, but for three pairs on each side whose normals
    // fall on either side of a 1/10000 step.
    int split = 0;
    for (int j = 1; j <= 48; ++j)
        for (int k = 1; k <= 18; ++k)
            for (int side : {0, 2}) split += normalOf(cell(j, k) + 4 + side) != normalOf(cell(j - 1, k - 1) + side);
    EXPECT_EQ(split, 6);
    EXPECT_NE(normalOf(cell(45, 9) + 4), normalOf(cell(44, 8)));
}

// FNV-1a over the positions, the triangles and the normals, as they lie in memory.
TEST(MeshTables, MatchTheirDigest) {
    uint64_t digest = 0xcbf29ce484222325ull;
    auto add = [&](const void* data, std::size_t bytes) {
        for (std::size_t i = 0; i < bytes; ++i) digest = (digest ^ static_cast<const unsigned char*>(data)[i]) * 0x100000001b3ull;
    };
    add(mesh.vertices, sizeof(Vec3) * helicoidVertexCount);
    add(mesh.triangles, sizeof(MeshTriangle) * helicoidTriangleCount);
    add(mesh.normals, sizeof(Vec3) * helicoidNormalCount);
    EXPECT_EQ(digest, 0x68989a4a61f99bcaull) << std::hex << "digest found: 0x" << digest;
}

}  // namespace

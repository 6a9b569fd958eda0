// The generated model tables: counts, layout invariants, known entries, normal sharing, digest.
#include "model/mesh.h"
#include "model/mesh_counts.h"

#include <gtest/gtest.h>
#include <openssl/sha.h>

#include <cmath>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

const Mesh& mesh = helicoidMesh;
const int zeroNormal = 1;

// Index of the first stored triangle of grid cell (j, k): cells run from j = 48 and k = 18
// downwards, eight stored triangles each: A front, degenerate, A back, degenerate, then B's four.
int cellBase(int j, int k) { return 8 * ((48 - j) * 19 + (18 - k)); }
int frontA(int j, int k) { return cellBase(j, k); }
int backA(int j, int k) { return cellBase(j, k) + 2; }
int frontB(int j, int k) { return cellBase(j, k) + 4; }
int backB(int j, int k) { return cellBase(j, k) + 6; }

int normalOf(int triangle) { return mesh.triangles[triangle].normalIndex[0]; }

void expectVec3(const Vec3& v, float x, float y, float z) {
    EXPECT_EQ(v.x, x);
    EXPECT_EQ(v.y, y);
    EXPECT_EQ(v.z, z);
}

void expectCorners(int triangle, const std::vector<Vec3>& corners) {
    SCOPED_TRACE("triangle " + std::to_string(triangle));
    for (int k = 0; k < 3; ++k)
        expectVec3(mesh.vertices[mesh.triangles[triangle].vertexIndex[k]], corners[k].x, corners[k].y, corners[k].z);
}

bool isDegenerate(int triangle) {
    const MeshTriangle& t = mesh.triangles[triangle];
    const Vec3& a = mesh.vertices[t.vertexIndex[0]];
    const Vec3& c = mesh.vertices[t.vertexIndex[2]];
    return std::memcmp(&a, &c, sizeof a) == 0;
}

void appendLittleEndian(std::vector<unsigned char>& bytes, uint32_t word) {
    for (int i = 0; i < 4; ++i) bytes.push_back((word >> (8 * i)) & 0xff);
}

void appendFloats(std::vector<unsigned char>& bytes, const Vec3& v) {
    for (float f : {v.x, v.y, v.z}) {
        uint32_t word;
        std::memcpy(&word, &f, sizeof word);
        appendLittleEndian(bytes, word);
    }
}

std::string tablesDigest() {
    std::vector<unsigned char> bytes;
    for (int i = 0; i < mesh.vertexCount; ++i) appendFloats(bytes, mesh.vertices[i]);
    for (int t = 0; t < mesh.triangleCount; ++t) {
        const MeshTriangle& tri = mesh.triangles[t];
        for (const int32_t* field : {tri.vertexIndex, tri.normalIndex, tri.texcoordIndex})
            for (int k = 0; k < 3; ++k) appendLittleEndian(bytes, uint32_t(field[k]));
    }
    for (int i = 0; i < mesh.normalCount; ++i) appendFloats(bytes, mesh.normals[i]);

    unsigned char digest[SHA256_DIGEST_LENGTH];
    SHA256(bytes.data(), bytes.size(), digest);
    std::string hex;
    char buffer[3];
    for (unsigned char byte : digest) {
        std::snprintf(buffer, sizeof buffer, "%02x", byte);
        hex += buffer;
    }
    return hex;
}

TEST(MeshTables, RecordHoldsItsCountsAndName) {
    EXPECT_STREQ(mesh.name, "0_0");
    EXPECT_EQ(mesh.triangleCount, helicoidTriangleCount);
    EXPECT_EQ(mesh.vertexCount, helicoidVertexCount);
    EXPECT_EQ(mesh.normalCount, helicoidNormalCount);
    EXPECT_EQ(mesh.reserved[0], 0);
    EXPECT_EQ(mesh.reserved[1], 0);
    EXPECT_EQ(mesh.reserved[2], 1);
    EXPECT_EQ(sizeof(MeshTriangle), 9 * sizeof(int32_t));
    EXPECT_EQ(sizeof(Vec3), 3 * sizeof(float));
}

TEST(MeshTables, TrianglesKeepTheirLayoutInvariants) {
    int degenerate = 0;
    for (int t = 0; t < mesh.triangleCount; ++t) {
        SCOPED_TRACE("triangle " + std::to_string(t));
        const MeshTriangle& tri = mesh.triangles[t];
        for (int k = 0; k < 3; ++k) {
            ASSERT_EQ(tri.vertexIndex[k], 3 * t + k);
            ASSERT_EQ(tri.normalIndex[k], tri.normalIndex[0]);
            ASSERT_EQ(tri.texcoordIndex[k], -1);
        }
        // Every second triangle is degenerate, and only those use the zero entry.
        bool shouldBeDegenerate = t % 2 == 1;
        ASSERT_EQ(isDegenerate(t), shouldBeDegenerate);
        ASSERT_EQ(tri.normalIndex[0] == zeroNormal, shouldBeDegenerate);
        degenerate += shouldBeDegenerate;
    }
    EXPECT_EQ(degenerate, 3724);
}

TEST(MeshTables, NormalEntriesAppearInOrderOfFirstUseAndAreUnitOrZero) {
    int largestSeen = -1;
    for (int t = 0; t < mesh.triangleCount; ++t) {
        int n = normalOf(t);
        ASSERT_LE(n, largestSeen + 1) << "triangle " << t;
        if (n > largestSeen) largestSeen = n;
    }
    EXPECT_EQ(largestSeen, mesh.normalCount - 1);

    expectVec3(mesh.normals[zeroNormal], 0, 0, 0);
    for (int i = 0; i < mesh.normalCount; ++i) {
        if (i == zeroNormal) continue;
        const Vec3& n = mesh.normals[i];
        EXPECT_NEAR(std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z), 1.0, 2e-6) << "entry " << i;
    }
}

TEST(MeshTables, PositionsStayInsideTheBandsBox) {
    Vec3 low = mesh.vertices[0], high = mesh.vertices[0];
    for (int i = 0; i < mesh.vertexCount; ++i) {
        const Vec3& v = mesh.vertices[i];
        low = {std::fmin(low.x, v.x), std::fmin(low.y, v.y), std::fmin(low.z, v.z)};
        high = {std::fmax(high.x, v.x), std::fmax(high.y, v.y), std::fmax(high.z, v.z)};
    }
    expectVec3(low, -7.995890f, 0.0f, -8.0f);
    expectVec3(high, 7.995890f, 15.707963f, 8.0f);
}

TEST(MeshTables, NoComponentIsANegativeZero) {
    for (int i = 0; i < mesh.vertexCount; ++i) {
        const Vec3& v = mesh.vertices[i];
        for (float f : {v.x, v.y, v.z}) ASSERT_FALSE(f == 0.0f && std::signbit(f)) << "position " << i;
    }
    for (int i = 0; i < mesh.normalCount; ++i) {
        const Vec3& v = mesh.normals[i];
        for (float f : {v.x, v.y, v.z}) ASSERT_FALSE(f == 0.0f && std::signbit(f)) << "normal " << i;
    }
}

TEST(MeshTables, FirstAndLastTrianglesHoldTheirKnownValues) {
    const Vec3 a = {2.520866f, 15.387393f, 7.592446f};
    const Vec3 inner = {0.0f, 15.707963f, 7.157895f};
    const Vec3 outer = {0.0f, 15.707963f, 8.0f};
    expectCorners(0, {a, inner, outer});
    expectCorners(1, {a, outer, a});
    expectCorners(2, {outer, inner, a});
    expectCorners(3, {a, outer, a});
    EXPECT_EQ(normalOf(0), 0);
    EXPECT_EQ(normalOf(1), 1);
    EXPECT_EQ(normalOf(2), 2);
    EXPECT_EQ(normalOf(3), 1);
    expectVec3(mesh.normals[0], 0.126151f, 0.992011f, 0.0f);
    expectVec3(mesh.normals[2], -0.126151f, -0.992011f, 0.0f);

    EXPECT_EQ(normalOf(4), 3);
    EXPECT_EQ(normalOf(160), 3);
    expectVec3(mesh.normals[3], 0.133545f, 0.990050f, -0.044340f);

    expectCorners(7444, {{0, 0, 8}, {-2.520866f, 0.320571f, 7.592446f}, {0, 0, 7.157895f}});
    EXPECT_EQ(normalOf(7444), 2);
    EXPECT_EQ(normalOf(7446), 0);
    expectCorners(7447, {{0, 0, 8}, {0, 0, 7.157895f}, {0, 0, 8}});
    EXPECT_EQ(normalOf(7447), zeroNormal);
}

TEST(MeshTables, EntriesAreSharedExactlyAsTheirKeysMatch) {
    std::map<int, int> uses;
    for (int t = 0; t < mesh.triangleCount; ++t) ++uses[normalOf(t)];
    std::map<int, int> entriesByUseCount;
    for (const auto& entry : uses)
        if (entry.first != zeroNormal) ++entriesByUseCount[entry.second];
    EXPECT_EQ(uses[zeroNormal], 3724);
    EXPECT_EQ(entriesByUseCount[2], 1760);
    EXPECT_EQ(entriesByUseCount[1], 204);
    EXPECT_EQ(entriesByUseCount.size(), 2u);
}

TEST(MeshTables, NeighbouringFacetsShareTheirEntryExceptTheSixSplitPairs) {
    const std::set<std::pair<int, int>> splitCells = {{45, 9}, {38, 5}, {11, 14}};
    for (int j = 1; j <= 48; ++j) {
        for (int k = 1; k <= 18; ++k) {
            SCOPED_TRACE("cell " + std::to_string(j) + "," + std::to_string(k));
            bool split = splitCells.count({j, k}) > 0;
            EXPECT_EQ(normalOf(frontB(j, k)) != normalOf(frontA(j - 1, k - 1)), split);
            EXPECT_EQ(normalOf(backB(j, k)) != normalOf(backA(j - 1, k - 1)), split);
        }
    }
    // The band's half-turn symmetry pairs the top row's A with the bottom row's B.
    for (int k = 0; k <= 18; ++k) {
        EXPECT_EQ(normalOf(frontA(48, k)), normalOf(backB(0, 18 - k))) << "k " << k;
        EXPECT_EQ(normalOf(backA(48, k)), normalOf(frontB(0, 18 - k))) << "k " << k;
    }
}

TEST(MeshTables, SplitPairsHoldEqualOrNearlyEqualValuesInSeparateEntries) {
    for (auto pair : {std::make_pair(467, 509), {468, 510}, {1531, 1573}, {1532, 1574}}) {
        const Vec3 &a = mesh.normals[pair.first], &b = mesh.normals[pair.second];
        EXPECT_TRUE(a.x == b.x && a.y == b.y && a.z == b.z) << pair.first << " and " << pair.second;
    }
    expectVec3(mesh.normals[467], -0.240333f, -0.965802f, 0.097300f);
    expectVec3(mesh.normals[177], 0.262900f, -0.382419f, -0.885799f);
    expectVec3(mesh.normals[219], 0.262901f, -0.382417f, -0.885799f);
}

TEST(MeshTables, ContentMatchesItsPinnedDigest) {
    // SHA-256 of the positions (three little-endian floats each), the triangles (nine little-endian
    // integers each) and the normals, in that order.
    std::string found = tablesDigest();
    EXPECT_EQ(found, "4b6ef5d7421d73d64b157703bfcc134e015acc8aafbcc6d83b44e7953e348e04") << "digest found: " << found;
}

}  // namespace

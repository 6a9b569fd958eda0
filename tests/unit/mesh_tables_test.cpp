// The generated model tables: which triangles share a normal entry. The golden trace pins their
// whole content bit for bit, as it is drawn.
#include "model/mesh.h"
#include "model/mesh_counts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

namespace {

const Mesh& mesh = helicoidMesh;

// Triangles whose normal keys match share one entry: 1760 entries serve two triangles, 204 one,
// and the zero entry (index 1) 3724; every other entry is of unit length.
TEST(MeshTables, ShareNormalsWhereTheirKeysMatch) {
    std::map<int, int> uses, entriesByUses;
    for (int t = 0; t < mesh.triangleCount; ++t) ++uses[mesh.triangles[t].normalIndex[0]];
    for (const auto& [entry, count] : uses) ++entriesByUses[entry == 1 ? -count : count];
    EXPECT_EQ(entriesByUses, (std::map<int, int>{{-3724, 1}, {1, 204}, {2, 1760}}));
    for (int i = 0; i < mesh.normalCount; ++i)
        EXPECT_NEAR(std::hypot(mesh.normals[i].x, mesh.normals[i].y, mesh.normals[i].z), i == 1 ? 0.0 : 1.0,
                    2e-6)
            << i;
}

}  // namespace

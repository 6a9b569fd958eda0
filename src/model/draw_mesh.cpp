// Draws the built-in mesh as one immediate-mode triangle list.
#include "model/mesh.h"

#include "platform/opengl.h"

void sendMesh(const Mesh& mesh) {
    glLineWidth(1.0f);
    glBegin(GL_TRIANGLES);
    for (int32_t t = 0; t < mesh.triangleCount; ++t) {
        const MeshTriangle& triangle = mesh.triangles[t];
        // The normal goes before every corner, although the three of a triangle are the same.
        for (int k = 0; k < 3; ++k) {
            const Vec3& n = mesh.normals[triangle.normalIndex[k]];
            const Vec3& v = mesh.vertices[triangle.vertexIndex[k]];
            glNormal3f(n.x, n.y, n.z);
            glVertex3f(v.x, v.y, v.z);
        }
    }
    glEnd();
}

void drawMesh() { sendMesh(helicoidMesh); }

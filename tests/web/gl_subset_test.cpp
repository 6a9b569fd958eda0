// The WebGL subset's CPU half, run under Node with no WebGL context (drawing calls then do
// nothing): the matrix stacks, light directions, the shader's lighting inputs and the way a batch
// is split into filled triangles and outlines.
// compare_with_mesa.sh builds and runs it.
#include "webgl/assembly.h"
#include "webgl/draw_inputs.h"
#include "webgl/state.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <functional>

using namespace glsubset;

namespace {

int failures = 0;

void check(bool ok, const char* what, int row) {
    if (ok) return;
    std::printf("FAIL %s (row %d)\n", what, row);
    ++failures;
}

bool near(const float* a, const float* b, int n, float tolerance = 1e-6f) {
    for (int i = 0; i < n; ++i)
        if (!(std::fabs(a[i] - b[i]) <= tolerance)) return false;
    return true;
}

// Matrix calls and the modelview they leave, read back with glGetFloatv.
struct MatrixRow {
    std::function<void()> calls;
    float expected[16];
};

void matrixRows() {
    const MatrixRow rows[] = {
        {[] { glRotatef(90, 0, 0, 1); }, {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}},
        {[] { glRotatef(90, 0, 0, -2); }, {0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}},
        {[] { glRotatef(180, 0, 1, 0); }, {-1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1}},
        {[] { glRotatef(120, 1, 1, 1); }, {0, 1, 0, 0, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 1}},
        {[] { glRotatef(30, 0, 0, 0); }, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}},
        {[] { glTranslatef(1, 2, 3); }, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 2, 3, 1}},
        {[] {
             glRotatef(90, 1, 0, 0);
             glTranslatef(0, -9, 0);
         },
         {1, 0, 0, 0, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, -9, 1}},
        {[] {
             glPushMatrix();
             glTranslatef(5, 5, 5);
             glPopMatrix();
         },
         {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}},
        {[] {
             glPopMatrix();
             glTranslatef(1, 0, 0);
         },
         {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 0, 0, 1}},
        {[] {
             const float m[16] = {2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 1, 1, 1, 1};
             glTranslatef(1, 0, 0);
             glMultMatrixf(m);
         },
         {2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 2, 1, 1, 1}},
        {[] {
             glMatrixMode(GL_PROJECTION);
             glOrtho(-15, 15, -15, 15, -25, 25);
             glMatrixMode(GL_MODELVIEW);
         },
         {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}},
    };
    int row = 0;
    for (const MatrixRow& r : rows) {
        resetState();
        r.calls();
        float m[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        check(near(m, r.expected, 16), "modelview", row++);
    }
    // The projection stack is its own, and glOrtho maps the box onto -1..1.
    float p[16];
    glGetFloatv(GL_PROJECTION_MATRIX, p);
    const float ortho[16] = {1 / 15.f, 0, 0, 0, 0, 1 / 15.f, 0, 0, 0, 0, -1 / 25.f, 0, 0, 0, 0, 1};
    check(near(p, ortho, 16), "projection", row);
}

// A light's direction is fixed by the modelview current when its position is sent.
void lightRows() {
    resetState();
    const float towardsViewer[4] = {0, 0, 2, 0};
    glRotatef(90, 0, 1, 0);
    glLightfv(GL_LIGHT3, GL_POSITION, towardsViewer);
    glLoadIdentity();
    glEnable(GL_LIGHT3);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHTING);
    const float red[4] = {1, 0, 0, 0.5f};
    glMaterialfv(GL_BACK, GL_DIFFUSE, red);
    glMaterialf(GL_FRONT, GL_SHININESS, 40);
    DrawInputs in = drawInputs(state());
    check(in.lightCount == 2, "enabled lights packed", 0);
    const float light0[3] = {0, 0, 1}, light3[3] = {1, 0, 0};
    const float half3[3] = {std::sqrt(0.5f), 0, std::sqrt(0.5f)};
    check(near(in.direction[0], light0, 3), "light 0 towards the viewer", 1);
    check(near(in.direction[1], light3, 3), "light 3 turned with the modelview, unit length", 2);
    check(near(in.halfVector[1], half3, 3), "half vector", 3);
    // Light 3 is black by default; light 0 is white, so its products are the material's colours.
    const float backDiffuse[3] = {1, 0, 0}, frontDiffuse[3] = {0.8f, 0.8f, 0.8f}, none[3] = {0, 0, 0};
    check(near(in.diffuseProduct[back][0], backDiffuse, 3), "back diffuse product", 4);
    check(near(in.diffuseProduct[front][0], frontDiffuse, 3), "front diffuse product", 5);
    check(near(in.diffuseProduct[front][1], none, 3), "a black light adds nothing", 6);
    const float scene[4] = {0.04f, 0.04f, 0.04f, 0.5f};
    check(near(in.sceneColour[back], scene, 4), "model ambient times material ambient, diffuse alpha", 7);
    check(in.shininess[front] == 40 && in.shininess[back] == 0, "shininess per side", 8);
}

// Batches: which triangles are filled, which outlined, and in what corner order.
struct BatchRow {
    GLenum frontMode;
    GLenum backMode;
    float turn;  // degrees about y before drawing; 180 shows the back of a counter-clockwise triangle
    int cornersSent;
    size_t filledCorners;
    size_t outlineEnds;
    float facesFront;
};

void batchRows() {
    const BatchRow rows[] = {
        {GL_FILL, GL_FILL, 0, 3, 3, 0, 1},   {GL_FILL, GL_FILL, 180, 3, 3, 0, 0},
        {GL_LINE, GL_FILL, 0, 3, 0, 6, 1},   {GL_LINE, GL_FILL, 180, 3, 3, 0, 0},
        {GL_LINE, GL_LINE, 180, 3, 0, 6, 0}, {GL_POINT, GL_FILL, 0, 3, 0, 0, 0},
        {GL_FILL, GL_FILL, 0, 5, 3, 0, 1},   {GL_FILL, GL_FILL, 0, 2, 0, 0, 0},
    };
    const float corners[5][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {5, 5, 5}, {6, 6, 6}};
    int row = 0;
    for (const BatchRow& r : rows) {
        resetState();
        glPolygonMode(GL_FRONT, r.frontMode);
        glPolygonMode(GL_BACK, r.backMode);
        glRotatef(r.turn, 0, 1, 0);
        glBegin(GL_TRIANGLES);
        for (int i = 0; i < r.cornersSent; ++i) glVertex3f(corners[i][0], corners[i][1], corners[i][2]);
        Assembly a;
        assemble(state(), a);
        glEnd();
        check(a.triangles.size() == r.filledCorners && a.lines.size() == r.outlineEnds, "split", row);
        const std::vector<DeviceVertex>& drawn = a.triangles.empty() ? a.lines : a.triangles;
        check(drawn.empty() || drawn[0].facesFront == r.facesFront, "side shown", row++);
    }
}

// The two copies of a two-sided surface reach WebGL with their corners in the same order, so
// that they get the same depths.
void copiesAgree() {
    resetState();
    const float c[3][3] = {{0.5f, 2, 1}, {-1, 0, 3}, {2, -1, 0}};
    glBegin(GL_TRIANGLES);
    for (int i : {0, 1, 2, 2, 1, 0}) glVertex3f(c[i][0], c[i][1], c[i][2]);
    Assembly a;
    assemble(state(), a);
    glEnd();
    bool same = a.triangles.size() == 6;
    for (int k = 0; same && k < 3; ++k) same = near(a.triangles[k].position, a.triangles[k + 3].position, 3);
    check(same, "copies in one corner order", 0);
    check(a.triangles[0].facesFront != a.triangles[3].facesFront, "copies show opposite sides", 1);
}

}  // namespace

int main() {
    matrixRows();
    lightRows();
    batchRows();
    copiesAgree();
    std::printf("%s\n", failures == 0 ? "all rows pass" : "some rows fail");
    return failures == 0 ? 0 : 1;
}

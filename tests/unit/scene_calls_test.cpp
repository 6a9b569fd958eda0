// The scene's exact OpenGL call sequences: set-up, frames in each state, and the mesh drawing.
#include "model/mesh.h"
#include "model/mesh_counts.h"
#include "scene/scene.h"
#include "scene/viewer_state.h"
#include "tests/support/gl_recorder.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

using Calls = std::vector<GlCall>;

const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
// Line width, glBegin and glEnd around a normal and a vertex for every corner.
const int meshCallCount = 3 + 2 * helicoidVertexCount;

GlCall call(const char* name, std::vector<double> args = {}) { return {name, std::move(args)}; }

GlCall withMatrix(const char* name, const float* m) { return {name, std::vector<double>(m, m + 16)}; }

float floatFromBits(uint32_t bits) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

// Replaces the mesh's calls (line width to glEnd) by one "drawMesh" entry, after checking their count.
Calls foldMesh(const Calls& calls) {
    Calls folded;
    for (size_t i = 0; i < calls.size(); ++i) {
        if (calls[i].name == "glLineWidth") {
            EXPECT_LE(i + meshCallCount, calls.size());
            EXPECT_EQ(calls[i + meshCallCount - 1].name, "glEnd");
            folded.push_back(call("drawMesh"));
            i += meshCallCount - 1;
        } else {
            folded.push_back(calls[i]);
        }
    }
    return folded;
}

class SceneCalls : public ::testing::Test {
protected:
    void SetUp() override {
        windowWidth = windowHeight = 819;
        fogEnabled = wireframe = spinning = 0;
        spinAngle = 2.0f;
        spinAxis = {0.3f, 0.2f, 0.4f};
        std::memcpy(rotationMatrix, identity, sizeof identity);
        std::memcpy(glRecorderModelview, identity, sizeof identity);
        clearGlCalls();
    }

    static Calls frameStart(bool fog) {
        if (fog) return {call("glClearColor", {0.5f, 0.25f, 0.25f, 1.0f}), call("glEnable", {GL_FOG}), call("glClear", {GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT})};
        return {call("glClearColor", {0.15f, 0.15f, 0.15f, 1.0f}), call("glDisable", {GL_FOG}), call("glClear", {GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT})};
    }

    static Calls frameRest(const float* rotation) {
        Calls calls = {
            call("glEnable", {GL_LIGHTING}),
            call("glLightfv", {GL_LIGHT1, GL_POSITION, -10, 14, 4, 0}),
            call("glLightfv", {GL_LIGHT2, GL_POSITION, 5, -6, -2, 0}),
            call("glEnable", {GL_LIGHT2}),
            call("glLightfv", {GL_LIGHT3, GL_POSITION, 0, -3, 4, 0}),
            call("glLightfv", {GL_LIGHT4, GL_POSITION, 0, -2, -5, 0}),
            call("glLightfv", {GL_LIGHT5, GL_POSITION, 0, 0, -8, 0}),
            call("glLightfv", {GL_LIGHT6, GL_POSITION, -20, -10, -2, 0}),
            call("glEnable", {GL_DEPTH_TEST}),
            call("glPushMatrix"),
            withMatrix("glMultMatrixf", rotation),
        };
        for (double face : {GL_FRONT, GL_BACK}) {
            bool front = face == GL_FRONT;
            calls.push_back(call("glMaterialfv", {face, GL_AMBIENT, 0.05f, 0.05f, 0.05f, 1.0f}));
            calls.push_back(front ? call("glMaterialfv", {face, GL_DIFFUSE, 0.7f, 0.3f, 0.4f, 0.6f})
                                  : call("glMaterialfv", {face, GL_DIFFUSE, 0.2f, 0.5f, 0.3f, 0.6f}));
            calls.push_back(call("glMaterialfv", {face, GL_SPECULAR, 0.23f, 0.23f, 0.25f, 1.0f}));
            calls.push_back(call("glMaterialf", {face, GL_SHININESS, 40}));
        }
        Calls end = {
            call("glTranslatef", {0, -9, 0}),
            call("drawMesh"),
            call("glPopMatrix"),
            call("glPolygonMode", {GL_FRONT_AND_BACK, GL_FILL}),
            call("glDisable", {GL_LIGHTING}),
            call("glDisable", {GL_DEPTH_TEST}),
            call("glFlush"),
            call("SwapBuffers"),
        };
        calls.insert(calls.end(), end.begin(), end.end());
        return calls;
    }

    static Calls accumulation(const float* before) {
        return {call("glPushMatrix"), call("glLoadIdentity"), call("glRotatef", {2.0f, 0.3f, 0.2f, 0.4f}),
                withMatrix("glMultMatrixf", before), call("glGetFloatv", {GL_MODELVIEW_MATRIX}), call("glPopMatrix")};
    }

    static Calls concat(std::initializer_list<Calls> parts) {
        Calls all;
        for (const Calls& part : parts) all.insert(all.end(), part.begin(), part.end());
        return all;
    }
};

TEST_F(SceneCalls, InitSceneSetsFogProjectionLightsAndIdentityRotation) {
    std::memset(rotationMatrix, 0, sizeof rotationMatrix);
    initScene();

    Calls expected = {
        call("glFogi", {GL_FOG_MODE, GL_EXP2}),
        call("glFogf", {GL_FOG_DENSITY, floatFromBits(0x3E78D4FF)}),
        call("glFogfv", {GL_FOG_COLOR, 0.4f, 0.4f, 0.5f, 1.0f}),
        call("glMatrixMode", {GL_PROJECTION}),
        call("glLoadIdentity"),
        call("glOrtho", {-15, 15, -15, 15, -25, 25}),
        call("glMatrixMode", {GL_MODELVIEW}),
        call("glLightModeli", {GL_LIGHT_MODEL_TWO_SIDE, 1}),
        call("glLightfv", {GL_LIGHT0, GL_POSITION, 0.7f, 0.7f, 1.25f, 0}),
        call("glEnable", {GL_LIGHT0}),
    };
    const float colours[6][3][4] = {
        {{0.35f, 0.35f, 0.65f, 1}, {0.2f, 0.2f, 0.5f, 1}, {0.2f, 0.2f, 0.65f, 1}},
        {{0.65f, 0.75f, 0.45f, 1}, {0.4f, 0.3f, 0.3f, 1}, {0.65f, 0.85f, 0.85f, 1}},
        {{0.65f, 0.65f, 0.35f, 1}, {0.4f, 0.4f, 0.05f, 1}, {0.65f, 0.65f, 0.85f, 1}},
        {{0.55f, 0.55f, 0.55f, 1}, {0.4f, 0.5f, 0.3f, 1}, {0.2f, 0.7f, 0.35f, 1}},
        {{0.05f, 0.6f, 0.05f, 1}, {0.0f, 0.5f, 0.0f, 1}, {0.05f, 0.6f, 0.08f, 1}},
        {{0.4f, 0.4f, 0.4f, 1}, {0.4f, 0.4f, 0.05f, 1}, {0.65f, 0.55f, 0.55f, 1}},
    };
    const float positions[6][4] = {{-10, 14, 4, 0}, {5, -6, -2, 0}, {0, -3, 4, 0}, {0, -2, -5, 0}, {0, 0, -8, 0}, {-20, -10, -2, 0}};
    for (int i = 1; i <= 6; ++i) {
        double light = GL_LIGHT0 + i;
        const float* p = positions[i - 1];
        expected.push_back(call("glLightModeli", {GL_LIGHT_MODEL_TWO_SIDE, 1}));
        expected.push_back(call("glLightfv", {light, GL_POSITION, p[0], p[1], p[2], p[3]}));
        const GLenum names[3] = {GL_AMBIENT, GL_DIFFUSE, GL_SPECULAR};
        for (int c = 0; c < 3; ++c) {
            const float* colour = colours[i - 1][c];
            expected.push_back(call("glLightfv", {light, double(names[c]), colour[0], colour[1], colour[2], colour[3]}));
        }
        if (i != 2) expected.push_back(call("glEnable", {light}));
    }
    EXPECT_EQ(glCalls, expected);
    EXPECT_EQ(std::memcmp(rotationMatrix, identity, sizeof identity), 0);
}

TEST_F(SceneCalls, ProjectionWidensWithTheStoredAspectRatio) {
    windowWidth = 1000;
    windowHeight = 500;
    setProjection();
    EXPECT_EQ(glCalls[2], call("glOrtho", {-30, 30, -15, 15, -25, 25}));
    EXPECT_EQ(glCalls.back(), call("glMatrixMode", {GL_MODELVIEW}));
}

TEST_F(SceneCalls, RestingFrameDrawsWithoutTurning) {
    renderFrame();
    EXPECT_EQ(foldMesh(glCalls), concat({frameStart(false), frameRest(identity)}));
}

TEST_F(SceneCalls, FogFrameUsesTheReddishBackgroundAndFog) {
    fogEnabled = 1;
    renderFrame();
    EXPECT_EQ(foldMesh(glCalls), concat({frameStart(true), frameRest(identity)}));
}

TEST_F(SceneCalls, WireframeFrameDrawsOutlinesThenRestoresFill) {
    wireframe = 1;
    renderFrame();
    Calls expected = concat({frameStart(false), {call("glPolygonMode", {GL_FRONT_AND_BACK, GL_LINE})}, frameRest(identity)});
    EXPECT_EQ(foldMesh(glCalls), expected);
}

TEST_F(SceneCalls, SpinningFrameFoldsTheStepInBeforeDrawing) {
    spinning = 1;
    wireframe = 1;
    // The step as OpenGL would form it: 30 degrees about z.
    const float c = std::cos(0.5235988f), s = std::sin(0.5235988f);
    const float turned[16] = {c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    std::memcpy(glRecorderModelview, turned, sizeof turned);

    renderFrame();
    Calls expected = concat({frameStart(false), accumulation(identity), {call("glPolygonMode", {GL_FRONT_AND_BACK, GL_LINE})},
                             frameRest(rotationMatrix)});
    EXPECT_EQ(foldMesh(glCalls), expected);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(rotationMatrix[i], turned[i], 1e-7) << i;
}

TEST_F(SceneCalls, StepsThatCannotTurnLeaveTheRotationUntouched) {
    const float before[16] = {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    struct Case {
        const char* what;
        float angle;
        Vec3 axis;
    } cases[] = {
        {"zero axis", 5.0f, {0, 0, 0}},
        {"zero angle", 0.0f, {0.3f, 0.2f, 0.4f}},
        {"axis too short to square", 5.0f, {1e-30f, 0, 0}},
        {"not a number", std::numeric_limits<float>::quiet_NaN(), {0.3f, 0.2f, 0.4f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::memcpy(rotationMatrix, before, sizeof before);
        spinAngle = c.angle;
        spinAxis = c.axis;
        clearGlCalls();
        accumulateRotation();
        EXPECT_EQ(countGlCalls("glRotatef"), 0);
        EXPECT_EQ(std::memcmp(rotationMatrix, before, sizeof before), 0);
    }
}

TEST_F(SceneCalls, ResultsThatAreNotFiniteAreNotStored) {
    glRecorderModelview[5] = std::numeric_limits<float>::quiet_NaN();
    accumulateRotation();
    EXPECT_EQ(std::memcmp(rotationMatrix, identity, sizeof identity), 0);
}

TEST_F(SceneCalls, AccumulatedMatrixIsBroughtBackToAPureRotation) {
    // A rotation about z whose columns have drifted: scaled and slightly sheared.
    const float drifted[16] = {0.6f * 1.01f, 0.8f * 1.01f, 0.003f, 0, -0.8f, 0.6f + 0.004f, 0, 0, 0, 0, 0.98f, 0, 0, 0, 0, 1};
    std::memcpy(glRecorderModelview, drifted, sizeof drifted);
    accumulateRotation();
    const float* m = rotationMatrix;
    for (int a = 0; a < 3; ++a) {
        for (int b = 0; b < 3; ++b) {
            double dot = m[4 * a] * m[4 * b] + m[4 * a + 1] * m[4 * b + 1] + m[4 * a + 2] * m[4 * b + 2];
            EXPECT_NEAR(dot, a == b ? 1.0 : 0.0, 1e-6) << a << "," << b;
        }
    }
    EXPECT_NEAR(m[10], 1.0, 1e-4);  // still the same turn, not a reflection
    EXPECT_NEAR(m[0], 0.6, 0.01);
    EXPECT_EQ(m[15], 1.0f);
}

TEST_F(SceneCalls, DrawMeshSendsANormalBeforeEveryCorner) {
    drawMesh();
    ASSERT_EQ(int(glCalls.size()), meshCallCount);
    EXPECT_EQ(glCalls[0], call("glLineWidth", {1}));
    EXPECT_EQ(glCalls[1], call("glBegin", {GL_TRIANGLES}));
    EXPECT_EQ(glCalls[2], call("glNormal3f", {0.126151f, 0.992011f, 0}));
    EXPECT_EQ(glCalls[3], call("glVertex3f", {2.520866f, 15.387393f, 7.592446f}));
    EXPECT_EQ(glCalls[4], call("glNormal3f", {0.126151f, 0.992011f, 0}));
    EXPECT_EQ(glCalls[5], call("glVertex3f", {0, 15.707963f, 7.157895f}));
    EXPECT_EQ(glCalls.back(), call("glEnd"));
    EXPECT_EQ(countGlCalls("glNormal3f"), helicoidVertexCount);
    EXPECT_EQ(countGlCalls("glVertex3f"), helicoidVertexCount);
}

TEST_F(SceneCalls, EmptyOrNegativeMeshStillBracketsNothing) {
    for (int32_t count : {0, -3}) {
        clearGlCalls();
        Mesh empty = helicoidMesh;
        empty.triangleCount = count;
        sendMesh(empty);
        EXPECT_EQ(glCalls, (Calls{call("glLineWidth", {1}), call("glBegin", {GL_TRIANGLES}), call("glEnd")}));
    }
}

}  // namespace

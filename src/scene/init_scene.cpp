// One-time OpenGL set-up: fog parameters, the orthographic projection and the seven lights.
#include "scene/scene.h"

#include "scene/viewer_state.h"

#include "platform/opengl.h"

namespace {

// 0x3E78D4FF: one step above the float nearest to 0.243.
const float fogDensity = 0x1.f1a9fep-3f;
const float fogColour[4] = {0.4f, 0.4f, 0.5f, 1.0f};

struct LightColours {
    float ambient[4];
    float diffuse[4];
    float specular[4];
};

// Lights 1 to 6; light 0 keeps OpenGL's default colours.
const LightColours lightColours[lightCount] = {
    {},
    {{0.35f, 0.35f, 0.65f, 1.0f}, {0.2f, 0.2f, 0.5f, 1.0f}, {0.2f, 0.2f, 0.65f, 1.0f}},
    {{0.65f, 0.75f, 0.45f, 1.0f}, {0.4f, 0.3f, 0.3f, 1.0f}, {0.65f, 0.85f, 0.85f, 1.0f}},
    {{0.65f, 0.65f, 0.35f, 1.0f}, {0.4f, 0.4f, 0.05f, 1.0f}, {0.65f, 0.65f, 0.85f, 1.0f}},
    {{0.55f, 0.55f, 0.55f, 1.0f}, {0.4f, 0.5f, 0.3f, 1.0f}, {0.2f, 0.7f, 0.35f, 1.0f}},
    {{0.05f, 0.6f, 0.05f, 1.0f}, {0.0f, 0.5f, 0.0f, 1.0f}, {0.05f, 0.6f, 0.08f, 1.0f}},
    {{0.4f, 0.4f, 0.4f, 1.0f}, {0.4f, 0.4f, 0.05f, 1.0f}, {0.65f, 0.55f, 0.55f, 1.0f}},
};

// Light 2 stays off here; every frame switches it on before drawing.
const int lightEnabledAtStart[lightCount] = {1, 1, 0, 1, 1, 1, 1};

void setUpLights() {
    for (int i = 0; i < lightCount; ++i) {
        GLenum light = GL_LIGHT0 + i;
        glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
        glLightfv(light, GL_POSITION, lightPosition[i]);
        if (i > 0) {
            glLightfv(light, GL_AMBIENT, lightColours[i].ambient);
            glLightfv(light, GL_DIFFUSE, lightColours[i].diffuse);
            glLightfv(light, GL_SPECULAR, lightColours[i].specular);
        }
        if (lightEnabledAtStart[i]) glEnable(light);
    }
}

}  // namespace

void setProjection() {
    float aspect = float(double(windowWidth) / double(windowHeight));
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-15.0 * aspect, 15.0 * aspect, -15.0, 15.0, -25.0, 25.0);
    glMatrixMode(GL_MODELVIEW);
}

void initScene() {
    glFogi(GL_FOG_MODE, GL_EXP2);
    glFogf(GL_FOG_DENSITY, fogDensity);
    glFogfv(GL_FOG_COLOR, fogColour);

    setProjection();

    // The modelview matrix is the identity here, so the light positions are taken as eye space.
    setUpLights();

    for (int i = 0; i < 16; ++i) rotationMatrix[i] = i % 5 == 0 ? 1.0f : 0.0f;
}

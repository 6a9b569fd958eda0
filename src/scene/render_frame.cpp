// Draws a frame: background and fog, the lit model at its accumulated rotation, buffer swap.
#include "scene/scene.h"

#include "scene/viewer_state.h"

#include "model/mesh.h"

#include "platform/opengl.h"

namespace {

const Vec3 frontDiffuse = {0.7f, 0.3f, 0.4f};
const Vec3 backDiffuse = {0.2f, 0.5f, 0.3f};
const float diffuseAlpha = 0.6f;
const float materialAmbient[4] = {0.05f, 0.05f, 0.05f, 1.0f};
const float materialSpecular[4] = {0.23f, 0.23f, 0.25f, 1.0f};
const float materialShininess = 40.0f;

const float fogBackground[4] = {0.5f, 0.25f, 0.25f, 1.0f};
const float plainBackground[4] = {0.15f, 0.15f, 0.15f, 1.0f};

// The model's height runs from 0 to about 15.7; this puts its middle at the turning point.
const float modelOffsetY = -9.0f;

void sendMaterial(GLenum face, const Vec3& diffuse) {
    const float diffuseColour[4] = {diffuse.x, diffuse.y, diffuse.z, diffuseAlpha};
    glMaterialfv(face, GL_AMBIENT, materialAmbient);
    glMaterialfv(face, GL_DIFFUSE, diffuseColour);
    glMaterialfv(face, GL_SPECULAR, materialSpecular);
    glMaterialf(face, GL_SHININESS, materialShininess);
}

void setBackgroundAndFog() {
    const float* background = fogEnabled == 1 ? fogBackground : plainBackground;
    glClearColor(background[0], background[1], background[2], background[3]);
    if (fogEnabled == 1)
        glEnable(GL_FOG);
    else
        glDisable(GL_FOG);
}

// Light positions are sent with the identity modelview, so the lights stay fixed to the viewer.
void setLighting() {
    glEnable(GL_LIGHTING);
    glLightfv(GL_LIGHT1, GL_POSITION, lightPosition[1]);
    glLightfv(GL_LIGHT2, GL_POSITION, lightPosition[2]);
    glEnable(GL_LIGHT2);
    for (int i = 3; i < lightCount; ++i) glLightfv(GL_LIGHT0 + i, GL_POSITION, lightPosition[i]);
}

}  // namespace

void setMaterials() {
    sendMaterial(GL_FRONT, frontDiffuse);
    sendMaterial(GL_BACK, backDiffuse);
}

void renderFrame() {
    // Set up this frame's state.
    setBackgroundAndFog();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (spinning == 1) accumulateRotation();
    if (wireframe == 1) glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    setLighting();
    glEnable(GL_DEPTH_TEST);

    // Draw the model: rotation first, then the shift down, which acts in model coordinates.
    glPushMatrix();
    glMultMatrixf(rotationMatrix);
    setMaterials();
    glTranslatef(0.0f, modelOffsetY, 0.0f);
    drawMesh();
    glPopMatrix();

    // Restore what the next frame expects.
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);

    glFlush();
    SwapBuffers(hDC);
}

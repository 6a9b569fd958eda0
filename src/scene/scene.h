// The scene: one-time OpenGL set-up and the drawing of a frame.
#pragma once

// Sets fog parameters, projection and lights once, and starts the rotation at the identity.
void initScene();

// Loads the orthographic projection for the stored window size; leaves GL_MODELVIEW selected.
void setProjection();

// Draws one frame of the model into the window and presents it.
void renderFrame();

// Sends the front and back materials.
void setMaterials();

// Folds one spin step (spinAngle degrees about spinAxis) into rotationMatrix.
void accumulateRotation();

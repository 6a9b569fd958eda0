// The buffer swap of the offscreen renderer: there is no second buffer, so it finishes the frame.
#include "platform/opengl.h"

extern "C" BOOL WINAPI SwapBuffers(HDC) {
    glFinish();
    return TRUE;
}

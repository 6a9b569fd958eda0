// Redraw requests and the idle hook. Nothing draws from a message handler: handlers install the
// hook, and the message loop calls it once the queue is empty, so a burst of requests gives one
// frame.
#include "scene/redraw.h"

#include "scene/scene.h"
#include "scene/viewer_state.h"

void requestRedraw() {
    if (idleFunc == nullptr) idleFunc = idleFrame;
}

// While animating the hook stays installed and frames follow each other whenever the queue is
// empty; otherwise this frame answers every request made since the hook was installed.
void idleFrame() {
    if (animating == 0) idleFunc = nullptr;
    renderFrame();
}

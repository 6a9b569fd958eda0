// Mesa's picture of the viewer after a person's input, for the browser tests to compare the page
// with: the same state reached by the same steps, each followed by the frame it asks for.
// Usage: reference_picture OUT.png SIDE [STEP...]   where a step is f (fog), p (outlines),
//        press:X,Y or drag:X,Y (the left button pressed at, or dragged to, a window point)
#include "scene/viewer_state.h"
#include "tests/render/offscreen.h"
#include "trackball/trackball.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    if (argc < 3) return std::fprintf(stderr, "usage: %s OUT.png SIDE [STEP...]\n", argv[0]), 2;
    Offscreen gl(std::atoi(argv[2]));
    if (!gl.ok()) return std::fprintf(stderr, "no offscreen OpenGL\n"), 1;
    e2e::Image last = gl.frame();  // the first frame, as the window's first paint draws it
    for (int i = 3; i < argc; ++i) {
        const std::string step = argv[i];
        int x = 0, y = 0;
        if (step == "f") fogEnabled = !fogEnabled;
        if (step == "p") wireframe = !wireframe;
        if (std::sscanf(argv[i], "press:%d,%d", &x, &y) == 2) trackballBegin(x, y);
        if (std::sscanf(argv[i], "drag:%d,%d", &x, &y) == 2) trackballDrag(x, y);
        last = gl.frame();
    }
    last.savePng(argv[1]);
}

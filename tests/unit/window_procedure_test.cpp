// The window procedure against the recording stand-ins, as tables of cases whose outcomes are
// compared as one text with tests/data/window_procedure_cases.txt, whose headings are the cases:
// messages before the rendering context and with a palette (their result, calls and the state
// they leave; the golden program trace has the others); scripts of presses, drags, releases and
// keys fed through the message loop in an 800 x 800 window (the frames, the rotation step of each,
// the state); and the palette made for each kind of pixel format (its calls, some of its entries
// among them). A new case is a new heading, its outcome then recorded with HELICOID_UPDATE_TRACE=1.
#include "app/message_loop.h"
#include "app/window_procedure.h"
#include "gl/palette.h"
#include "scene/redraw.h"
#include "scene/viewer_state.h"
#include "tests/support/recorder.h"
#include "tests/support/golden.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <new>
#include <sstream>

namespace {

using Words = std::istringstream;

// "[context] [palette] MESSAGE": the message sent to the window procedure of an 819 x 819 window
// with a rendering context and a palette where named.
std::vector<std::string> sendMessage(Words& words) {
    windowWidth = windowHeight = 819;
    hDC = fakeDC;
    std::string word;
    for (hRC = nullptr, hPalette = nullptr; words >> word && word.find(':') == std::string::npos;) {
        if (word == "context") hRC = fakeContext;
        if (word == "palette") hPalette = fakePalette;
    }
    const QueuedMessage m = queuedMessage(word);
    const LRESULT result = WndProc(fakeWindow, m.message, m.wParam, m.lParam);
    return {"result " + std::to_string(result), viewerState()};
}

// "rest|stopped MESSAGE...": the messages through the message loop, from rest (frames drawn
// continuously) or stopped by a click; the rotation step of each frame and the state it leaves.
std::vector<std::string> runScript(Words& words) {
    windowWidth = windowHeight = 800;
    hDC = fakeDC;
    hRC = fakeContext;
    std::string word;
    words >> word;
    animating = word == "rest" ? 1 : 0;
    idleFunc = animating ? idleFrame : nullptr;
    while (words >> word) fakeWin32.queue.push_back(queuedMessage(word));
    fakeWin32.queue.push_back({WM_QUIT, 0, 0, 2});
    runMessageLoop();
    std::vector<std::string> after = callsOf("glRotatef");
    after.push_back(std::to_string(callsOf("SwapBuffers").size()) + " frames; " + viewerState());
    trace.clear();
    return after;
}

bool failAllocation = false;  // makes the palette's memory unobtainable

// "window|paletted rgba|index BITS R,SHIFT G,SHIFT B,SHIFT [unobtainable]": the palette made for a
// format drawing to a window (needing a palette where said) of that type, colour bits and
// channels, with its memory unobtainable where said.
std::vector<std::string> makePalette(Words& words) {
    std::string drawing, type, channels;
    BYTE bits = 0, r = 0, rs = 0, g = 0, gs = 0, b = 0, bs = 0;
    words >> drawing >> type;
    std::getline(words, channels);
    std::sscanf(channels.c_str(), " %hhu %hhu,%hhu %hhu,%hhu %hhu,%hhu", &bits, &r, &rs, &g, &gs, &b, &bs);
    const DWORD flags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER |
                        (drawing == "paletted" ? PFD_NEED_PALETTE : 0);
    const BYTE kind = type == "rgba" ? PFD_TYPE_RGBA : PFD_TYPE_COLORINDEX;
    fakeWin32.describedFormat = {40, 1, flags, kind, bits, r, rs, g, gs, b, bs, 0, 0,
                                 0,  0, 0,     0,    0,    0, 0,  0, 0,  0, 0,  0, 0};
    failAllocation = channels.find("unobtainable") != std::string::npos;
    setupPalette(fakeDC);
    failAllocation = false;
    return {hPalette == fakePalette ? "palette" : "no palette", viewerState()};
}

TEST(WindowProcedure, EveryCaseEndsAsRecorded) {
    const std::pair<std::string, std::vector<std::string> (*)(Words&)> tables[] = {
        {"== Messages/", sendMessage}, {"== TrackballScripts/", runScript}, {"== Palettes/", makePalette}};
    std::ifstream cases(std::string(HELICOID_TEST_DATA) + "/window_procedure_cases.txt");
    ASSERT_TRUE(cases);
    std::string text;
    for (std::string heading; std::getline(cases, heading);) {
        for (const auto& [table, run] : tables) {
            if (heading.rfind(table, 0) != 0) continue;
            resetRecorder();
            fakeWin32.windowProc = WndProc;
            Words words(heading.substr(heading.find(": ") + 2));
            const std::vector<std::string> after = run(words);
            text += heading + "\n";
            for (const std::string& line : trace) text += line + "\n";
            for (const std::string& line : after) text += line + "\n";
        }
    }
    expectGolden("window_procedure_cases.txt", text);
}

}  // namespace

// The palette's memory comes from the nothrow array form, which a case can make fail.
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return failAllocation ? nullptr : ::operator new[](size);  // no test runs out of memory
}

// The trace both stand-ins write, how arguments look in it, and the reset between tests.
#include "tests/support/recorder.h"

#include "platform/opengl.h"
#include "scene/viewer_state.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <utility>

std::vector<std::string> trace;
FakeWin32 fakeWin32;

namespace {

#define NAMED(value) \
    { value, #value }
// clang-format off
const std::pair<unsigned, const char*> glNames[] = {
    NAMED(GL_FOG_MODE), NAMED(GL_EXP2), NAMED(GL_FOG_DENSITY), NAMED(GL_FOG_COLOR), NAMED(GL_FOG),
    NAMED(GL_PROJECTION), NAMED(GL_MODELVIEW), NAMED(GL_MODELVIEW_MATRIX), NAMED(GL_LIGHT_MODEL_TWO_SIDE),
    NAMED(GL_LIGHTING), NAMED(GL_POSITION), NAMED(GL_AMBIENT), NAMED(GL_DIFFUSE), NAMED(GL_SPECULAR),
    NAMED(GL_SHININESS), NAMED(GL_DEPTH_TEST), NAMED(GL_FRONT), NAMED(GL_BACK), NAMED(GL_FRONT_AND_BACK),
    NAMED(GL_LINE), NAMED(GL_FILL), NAMED(GL_TRIANGLES), NAMED(GL_LIGHT0), NAMED(GL_LIGHT1), NAMED(GL_LIGHT2),
    NAMED(GL_LIGHT3), NAMED(GL_LIGHT4), NAMED(GL_LIGHT5), NAMED(GL_LIGHT6), NAMED(GL_LIGHT7),
};
// clang-format on
const std::pair<unsigned, const char*> messageNames[] = {
    NAMED(WM_CREATE),        NAMED(WM_DESTROY),     NAMED(WM_SIZE),      NAMED(WM_PAINT),
    NAMED(WM_CLOSE),         NAMED(WM_QUIT),        NAMED(WM_CHAR),      NAMED(WM_TIMER),
    NAMED(WM_MOUSEMOVE),     NAMED(WM_LBUTTONDOWN), NAMED(WM_LBUTTONUP), NAMED(WM_QUERYNEWPALETTE),
    NAMED(WM_PALETTECHANGED)};
#undef NAMED

template <std::size_t N>
std::string nameOf(const std::pair<unsigned, const char*> (&names)[N], unsigned value) {
    for (const auto& entry : names)
        if (entry.first == value) return entry.second;
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%x", value);
    return hex;
}

}  // namespace

std::string text(double number) {
    char digits[32];
    std::snprintf(digits, sizeof digits, "%.9g", number);
    return digits;
}

std::string text(const char* string) {
    if (string == nullptr) return "null";
    if (reinterpret_cast<uintptr_t>(string) <= 0xffff)
        return "#" + std::to_string(reinterpret_cast<uintptr_t>(string));
    std::string quoted = "\"";
    for (const char* c = string; *c != 0; ++c) quoted += *c == '\n' ? std::string("\\n") : std::string(1, *c);
    return quoted + "\"";
}

std::string text(GlEnum value) { return nameOf(glNames, value.value); }
std::string text(Message value) { return nameOf(messageNames, value.value); }

std::string text(Floats values) {
    std::string numbers;
    for (int i = 0; i < values.count; ++i) numbers += (i > 0 ? " " : "") + text(double(values.values[i]));
    return numbers;
}

QueuedMessage queuedMessage(const std::string& word) {
    int wParam = 0, x = 0, y = 0, frames = 0;
    std::sscanf(word.c_str() + word.find(':'), ":%d,%d,%d,%d", &wParam, &x, &y, &frames);
    for (const auto& [value, name] : messageNames)
        if (word.rfind(std::string(name) + ":", 0) == 0)
            return {value, WPARAM(wParam), MAKELPARAM(x, y), frames};
    return {0, 0, 0, frames};  // shows in the trace as a message of no name (0x0)
}

std::vector<std::string> callsOf(const std::string& name) {
    std::vector<std::string> lines;
    for (const std::string& line : trace)
        if (line == name || line.rfind(name + " ", 0) == 0) lines.push_back(line);
    return lines;
}

std::string viewerState() {
    char state[128];
    std::snprintf(state, sizeof state,
                  "fog=%d wire=%d drag=%d spin=%d anim=%d press=%d,%d angle=%.3g hook=%d", fogEnabled,
                  wireframe, tracking, spinning, animating, pressX, pressY, spinAngle, idleFunc != nullptr);
    return state;
}

// The viewer state as the process starts it, copied before any test runs (the program's variables
// are constant-initialised, so they hold their start values by then): each case starts from the
// program's own start values, not from a second copy of them.
// clang-format off
#define VIEWER_STATE(X)                                                                            \
    X(hDC) X(hRC) X(hPalette) X(idleFunc) X(windowWidth) X(windowHeight) X(pressX) X(pressY)       \
    X(fogEnabled) X(wireframe) X(animating) X(spinning) X(tracking) X(spinAngle) X(stepValue)      \
    X(spinAxis) X(lastVector)
// clang-format on
namespace {
struct StartState {
#define KEEP(name) decltype(name) name##Start = name;
    VIEWER_STATE(KEEP)
    std::array<float, 16> rotation;
    StartState() { std::copy(std::begin(rotationMatrix), std::end(rotationMatrix), rotation.begin()); }
};
const StartState start;
}  // namespace

void resetRecorder() {
    trace.clear();
    fakeWin32 = FakeWin32{};
#define RESTORE(name) name = start.name##Start;
    VIEWER_STATE(RESTORE)
    std::copy(start.rotation.begin(), start.rotation.end(), rotationMatrix);
}

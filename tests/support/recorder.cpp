// The trace both stand-ins write, how arguments look in it, and the reset between tests.
#include "tests/support/recorder.h"

#include "platform/opengl.h"
#include "scene/viewer_state.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <utility>

std::vector<std::string> trace;
FakeWin32 fakeWin32;

namespace {

#define NAMED(value) {value, #value}
const std::pair<unsigned, const char*> glNames[] = {
    NAMED(GL_FOG_MODE), NAMED(GL_EXP2), NAMED(GL_FOG_DENSITY), NAMED(GL_FOG_COLOR), NAMED(GL_FOG),
    NAMED(GL_PROJECTION), NAMED(GL_MODELVIEW), NAMED(GL_MODELVIEW_MATRIX), NAMED(GL_LIGHT_MODEL_TWO_SIDE),
    NAMED(GL_LIGHTING), NAMED(GL_POSITION), NAMED(GL_AMBIENT), NAMED(GL_DIFFUSE), NAMED(GL_SPECULAR),
    NAMED(GL_SHININESS), NAMED(GL_DEPTH_TEST), NAMED(GL_FRONT), NAMED(GL_BACK), NAMED(GL_FRONT_AND_BACK),
    NAMED(GL_LINE), NAMED(GL_FILL), NAMED(GL_TRIANGLES),
    NAMED(GL_LIGHT0), NAMED(GL_LIGHT1), NAMED(GL_LIGHT2), NAMED(GL_LIGHT3), NAMED(GL_LIGHT4), NAMED(GL_LIGHT5),
    NAMED(GL_LIGHT6), NAMED(GL_LIGHT7)};
const std::pair<unsigned, const char*> messageNames[] = {
    NAMED(WM_CREATE), NAMED(WM_DESTROY), NAMED(WM_SIZE), NAMED(WM_PAINT), NAMED(WM_CLOSE), NAMED(WM_QUIT),
    NAMED(WM_CHAR), NAMED(WM_TIMER), NAMED(WM_MOUSEMOVE), NAMED(WM_LBUTTONDOWN), NAMED(WM_LBUTTONUP),
    NAMED(WM_QUERYNEWPALETTE), NAMED(WM_PALETTECHANGED)};
#undef NAMED

template <std::size_t N>
void writeName(std::ostream& out, const std::pair<unsigned, const char*> (&names)[N], unsigned value) {
    for (const auto& entry : names)
        if (entry.first == value) return void(out << entry.second);
    out << "0x" << std::hex << value << std::dec;
}

}  // namespace

void writeArgument(std::ostream& out, double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", value);
    out << text;
}

void writeArgument(std::ostream& out, const char* text) {
    if (text == nullptr) return void(out << "null");
    if (reinterpret_cast<uintptr_t>(text) <= 0xffff) return void(out << '#' << reinterpret_cast<uintptr_t>(text));
    out << '"';
    for (const char* c = text; *c != 0; ++c) out << (*c == '\n' ? "\\n" : std::string(1, *c));
    out << '"';
}

void writeArgument(std::ostream& out, GlEnum value) { writeName(out, glNames, value.value); }
void writeArgument(std::ostream& out, Message value) { writeName(out, messageNames, value.value); }

void writeArgument(std::ostream& out, Floats values) {
    for (int i = 0; i < values.count; ++i) {
        if (i > 0) out << ' ';
        writeArgument(out, double(values.values[i]));
    }
}

std::vector<std::string> callsOf(const std::string& name) {
    std::vector<std::string> lines;
    for (const std::string& line : trace)
        if (line == name || line.rfind(name + " ", 0) == 0) lines.push_back(line);
    return lines;
}

std::string viewerState() {
    std::ostringstream out;
    char angle[16];
    std::snprintf(angle, sizeof angle, "%.3g", spinAngle);
    out << "fog=" << fogEnabled << " wire=" << wireframe << " drag=" << tracking << " spin=" << spinning
        << " anim=" << animating << " press=" << pressX << ',' << pressY << " angle=" << angle
        << " hook=" << (idleFunc != nullptr);
    return out.str();
}

// The state a test starts from is the one the process starts with.
void resetRecorder() {
    trace.clear();
    fakeWin32 = FakeWin32{};
    windowWidth = windowHeight = 0;
    hDC = nullptr;
    hRC = nullptr;
    hPalette = nullptr;
    idleFunc = nullptr;
    fogEnabled = wireframe = 0;
    std::memset(rotationMatrix, 0, sizeof rotationMatrix);
    spinAngle = 2.0f;
    spinAxis = {0.3f, 0.2f, 0.4f};
    lastVector = {0.0f, 0.0f, 0.0f};
    pressX = pressY = 0;
    animating = 1;
    spinning = tracking = 0;
    stepValue = 0.55f;
}

// The program's own scene code drawing a table of views, built twice: natively over Mesa's
// offscreen renderer (OSMesa) and with Emscripten over the WebGL subset in a page. Each build
// writes its pictures as PPM and the rotation each view turned the model by (16 raw floats); the
// native one then compares them with the page's: pictures by their differences, rotations bit
// for bit.
//   native:  scene_pictures OUT_DIR [PAGE_DIR]   (compares when PAGE_DIR is given)
//   page:    the files go into the document as <pre id=FILE> elements, base64
#include "scene/scene.h"
#include "scene/viewer_state.h"

#include "platform/opengl.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#ifdef __EMSCRIPTEN__
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>
#include <webgl/webgl1.h>
#else
#include <GL/osmesa.h>
#include <fstream>
#include <iterator>
#endif

namespace {

const int side = 400;

struct View {
    const char* name;
    int fog;
    int wireframe;
    float angle;  // one spin step from the identity, about axis
    float axis[3];
};

const View views[] = {
    {"rest", 0, 0, 0, {0, 1, 0}},      {"fog", 1, 0, 0, {0, 1, 0}},
    {"wireframe", 0, 1, 0, {0, 1, 0}}, {"turned", 0, 0, 50, {1, 1, 0.3f}},
    {"back", 0, 0, 180, {0, 1, 0}},    {"turned_fog_wireframe", 1, 1, 35, {-0.4f, 1, 0.7f}},
};

using Picture = std::vector<unsigned char>;  // RGB rows, top row first

std::string ppm(const Picture& rgb) {
    return "P6\n" + std::to_string(side) + " " + std::to_string(side) + "\n255\n" +
           std::string(rgb.begin(), rgb.end());
}

// Draws one view from the identity rotation, as the viewer does after one spin step.
void drawView(const View& view) {
    for (int i = 0; i < 16; ++i) rotationMatrix[i] = i % 5 == 0 ? 1.0f : 0.0f;
    fogEnabled = view.fog;
    wireframe = view.wireframe;
    spinning = view.angle != 0;
    spinAngle = view.angle;
    spinAxis = {view.axis[0], view.axis[1], view.axis[2]};
    renderFrame();
}

#ifdef __EMSCRIPTEN__

Picture readPicture() {
    std::vector<unsigned char> rgba(size_t(side) * side * 4);
    emscripten_glReadPixels(0, 0, side, side, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    Picture rgb;
    for (int y = side - 1; y >= 0; --y)
        for (int x = 0; x < side; ++x)
            for (int c = 0; c < 3; ++c) rgb.push_back(rgba[(size_t(y) * side + x) * 4 + c]);
    return rgb;
}

void publish(const char* name, const std::string& bytes) {
    EM_ASM(
        {
            const bytes = HEAPU8.subarray($1, $1 + $2);
            let text = "";
            for (let i = 0; i < bytes.length; i += 8192)
                text += String.fromCharCode.apply(null, bytes.subarray(i, i + 8192));
            const pre = document.createElement("pre");
            pre.id = UTF8ToString($0);
            pre.textContent = btoa(text);
            document.body.appendChild(pre);
        },
        name, bytes.data(), bytes.size());
}

bool makeContext() {
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.majorVersion = 2;
    attributes.depth = true;
    attributes.alpha = false;
    attributes.antialias = false;
    attributes.preserveDrawingBuffer = true;
    emscripten_set_canvas_element_size("#canvas", side, side);
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = emscripten_webgl_create_context("#canvas", &attributes);
    return context > 0 && emscripten_webgl_make_context_current(context) == EMSCRIPTEN_RESULT_SUCCESS;
}

#else

std::vector<unsigned char> buffer(size_t(side) * side * 4);

Picture readPicture() {
    glFinish();
    Picture rgb;
    for (int y = side - 1; y >= 0; --y)
        for (int x = 0; x < side; ++x)
            for (int c = 0; c < 3; ++c) rgb.push_back(buffer[(size_t(y) * side + x) * 4 + c]);
    return rgb;
}

bool makeContext() {
    OSMesaContext context = OSMesaCreateContextExt(OSMESA_RGBA, 16, 0, 0, nullptr);
    return context && OSMesaMakeCurrent(context, buffer.data(), GL_UNSIGNED_BYTE, side, side);
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool readPpm(const std::string& path, Picture& rgb) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int width = 0, height = 0, maximum = 0;
    in >> magic >> width >> height >> maximum;
    in.get();
    if (magic != "P6" || width != side || height != side) return false;
    rgb.assign(size_t(side) * side * 3, 0);
    return bool(in.read(reinterpret_cast<char*>(rgb.data()), std::streamsize(rgb.size())));
}

// Mean absolute difference over all channels, and the share of pixels with a channel off by more
// than 16; pictures within 2 levels and 3 % count as alike.
bool compare(const char* name, const Picture& a, const Picture& b) {
    double total = 0;
    int farOff = 0;
    for (size_t p = 0; p < a.size(); p += 3) {
        bool far = false;
        for (int c = 0; c < 3; ++c) {
            int d = std::abs(int(a[p + c]) - int(b[p + c]));
            total += d;
            far = far || d > 16;
        }
        farOff += far;
    }
    const double mean = total / double(a.size()), share = 100.0 * farOff / double(side * side);
    std::printf("%-22s mean %.3f  over 16: %.3f %%\n", name, mean, share);
    return mean <= 2 && share <= 3;
}

std::string outDir;

void publish(const char* name, const std::string& bytes) {
    std::ofstream(outDir + "/" + name, std::ios::binary) << bytes;
}

#endif

}  // namespace

extern "C" BOOL WINAPI SwapBuffers(HDC) { return TRUE; }

int main(int argc, char** argv) {
    if (!makeContext()) {
        std::fprintf(stderr, "no OpenGL context\n");
        return 1;
    }
    windowWidth = windowHeight = side;
    initScene();
#ifndef __EMSCRIPTEN__
    if (argc < 2) return 2;
    outDir = argv[1];
#endif
    bool failed = false;
    for (const View& view : views) {
        drawView(view);
        Picture picture = readPicture();
        const std::string name = view.name;
        const std::string rotation(reinterpret_cast<const char*>(rotationMatrix), sizeof rotationMatrix);
        publish((name + ".ppm").c_str(), ppm(picture));
        publish((name + ".rotation").c_str(), rotation);
#ifndef __EMSCRIPTEN__
        Picture page;
        if (argc < 3) continue;
        if (!readPpm(std::string(argv[2]) + "/" + name + ".ppm", page)) {
            std::printf("%-22s no picture from the page\n", view.name);
            failed = true;
        } else {
            bool alike = compare(view.name, picture, page);
            bool same = readFile(std::string(argv[2]) + "/" + name + ".rotation") == rotation;
            std::printf("%-22s rotation %s\n", "", same ? "bit for bit as Mesa's" : "DIFFERS from Mesa's");
            failed = failed || !alike || !same;
        }
#endif
    }
    (void)argc;
    (void)argv;
    return failed ? 1 : 0;
}

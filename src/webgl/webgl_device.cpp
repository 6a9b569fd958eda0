// Draws with WebGL 2 through Emscripten's emscripten_gl* names, which stay WebGL's while the
// subset defines the OpenGL 1.1 ones. Each context has objects of its own, as a GL driver keeps
// each context's own: the programs (one for each count of enabled lights and fog mode, with their
// uniforms' locations), the buffers (one for triangles, one for lines, each with the version of
// the vertices it holds) and what the context was last told. They are made on first use in the
// context and let go of when the page's backend says (webglReleaseContext): the browser lost the
// context, or the backend is about to destroy it.
#include "webgl/device.h"

#include <emscripten/html5.h>
#include <webgl/webgl1.h>
#include <webgl/webgl2.h>

#include <array>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>

namespace glsubset {

namespace {

// The program's uniforms, by the order of their names.
enum Uniform {
    modelviewAt,
    projectionAt,
    normalMatrixAt,
    lightingAt,
    twoSidedAt,
    directionAt,
    halfVectorAt,
    sceneColourAt,
    ambientProductAt,
    diffuseProductAt,
    specularProductAt,
    shininessAt,
    currentColourAt,
    sideGivenAt,
    fogDensityAt,
    fogStartAt,
    fogEndAt,
    fogColourAt,
    uniformCount
};
const char* const uniformNames[] = {
    "modelview",     "projection",  "normalMatrix",   "lighting",       "twoSided",        "direction",
    "halfVector",    "sceneColour", "ambientProduct", "diffuseProduct", "specularProduct", "shininess",
    "currentColour", "sideGiven",   "fogDensity",     "fogStart",       "fogEnd",          "fogColour"};
static_assert(std::size(uniformNames) == uniformCount);

struct Program {
    GLuint id;  // 0 until made
    GLint at[uniformCount];
    DrawInputs sent;  // the uniforms' values, once sentOnce: WebGL keeps them with the program
    bool sentOnce;
};

struct Buffer {
    GLuint vertexArray;
    GLuint buffer;
    uint32_t version;  // of the vertices it holds; 0: none
};

// What the context was last told, so that calls that would change nothing are left out; until
// then, values that no call gives.
struct ContextState {
    GLuint program;
    GLuint vertexArray;
    std::array<float, 4> clearColour;
    int depthTest;
    float lineWidth;
};

struct DeviceObjects {
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context;
    Program programs[fogModes][maxLights + 1];  // by fog mode and count of enabled lights
    Buffer buffers[2];                          // triangles, lines
    ContextState told;
};

// The objects of each context that drew (contextCount of them, from realloc as the batch's
// corners are), and those of the context current at the last call.
DeviceObjects* contexts = nullptr;
size_t contextCount = 0;
DeviceObjects* objects = nullptr;

// Whether `value` differs from what the context was told; from now on it is what it was told.
template <typename T>
bool changes(T& told, const T& value) {
    if (told == value) return false;
    told = value;
    return true;
}

GLuint compileShader(GLenum type, const char* source) {
    GLuint shader = emscripten_glCreateShader(type);
    emscripten_glShaderSource(shader, 1, &source, nullptr);
    emscripten_glCompileShader(shader);
    return shader;
}

Program linkProgram(int lightCount, int fogMode) {
    const std::string constants = shaderConstants(lightCount, fogMode);
    const std::string vertexSource = constants + vertexShaderSource;
    const std::string fragmentSource = constants + fragmentShaderSource;
    GLuint program = emscripten_glCreateProgram();
    GLuint vertexShader = compileShader(GL_VERTEX_SHADER, vertexSource.c_str());
    GLuint fragmentShader = compileShader(GL_FRAGMENT_SHADER, fragmentSource.c_str());
    emscripten_glAttachShader(program, vertexShader);
    emscripten_glAttachShader(program, fragmentShader);
    emscripten_glBindAttribLocation(program, 0, "position");
    emscripten_glBindAttribLocation(program, 1, "normal");
    emscripten_glBindAttribLocation(program, 2, "facesFront");
    emscripten_glLinkProgram(program);
    emscripten_glDeleteShader(vertexShader);
    emscripten_glDeleteShader(fragmentShader);
    Program made = {program, {}, {}, false};
    for (int i = 0; i < uniformCount; ++i)
        made.at[i] = emscripten_glGetUniformLocation(program, uniformNames[i]);
    return made;
}

void setAttribute(GLuint index, int size, size_t offset) {
    emscripten_glEnableVertexAttribArray(index);
    emscripten_glVertexAttribPointer(index, size, GL_FLOAT, GL_FALSE, sizeof(DeviceVertex),
                                     reinterpret_cast<const void*>(offset));
}

void makeObjects(DeviceObjects& made, EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context) {
    made = DeviceObjects{};
    made.context = context;
    made.told = {0, 0, {-1, -1, -1, -1}, -1, 0};
    for (Buffer& buffer : made.buffers) {
        emscripten_glGenVertexArrays(1, &buffer.vertexArray);
        emscripten_glBindVertexArray(buffer.vertexArray);
        emscripten_glGenBuffers(1, &buffer.buffer);
        emscripten_glBindBuffer(GL_ARRAY_BUFFER, buffer.buffer);
        setAttribute(0, 3, offsetof(DeviceVertex, position));
        setAttribute(1, 3, offsetof(DeviceVertex, normal));
        setAttribute(2, 1, offsetof(DeviceVertex, facesFront));
    }
}

DeviceObjects* objectsOf(EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context) {
    for (size_t i = 0; i < contextCount; ++i)
        if (contexts[i].context == context) return &contexts[i];
    return nullptr;
}

// The current context, with this library's objects made in it (objects); false when there is none,
// or when they are to be made and the browser has lost it. Calls into a lost context do nothing,
// but making an object there fails, and Emscripten's glue cannot take the failure for a program.
bool ready() {
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = emscripten_webgl_get_current_context();
    if (context == 0) return false;
    if (objects != nullptr && objects->context == context) return true;
    if (emscripten_is_webgl_context_lost(context)) return false;
    objects = objectsOf(context);
    if (objects == nullptr) {
        void* room = std::realloc(contexts, (contextCount + 1) * sizeof(DeviceObjects));
        if (room == nullptr) return false;
        contexts = static_cast<DeviceObjects*>(room);
        objects = &contexts[contextCount++];
        makeObjects(*objects, context);
    }
    return true;
}

void deleteObjects(const DeviceObjects& made) {
    for (const auto& byLights : made.programs)
        for (const Program& program : byLights)
            if (program.id != 0) emscripten_glDeleteProgram(program.id);
    for (const Buffer& buffer : made.buffers) {
        emscripten_glDeleteVertexArrays(1, &buffer.vertexArray);
        emscripten_glDeleteBuffers(1, &buffer.buffer);
    }
}

void setMatrices(const GLint* at, const DrawInputs& in) {
    emscripten_glUniformMatrix4fv(at[modelviewAt], 1, GL_FALSE, in.modelview);
    emscripten_glUniformMatrix4fv(at[projectionAt], 1, GL_FALSE, in.projection);
    emscripten_glUniformMatrix3fv(at[normalMatrixAt], 1, GL_FALSE, in.normalMatrix);
}

void setLighting(const GLint* at, const DrawInputs& in) {
    const int slots = 2 * maxLights;
    emscripten_glUniform1i(at[lightingAt], in.lighting);
    emscripten_glUniform1i(at[twoSidedAt], in.twoSided);
    emscripten_glUniform3fv(at[directionAt], maxLights, &in.direction[0][0]);
    emscripten_glUniform3fv(at[halfVectorAt], maxLights, &in.halfVector[0][0]);
    emscripten_glUniform4fv(at[sceneColourAt], 2, &in.sceneColour[0][0]);
    emscripten_glUniform3fv(at[ambientProductAt], slots, &in.ambientProduct[0][0][0]);
    emscripten_glUniform3fv(at[diffuseProductAt], slots, &in.diffuseProduct[0][0][0]);
    emscripten_glUniform3fv(at[specularProductAt], slots, &in.specularProduct[0][0][0]);
    emscripten_glUniform1fv(at[shininessAt], 2, in.shininess);
    emscripten_glUniform4fv(at[currentColourAt], 1, in.currentColour);
}

void setFog(const GLint* at, const DrawInputs& in) {
    emscripten_glUniform1f(at[fogDensityAt], in.fogDensity);
    emscripten_glUniform1f(at[fogStartAt], in.fogStart);
    emscripten_glUniform1f(at[fogEndAt], in.fogEnd);
    emscripten_glUniform4fv(at[fogColourAt], 1, in.fogColour);
}

// Sends the groups of uniforms whose values differ from those the program has.
void setUniforms(Program& program, const DrawInputs& in) {
    auto changed = [&program, &in](size_t from, size_t to) {
        const char* now = reinterpret_cast<const char*>(&in);
        const char* sent = reinterpret_cast<const char*>(&program.sent);
        return !program.sentOnce || std::memcmp(now + from, sent + from, to - from) != 0;
    };
    if (changed(offsetof(DrawInputs, modelview), offsetof(DrawInputs, lighting))) setMatrices(program.at, in);
    if (changed(offsetof(DrawInputs, lighting), offsetof(DrawInputs, fogMode))) setLighting(program.at, in);
    if (changed(offsetof(DrawInputs, fogMode), offsetof(DrawInputs, depthTest))) setFog(program.at, in);
    if (changed(offsetof(DrawInputs, sideGiven), sizeof(DrawInputs)))
        emscripten_glUniform1i(program.at[sideGivenAt], in.sideGiven);
    program.sent = in;
    program.sentOnce = true;
}

// WebGL's depth function is GL_LESS unless told otherwise, and the subset never tells it.
void setDepthTest(int on) {
    if (!changes(objects->told.depthTest, on)) return;
    if (on)
        emscripten_glEnable(GL_DEPTH_TEST);
    else
        emscripten_glDisable(GL_DEPTH_TEST);
}

}  // namespace

void deviceClear(const float colour[4], bool colourBuffer, bool depthBuffer) {
    if (!ready()) return;
    if (changes(objects->told.clearColour, {colour[0], colour[1], colour[2], colour[3]}))
        emscripten_glClearColor(colour[0], colour[1], colour[2], colour[3]);
    emscripten_glClear((colourBuffer ? GL_COLOR_BUFFER_BIT : 0) | (depthBuffer ? GL_DEPTH_BUFFER_BIT : 0));
}

void deviceDraw(const DrawInputs& inputs, const std::vector<DeviceVertex>& vertices, uint32_t version,
                bool lines) {
    const int count = int(vertices.size());
    if (count == 0 || !ready()) return;
    Program& program = objects->programs[inputs.fogMode][inputs.lightCount];
    if (program.id == 0) {
        if (emscripten_is_webgl_context_lost(objects->context)) return;
        program = linkProgram(inputs.lightCount, inputs.fogMode);
    }
    if (changes(objects->told.program, program.id)) emscripten_glUseProgram(program.id);
    Buffer& buffer = objects->buffers[lines];
    if (changes(objects->told.vertexArray, buffer.vertexArray))
        emscripten_glBindVertexArray(buffer.vertexArray);
    if (buffer.version != version) {
        emscripten_glBindBuffer(GL_ARRAY_BUFFER, buffer.buffer);
        emscripten_glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(sizeof(DeviceVertex)) * count, vertices.data(),
                                GL_DYNAMIC_DRAW);
        buffer.version = version;
    }
    setUniforms(program, inputs);
    setDepthTest(inputs.depthTest);
    if (changes(objects->told.lineWidth, inputs.lineWidth)) emscripten_glLineWidth(inputs.lineWidth);
    emscripten_glDrawArrays(lines ? GL_LINES : GL_TRIANGLES, 0, count);
}

}  // namespace glsubset

extern "C" void webglReleaseContext(EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context) {
    using namespace glsubset;
    DeviceObjects* made = objectsOf(context);
    if (made == nullptr) return;
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE current = emscripten_webgl_get_current_context();
    emscripten_webgl_make_context_current(context);
    deleteObjects(*made);
    emscripten_webgl_make_context_current(current);
    *made = contexts[--contextCount];
    objects = nullptr;
}

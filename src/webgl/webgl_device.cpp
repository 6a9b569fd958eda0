// Draws with WebGL 2 through Emscripten's emscripten_gl* names, which stay WebGL's while the
// subset defines the OpenGL 1.1 ones. The programs (one for each count of enabled lights and fog
// mode) and the buffer are made on first use in each context and remade when another context
// becomes current.
#include "webgl/device.h"

#include <emscripten/html5.h>
#include <webgl/webgl1.h>
#include <webgl/webgl2.h>

#include <cstddef>
#include <string>

namespace glsubset {

namespace {

struct DeviceObjects {
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context;
    GLuint programs[fogModes][maxLights + 1];  // by fog mode and count of enabled lights; 0 until made
    GLuint program;                            // the one in use
    GLuint vertexArray;
    GLuint buffer;
};

DeviceObjects objects = {};

GLuint compileShader(GLenum type, const char* source) {
    GLuint shader = emscripten_glCreateShader(type);
    emscripten_glShaderSource(shader, 1, &source, nullptr);
    emscripten_glCompileShader(shader);
    return shader;
}

// A shader's source after its version and one integer constant.
std::string withConstant(const char* name, int value, const char* source) {
    return "#version 300 es\nconst int " + std::string(name) + " = " + std::to_string(value) + ";\n" + source;
}

GLuint linkProgram(int lightCount, int fogMode) {
    const std::string vertexSource = withConstant("lightCount", lightCount, vertexShaderSource);
    const std::string fragmentSource = withConstant("fogMode", fogMode, fragmentShaderSource);
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
    return program;
}

void setAttribute(GLuint index, int size, size_t offset) {
    emscripten_glEnableVertexAttribArray(index);
    emscripten_glVertexAttribPointer(index, size, GL_FLOAT, GL_FALSE, sizeof(DeviceVertex),
                                     reinterpret_cast<const void*>(offset));
}

void makeObjects(EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context) {
    objects = DeviceObjects{};
    objects.context = context;
    emscripten_glGenVertexArrays(1, &objects.vertexArray);
    emscripten_glBindVertexArray(objects.vertexArray);
    emscripten_glGenBuffers(1, &objects.buffer);
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, objects.buffer);
    setAttribute(0, 3, offsetof(DeviceVertex, position));
    setAttribute(1, 3, offsetof(DeviceVertex, normal));
    setAttribute(2, 1, offsetof(DeviceVertex, facesFront));
}

// The current context, with this library's objects made in it; false when there is none.
bool ready() {
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = emscripten_webgl_get_current_context();
    if (context == 0) return false;
    if (context != objects.context) makeObjects(context);
    return true;
}

GLint location(const char* name) { return emscripten_glGetUniformLocation(objects.program, name); }

void setMatrices(const DrawInputs& in) {
    emscripten_glUniformMatrix4fv(location("modelview"), 1, GL_FALSE, in.modelview);
    emscripten_glUniformMatrix4fv(location("projection"), 1, GL_FALSE, in.projection);
    emscripten_glUniformMatrix3fv(location("normalMatrix"), 1, GL_FALSE, in.normalMatrix);
}

void setLighting(const DrawInputs& in) {
    const int slots = 2 * maxLights;
    emscripten_glUniform1i(location("lighting"), in.lighting);
    emscripten_glUniform1i(location("twoSided"), in.twoSided);
    emscripten_glUniform3fv(location("direction"), maxLights, &in.direction[0][0]);
    emscripten_glUniform3fv(location("halfVector"), maxLights, &in.halfVector[0][0]);
    emscripten_glUniform4fv(location("sceneColour"), 2, &in.sceneColour[0][0]);
    emscripten_glUniform3fv(location("ambientProduct"), slots, &in.ambientProduct[0][0][0]);
    emscripten_glUniform3fv(location("diffuseProduct"), slots, &in.diffuseProduct[0][0][0]);
    emscripten_glUniform3fv(location("specularProduct"), slots, &in.specularProduct[0][0][0]);
    emscripten_glUniform1fv(location("shininess"), 2, in.shininess);
    emscripten_glUniform4fv(location("currentColour"), 1, in.currentColour);
}

void setFog(const DrawInputs& in) {
    emscripten_glUniform1f(location("fogDensity"), in.fogDensity);
    emscripten_glUniform1f(location("fogStart"), in.fogStart);
    emscripten_glUniform1f(location("fogEnd"), in.fogEnd);
    emscripten_glUniform4fv(location("fogColour"), 1, in.fogColour);
}

void setDepthTest(bool on) {
    if (on) {
        emscripten_glEnable(GL_DEPTH_TEST);
        emscripten_glDepthFunc(GL_LESS);
    } else {
        emscripten_glDisable(GL_DEPTH_TEST);
    }
}

}  // namespace

void deviceClear(const float colour[4], bool colourBuffer, bool depthBuffer) {
    if (!ready()) return;
    emscripten_glClearColor(colour[0], colour[1], colour[2], colour[3]);
    emscripten_glClear((colourBuffer ? GL_COLOR_BUFFER_BIT : 0) | (depthBuffer ? GL_DEPTH_BUFFER_BIT : 0));
}

void deviceDraw(const DrawInputs& inputs, const DeviceVertex* vertices, int count, bool lines) {
    if (count == 0 || !ready()) return;
    GLuint& program = objects.programs[inputs.fogMode][inputs.lightCount];
    if (program == 0) program = linkProgram(inputs.lightCount, inputs.fogMode);
    objects.program = program;
    emscripten_glUseProgram(program);
    emscripten_glBindVertexArray(objects.vertexArray);
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, objects.buffer);
    emscripten_glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(sizeof(DeviceVertex)) * count, vertices,
                            GL_STREAM_DRAW);
    setMatrices(inputs);
    setLighting(inputs);
    setFog(inputs);
    setDepthTest(inputs.depthTest);
    emscripten_glLineWidth(inputs.lineWidth);
    emscripten_glDrawArrays(lines ? GL_LINES : GL_TRIANGLES, 0, count);
}

void deviceFlush() {
    if (ready()) emscripten_glFlush();
}

}  // namespace glsubset

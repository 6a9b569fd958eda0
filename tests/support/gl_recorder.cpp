// Records the OpenGL 1.1 calls the program makes, in order, with their arguments.
#include "tests/support/gl_recorder.h"

#include "platform/win32.h"

#include <GL/gl.h>

#include <algorithm>

std::vector<GlCall> glCalls;
float glRecorderModelview[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

void clearGlCalls() { glCalls.clear(); }

int countGlCalls(const std::string& name) {
    return int(std::count_if(glCalls.begin(), glCalls.end(), [&](const GlCall& c) { return c.name == name; }));
}

namespace {

void record(const char* name, std::vector<double> args) { glCalls.push_back({name, std::move(args)}); }

std::vector<double> spread(const float* values, int count) { return std::vector<double>(values, values + count); }

// Number of values behind a glLightfv/glMaterialfv/glFogfv parameter.
int valueCount(GLenum parameter) {
    switch (parameter) {
    case GL_SHININESS:
    case GL_SPOT_EXPONENT:
    case GL_SPOT_CUTOFF:
    case GL_FOG_DENSITY:
        return 1;
    case GL_SPOT_DIRECTION:
        return 3;
    default:
        return 4;
    }
}

}  // namespace

extern "C" {

void APIENTRY glMatrixMode(GLenum mode) { record("glMatrixMode", {double(mode)}); }
void APIENTRY glLoadIdentity() { record("glLoadIdentity", {}); }
void APIENTRY glOrtho(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f) {
    record("glOrtho", {l, r, b, t, n, f});
}
void APIENTRY glPushMatrix() { record("glPushMatrix", {}); }
void APIENTRY glPopMatrix() { record("glPopMatrix", {}); }
void APIENTRY glMultMatrixf(const GLfloat* m) { record("glMultMatrixf", spread(m, 16)); }
void APIENTRY glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) { record("glRotatef", {angle, x, y, z}); }
void APIENTRY glTranslatef(GLfloat x, GLfloat y, GLfloat z) { record("glTranslatef", {x, y, z}); }
void APIENTRY glGetFloatv(GLenum name, GLfloat* values) {
    record("glGetFloatv", {double(name)});
    if (name == GL_MODELVIEW_MATRIX) std::copy(glRecorderModelview, glRecorderModelview + 16, values);
}
void APIENTRY glLightfv(GLenum light, GLenum name, const GLfloat* values) {
    std::vector<double> args = {double(light), double(name)};
    for (int i = 0; i < valueCount(name); ++i) args.push_back(values[i]);
    record("glLightfv", args);
}
void APIENTRY glLightModeli(GLenum name, GLint value) { record("glLightModeli", {double(name), double(value)}); }
void APIENTRY glMaterialfv(GLenum face, GLenum name, const GLfloat* values) {
    std::vector<double> args = {double(face), double(name)};
    for (int i = 0; i < valueCount(name); ++i) args.push_back(values[i]);
    record("glMaterialfv", args);
}
void APIENTRY glMaterialf(GLenum face, GLenum name, GLfloat value) {
    record("glMaterialf", {double(face), double(name), value});
}
void APIENTRY glFogi(GLenum name, GLint value) { record("glFogi", {double(name), double(value)}); }
void APIENTRY glFogf(GLenum name, GLfloat value) { record("glFogf", {double(name), value}); }
void APIENTRY glFogfv(GLenum name, const GLfloat* values) {
    std::vector<double> args = {double(name)};
    for (int i = 0; i < valueCount(name); ++i) args.push_back(values[i]);
    record("glFogfv", args);
}
void APIENTRY glEnable(GLenum cap) { record("glEnable", {double(cap)}); }
void APIENTRY glDisable(GLenum cap) { record("glDisable", {double(cap)}); }
void APIENTRY glPolygonMode(GLenum face, GLenum mode) { record("glPolygonMode", {double(face), double(mode)}); }
void APIENTRY glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) { record("glClearColor", {r, g, b, a}); }
void APIENTRY glClear(GLbitfield mask) { record("glClear", {double(mask)}); }
void APIENTRY glBegin(GLenum mode) { record("glBegin", {double(mode)}); }
void APIENTRY glEnd() { record("glEnd", {}); }
void APIENTRY glNormal3f(GLfloat x, GLfloat y, GLfloat z) { record("glNormal3f", {x, y, z}); }
void APIENTRY glVertex3f(GLfloat x, GLfloat y, GLfloat z) { record("glVertex3f", {x, y, z}); }
void APIENTRY glLineWidth(GLfloat width) { record("glLineWidth", {width}); }
void APIENTRY glFlush() { record("glFlush", {}); }

}  // extern "C"

// The buffer swap ends every frame; it is recorded with the GL calls to show where it falls.
extern "C" BOOL WINAPI SwapBuffers(HDC) {
    record("SwapBuffers", {});
    return TRUE;
}

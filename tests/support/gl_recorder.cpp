// The OpenGL 1.1 stand-in and the buffer swap: each call recorded, and the mesh between glBegin
// and glEnd folded into one line with its call count and an FNV-1a digest of its calls.
#include "tests/support/recorder.h"

#include "platform/opengl.h"

#include <cstdio>
#include <cstring>

namespace {

bool inMesh = false;
long meshCalls = 0;
uint64_t meshDigest = 0;

void hashMeshCall(char kind, GLfloat x, GLfloat y, GLfloat z) {
    ++meshCalls;
    unsigned char bytes[13] = {static_cast<unsigned char>(kind)};
    const GLfloat values[3] = {x, y, z};
    std::memcpy(bytes + 1, values, sizeof values);
    for (unsigned char byte : bytes) meshDigest = (meshDigest ^ byte) * 0x100000001b3ull;
}

// The values behind a glLightfv, glMaterialfv or glFogfv parameter.
Floats values(GLenum parameter, const GLfloat* v) {
    return {v, parameter == GL_SHININESS || parameter == GL_FOG_DENSITY ? 1 : 4};
}

}  // namespace

extern "C" {

void APIENTRY glMatrixMode(GLenum mode) { record("glMatrixMode", GlEnum{mode}); }
void APIENTRY glLoadIdentity() { record("glLoadIdentity"); }
void APIENTRY glOrtho(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f) {
    record("glOrtho", l, r, b, t, n, f);
}
void APIENTRY glPushMatrix() { record("glPushMatrix"); }
void APIENTRY glPopMatrix() { record("glPopMatrix"); }
void APIENTRY glMultMatrixf(const GLfloat* m) { record("glMultMatrixf", Floats{m, 16}); }
void APIENTRY glRotatef(GLfloat a, GLfloat x, GLfloat y, GLfloat z) { record("glRotatef", a, x, y, z); }
void APIENTRY glTranslatef(GLfloat x, GLfloat y, GLfloat z) { record("glTranslatef", x, y, z); }
// The stand-in does no matrix arithmetic: the modelview matrix read back is the identity.
void APIENTRY glGetFloatv(GLenum name, GLfloat* m) {
    record("glGetFloatv", GlEnum{name});
    for (int i = 0; i < 16; ++i) m[i] = i % 5 == 0 ? 1.0f : 0.0f;
}
void APIENTRY glLightfv(GLenum l, GLenum name, const GLfloat* v) {
    record("glLightfv", GlEnum{l}, GlEnum{name}, values(name, v));
}
void APIENTRY glLightModeli(GLenum name, GLint value) { record("glLightModeli", GlEnum{name}, value); }
void APIENTRY glMaterialfv(GLenum face, GLenum name, const GLfloat* v) {
    record("glMaterialfv", GlEnum{face}, GlEnum{name}, values(name, v));
}
void APIENTRY glMaterialf(GLenum face, GLenum name, GLfloat v) {
    record("glMaterialf", GlEnum{face}, GlEnum{name}, v);
}
void APIENTRY glFogi(GLenum name, GLint value) { record("glFogi", GlEnum{name}, GlEnum{GLenum(value)}); }
void APIENTRY glFogf(GLenum name, GLfloat value) { record("glFogf", GlEnum{name}, value); }
void APIENTRY glFogfv(GLenum name, const GLfloat* v) { record("glFogfv", GlEnum{name}, values(name, v)); }
void APIENTRY glEnable(GLenum cap) { record("glEnable", GlEnum{cap}); }
void APIENTRY glDisable(GLenum cap) { record("glDisable", GlEnum{cap}); }
void APIENTRY glPolygonMode(GLenum face, GLenum mode) { record("glPolygonMode", GlEnum{face}, GlEnum{mode}); }
void APIENTRY glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) {
    record("glClearColor", r, g, b, a);
}
void APIENTRY glClear(GLbitfield mask) { record("glClear", mask); }
void APIENTRY glLineWidth(GLfloat width) { record("glLineWidth", width); }
void APIENTRY glFlush() { record("glFlush"); }
void APIENTRY glBegin(GLenum mode) {
    record("glBegin", GlEnum{mode});
    inMesh = true, meshCalls = 0, meshDigest = 0xcbf29ce484222325ull;
}
void APIENTRY glNormal3f(GLfloat x, GLfloat y, GLfloat z) {
    inMesh ? hashMeshCall('N', x, y, z) : record("glNormal3f", x, y, z);
}
void APIENTRY glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    inMesh ? hashMeshCall('V', x, y, z) : record("glVertex3f", x, y, z);
}
void APIENTRY glEnd() {
    char line[80];
    std::snprintf(line, sizeof line, "  %ld normal and vertex calls, digest %016llx", meshCalls,
                  (unsigned long long)meshDigest);
    trace.push_back(line);
    inMesh = false;
    record("glEnd");
}
// The buffer swap ends every frame, so it is recorded with the frame's calls.
BOOL WINAPI SwapBuffers(HDC dc) { return answer(TRUE, "SwapBuffers", dc); }

}  // extern "C"

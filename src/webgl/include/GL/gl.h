// An OpenGL 1.1 subset drawn with WebGL 2, for programs built with Emscripten. It stands in for
// <GL/gl.h> and offers only the calls declared below.
//
// What it does:
// - Matrix stacks (modelview and projection, 32 deep) kept in C++ in single precision, with the
//   arithmetic of Mesa's fixed-function matrices, so glGetFloatv(GL_MODELVIEW_MATRIX) gives the
//   floats OpenGL would.
// - glBegin(GL_TRIANGLES)/glEnd with glNormal3f and glVertex3f: the vertices are gathered in C++
//   and handed to WebGL in one draw per glEnd.
// - OpenGL 1.1 lighting per vertex in eye space: up to eight directional lights (ambient,
//   diffuse, specular with the shininess exponent), the light model's ambient, material
//   emission, infinite viewer, colours clamped; two-sided lighting, where back faces take the back
//   material and the reversed normal. Normals are transformed by the inverse transpose of the
//   modelview and are not normalised. A light's direction is fixed by the modelview current when
//   its GL_POSITION is sent.
// - Fog (GL_EXP2, GL_EXP, GL_LINEAR) from the absolute eye-space z, as Mesa computes it.
// - Front faces are those wound counter-clockwise in the window; a triangle of no area counts as a
//   back face, as in Mesa (its outline is still drawn).
// - glPolygonMode: GL_LINE draws a triangle's three edges, coloured as the face would be.
// - Depth test (GL_LESS), glClear, glClearColor, glLineWidth, glFlush.
// - With the depth test on, a triangle (or an outline's edge) that repeats the corner positions of
//   one drawn earlier in the same glBegin/glEnd, in any order, is not handed to WebGL: it could
//   not pass GL_LESS. A glBegin/glEnd that sends the same vertices as the one before it, to the
//   bit, with both polygon modes GL_FILL, is drawn from what WebGL already holds.
//
// What it does not do: points, lines, quads, strips and fans as primitives; positional lights,
// spotlights and attenuation; local viewer; GL_NORMALIZE, face culling, blending, textures,
// display lists, vertex arrays, glColor and colour material, GL_POINT polygon mode,
// glGetError (errors are ignored). Unknown enums are ignored. There is one state for the whole
// process; the WebGL objects it draws with are made the first time it draws in a context.
//
// What it expects: a current WebGL 2 context (emscripten_webgl_make_context_current) with a depth
// buffer. Lit colours carry the material's alpha into the drawing buffer, as OpenGL does, so a
// context made with alpha: false shows them opaque as a window does. glFlush does nothing
// (WebGL takes the commands when the page's script yields); showing the frame is the page's
// business.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

typedef unsigned int GLenum;
typedef unsigned char GLboolean;
typedef unsigned int GLbitfield;
typedef void GLvoid;
typedef int GLint;
typedef int GLsizei;
typedef unsigned int GLuint;
typedef unsigned char GLubyte;
typedef float GLfloat;
typedef float GLclampf;
typedef double GLdouble;
typedef double GLclampd;

#define GL_FALSE 0
#define GL_TRUE 1

// Primitives.
#define GL_TRIANGLES 0x0004

// Buffers to clear.
#define GL_DEPTH_BUFFER_BIT 0x00000100
#define GL_COLOR_BUFFER_BIT 0x00004000

// Faces and polygon modes.
#define GL_FRONT 0x0404
#define GL_BACK 0x0405
#define GL_FRONT_AND_BACK 0x0408
#define GL_POINT 0x1B00
#define GL_LINE 0x1B01
#define GL_FILL 0x1B02

// Switches.
#define GL_FOG 0x0B60
#define GL_LIGHTING 0x0B50
#define GL_DEPTH_TEST 0x0B71

// Matrices.
#define GL_MODELVIEW 0x1700
#define GL_PROJECTION 0x1701
#define GL_MODELVIEW_MATRIX 0x0BA6
#define GL_PROJECTION_MATRIX 0x0BA7

// Lights, the light model and materials.
#define GL_LIGHT0 0x4000
#define GL_LIGHT1 0x4001
#define GL_LIGHT2 0x4002
#define GL_LIGHT3 0x4003
#define GL_LIGHT4 0x4004
#define GL_LIGHT5 0x4005
#define GL_LIGHT6 0x4006
#define GL_LIGHT7 0x4007
#define GL_AMBIENT 0x1200
#define GL_DIFFUSE 0x1201
#define GL_SPECULAR 0x1202
#define GL_POSITION 0x1203
#define GL_EMISSION 0x1600
#define GL_SHININESS 0x1601
#define GL_AMBIENT_AND_DIFFUSE 0x1602
#define GL_LIGHT_MODEL_TWO_SIDE 0x0B52

// Fog.
#define GL_FOG_DENSITY 0x0B62
#define GL_FOG_START 0x0B63
#define GL_FOG_END 0x0B64
#define GL_FOG_MODE 0x0B65
#define GL_FOG_COLOR 0x0B66
#define GL_EXP 0x0800
#define GL_EXP2 0x0801
#define GL_LINEAR 0x2601

// Matrices.
void glMatrixMode(GLenum mode);
void glLoadIdentity(void);
void glOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear, GLdouble zFar);
void glPushMatrix(void);
void glPopMatrix(void);
void glMultMatrixf(const GLfloat* m);
void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z);
void glTranslatef(GLfloat x, GLfloat y, GLfloat z);
void glGetFloatv(GLenum pname, GLfloat* params);

// Lighting and materials.
void glLightfv(GLenum light, GLenum pname, const GLfloat* params);
void glLightModeli(GLenum pname, GLint param);
void glMaterialfv(GLenum face, GLenum pname, const GLfloat* params);
void glMaterialf(GLenum face, GLenum pname, GLfloat param);

// Fog.
void glFogi(GLenum pname, GLint param);
void glFogf(GLenum pname, GLfloat param);
void glFogfv(GLenum pname, const GLfloat* params);

// Switches and buffers.
void glEnable(GLenum cap);
void glDisable(GLenum cap);
void glPolygonMode(GLenum face, GLenum mode);
void glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha);
void glClear(GLbitfield mask);
void glLineWidth(GLfloat width);
void glFlush(void);

// Immediate-mode drawing.
void glBegin(GLenum mode);
void glEnd(void);
void glNormal3f(GLfloat nx, GLfloat ny, GLfloat nz);
void glVertex3f(GLfloat x, GLfloat y, GLfloat z);

#ifdef __cplusplus
}
#endif

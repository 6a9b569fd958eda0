// The matrix calls: two stacks in C++, every product formed in single precision in the order
// Mesa forms it, so a matrix read back with glGetFloatv holds the floats OpenGL would give.
#include "webgl/matrices.h"

#include <cmath>
#include <cstring>

namespace glsubset {

namespace {

float& at(Matrix& m, int row, int column) { return m.m[column * 4 + row]; }

MatrixStack& currentStack() {
    return state().matrixMode == GL_PROJECTION ? state().projection : state().modelview;
}

void multiplyCurrent(const Matrix& right) {
    Matrix& current = currentMatrix();
    current = multiply(current, right);
}

// The rotation matrix of glRotatef. Rotations about a coordinate axis are written out, as Mesa
// does, so that they hold exact zeros and ones; other axes are normalised first.
bool rotation(float angle, float x, float y, float z, Matrix& m) {
    const float s = std::sin(float(angle * M_PI / 180.0));
    const float c = std::cos(float(angle * M_PI / 180.0));
    m = identityMatrix;
    if (x == 0 && y == 0 && z != 0) {
        at(m, 0, 0) = at(m, 1, 1) = c;
        at(m, 0, 1) = z < 0 ? s : -s;
        at(m, 1, 0) = z < 0 ? -s : s;
        return true;
    }
    if (x == 0 && z == 0 && y != 0) {
        at(m, 0, 0) = at(m, 2, 2) = c;
        at(m, 0, 2) = y < 0 ? -s : s;
        at(m, 2, 0) = y < 0 ? s : -s;
        return true;
    }
    if (y == 0 && z == 0 && x != 0) {
        at(m, 1, 1) = at(m, 2, 2) = c;
        at(m, 1, 2) = x < 0 ? s : -s;
        at(m, 2, 1) = x < 0 ? -s : s;
        return true;
    }
    const float length = std::sqrt(x * x + y * y + z * z);
    if (length <= 1.0e-4f) return false;  // no axis: OpenGL leaves the matrix as it is
    x /= length;
    y /= length;
    z /= length;
    const float oneMinusC = 1.0f - c;
    at(m, 0, 0) = oneMinusC * (x * x) + c;
    at(m, 0, 1) = oneMinusC * (x * y) - z * s;
    at(m, 0, 2) = oneMinusC * (z * x) + y * s;
    at(m, 1, 0) = oneMinusC * (x * y) + z * s;
    at(m, 1, 1) = oneMinusC * (y * y) + c;
    at(m, 1, 2) = oneMinusC * (y * z) - x * s;
    at(m, 2, 0) = oneMinusC * (z * x) - y * s;
    at(m, 2, 1) = oneMinusC * (y * z) + x * s;
    at(m, 2, 2) = oneMinusC * (z * z) + c;
    return true;
}

}  // namespace

Matrix multiply(const Matrix& a, const Matrix& b) {
    Matrix product;
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column) {
            const float* bColumn = &b.m[column * 4];
            product.m[column * 4 + row] = a.m[row] * bColumn[0] + a.m[4 + row] * bColumn[1] +
                                          a.m[8 + row] * bColumn[2] + a.m[12 + row] * bColumn[3];
        }
    return product;
}

void normalMatrix(const Matrix& modelview, float out[9]) {
    // The inverse transpose of A is the cofactor matrix of A divided by det(A).
    const float* m = modelview.m;
    auto a = [m](int row, int column) { return double(m[column * 4 + row]); };
    double cofactor[3][3];
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column) {
            int r0 = (row + 1) % 3, r1 = (row + 2) % 3;
            int c0 = (column + 1) % 3, c1 = (column + 2) % 3;
            cofactor[row][column] = a(r0, c0) * a(r1, c1) - a(r0, c1) * a(r1, c0);
        }
    double det = a(0, 0) * cofactor[0][0] + a(0, 1) * cofactor[0][1] + a(0, 2) * cofactor[0][2];
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column) {
            bool singular = std::fabs(det) < 1e-25;
            double identityValue = row == column ? 1.0 : 0.0;
            out[column * 3 + row] = float(singular ? identityValue : cofactor[row][column] / det);
        }
}

void transform(const Matrix& m, const float in[4], float out[4]) {
    for (int row = 0; row < 4; ++row)
        out[row] = m.m[row] * in[0] + m.m[4 + row] * in[1] + m.m[8 + row] * in[2] + m.m[12 + row] * in[3];
}

}  // namespace glsubset

using namespace glsubset;

extern "C" {

void glMatrixMode(GLenum mode) {
    if (mode == GL_MODELVIEW || mode == GL_PROJECTION) state().matrixMode = mode;
}

void glLoadIdentity(void) { currentMatrix() = identityMatrix; }

void glOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear, GLdouble zFar) {
    // Mesa takes the bounds as floats and forms the box in float.
    const float l = float(left), r = float(right), b = float(bottom), t = float(top);
    const float n = float(zNear), f = float(zFar);
    if (l == r || b == t || n == f) return;
    Matrix m = identityMatrix;
    at(m, 0, 0) = 2.0f / (r - l);
    at(m, 0, 3) = -(r + l) / (r - l);
    at(m, 1, 1) = 2.0f / (t - b);
    at(m, 1, 3) = -(t + b) / (t - b);
    at(m, 2, 2) = -2.0f / (f - n);
    at(m, 2, 3) = -(f + n) / (f - n);
    multiplyCurrent(m);
}

void glPushMatrix(void) {
    MatrixStack& stack = currentStack();
    if (stack.top + 1 >= matrixStackDepth) return;  // overflow: OpenGL ignores the call
    const Matrix below = topOf(stack);
    ++stack.top;
    topOf(stack) = below;
}

void glPopMatrix(void) {
    MatrixStack& stack = currentStack();
    if (stack.top > 0) --stack.top;  // underflow: ignored
}

void glMultMatrixf(const GLfloat* m) {
    Matrix right;
    std::memcpy(right.m, m, sizeof right.m);
    multiplyCurrent(right);
}

void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
    Matrix m;
    if (rotation(angle, x, y, z, m)) multiplyCurrent(m);
}

void glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
    // Only the last column changes; each of its elements is summed as a full product would be.
    Matrix& m = currentMatrix();
    for (int row = 0; row < 4; ++row)
        at(m, row, 3) = at(m, row, 0) * x + at(m, row, 1) * y + at(m, row, 2) * z + at(m, row, 3);
}

void glGetFloatv(GLenum pname, GLfloat* params) {
    const MatrixStack* stack = nullptr;
    if (pname == GL_MODELVIEW_MATRIX) stack = &state().modelview;
    if (pname == GL_PROJECTION_MATRIX) stack = &state().projection;
    if (stack) std::memcpy(params, topOf(*stack).m, sizeof(float) * 16);
}
}

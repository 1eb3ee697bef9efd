// GLPolyLine and GLText: coloured line strips from float vertices, and
// bitmap text through a font's display lists.
#include <windows.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstring>

#include "gl/gl_geometry.h"
#include "gl/gl_state.h"
#include "vorda.h"

using namespace vorda;

extern "C" int __cdecl GLPolyLine(HostObject host, const float* points, unsigned count, int,
                                  double width, double red, double green, double blue) {
  glLineWidth(static_cast<GLfloat>(width));
  glColor3d(red, green, blue);
  int32_t vertices = VertexCount(count);
  // GL would read the vertices through a null pointer: refuse as GL refuses
  // a bad argument, after any error already pending.
  bool refused = vertices > 0 && !points;
  if (!refused) {
    glVertexPointer(2, GL_FLOAT, 0, points);
    glDrawArrays(GL_LINE_STRIP, 0, vertices);
  }
  glFlush();
  if (Failure f = PendingGlError()) return ReportThenZero(host, f);
  if (refused) return ReportThenZero(host, GlErrorText(GL_INVALID_VALUE));
  return 1;
}

extern "C" int __cdecl GLText(int listBase, const char* text, double red, double green,
                              double blue) {
  if (listBase == 0 || !text) return 0;
  // The raster position takes the current colour, so the colour comes first.
  glColor3d(red, green, blue);
  glRasterPos2f(50.0f, 50.0f);
  glListBase(static_cast<GLuint>(listBase));
  size_t length = std::strlen(text);
  // glCallLists counts in GLsizei; a longer text is drawn in pieces.
  while (length > 0) {
    GLsizei piece = length > INT32_MAX ? INT32_MAX : static_cast<GLsizei>(length);
    glCallLists(piece, GL_UNSIGNED_BYTE, text);
    text += piece;
    length -= static_cast<size_t>(piece);
  }
  glFlush();
  return glGetError() == GL_NO_ERROR ? 1 : 0;
}

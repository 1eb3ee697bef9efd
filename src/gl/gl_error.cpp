#include <windows.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include "gl/gl_state.h"
#include "host/report.h"

namespace vorda {

int CheckGlError(HostObject host) {
  GLenum error = glGetError();
  if (error == GL_NO_ERROR) return 1;
  // GLU has no text for codes it does not know; the host still hears of it.
  const char* text = reinterpret_cast<const char*>(gluErrorString(error));
  ReportError(host, text ? text : "unknown OpenGL error");
  return 0;
}

}  // namespace vorda

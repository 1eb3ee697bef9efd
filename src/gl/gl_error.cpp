#include <windows.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include "gl/gl_state.h"
#include "host/report.h"

namespace vorda {

int CheckGlError(HostObject host) {
  GLenum error = glGetError();
  if (error == GL_NO_ERROR) return 1;
  ReportError(host, GlErrorText(error));
  return 0;
}

const char* GlErrorText(unsigned code) {
  // GLU has no text for codes it does not know; the host still hears of it.
  const char* text = reinterpret_cast<const char*>(gluErrorString(code));
  return text ? text : "unknown OpenGL error";
}

}  // namespace vorda

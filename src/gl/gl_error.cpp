#include <windows.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include "gl/gl_state.h"

namespace vorda {

Failure PendingGlError() {
  GLenum error = glGetError();
  if (error == GL_NO_ERROR) return {};
  return GlErrorText(error);
}

const char* GlErrorText(unsigned code) {
  // GLU has no text for codes it does not know; the host still hears of it.
  const char* text = reinterpret_cast<const char*>(gluErrorString(code));
  return text ? text : kUnknownGlError;
}

}  // namespace vorda

// GLEnable, GLDisable and GLSetXForm: the rendering context, the pixel
// coordinate system of the window and the world transform with scissoring.
#include <windows.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include "gl/gl_geometry.h"
#include "gl/gl_state.h"
#include "vorda.h"

namespace vorda {

GlState glState;

namespace {

// Single-buffered RGBA on a window, so that what is drawn shows at once.
PIXELFORMATDESCRIPTOR RequestedPixelFormat() {
  PIXELFORMATDESCRIPTOR pfd{};
  pfd.nSize = sizeof(PIXELFORMATDESCRIPTOR);
  pfd.nVersion = 1;
  pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
  pfd.iPixelType = PFD_TYPE_RGBA;
  pfd.cColorBits = 24;
  pfd.cDepthBits = 16;
  pfd.iLayerType = PFD_MAIN_PLANE;
  return pfd;
}
static_assert(sizeof(PIXELFORMATDESCRIPTOR) == 40);

// A device context seen for the first time starts white; the context has
// just been made current with it.
void AdoptDc(HDC dc) {
  glState.GlDc = dc;
  glClearColor(1.0f, 1.0f, 1.0f, 0.0f);
  glClearDepth(1.0);
  // A scissor box left by an earlier plot would keep most of the new window
  // from being cleared; the host's scissoring is kept for what it draws.
  GLboolean scissored = glIsEnabled(GL_SCISSOR_TEST);
  if (scissored) glDisable(GL_SCISSOR_TEST);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  if (scissored) glEnable(GL_SCISSOR_TEST);
  glEnableClientState(GL_VERTEX_ARRAY);
}

}  // namespace
}  // namespace vorda

using namespace vorda;

extern "C" int __cdecl GLEnable(HostObject host, HDC dc, unsigned deviceLeft, unsigned deviceRight,
                                unsigned deviceTop, unsigned deviceBottom) {
  if (GetPixelFormat(dc) == 0) {
    PIXELFORMATDESCRIPTOR pfd = RequestedPixelFormat();
    SetPixelFormat(dc, ChoosePixelFormat(dc, &pfd), &pfd);
  }
  if (!glState.RenderContext) glState.RenderContext = wglCreateContext(dc);
  if (glState.GlDc != dc || !dc) {
    // Without a context made current with the new device context, the
    // clear and the coordinate system would land on the previous window,
    // or nowhere.
    if (!glState.RenderContext || !wglMakeCurrent(dc, glState.RenderContext))
      return ReportThenZero(host, GlErrorText(GL_INVALID_OPERATION));
    AdoptDc(dc);
  }

  GlBox viewport = ViewportFor(deviceLeft, deviceRight, deviceTop, deviceBottom);
  glViewport(viewport.x, viewport.y, viewport.width, viewport.height);

  GlOrtho ortho = OrthoFor(deviceLeft, deviceRight, deviceTop, deviceBottom);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluOrtho2D(ortho.left, ortho.right, ortho.bottom, ortho.top);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  if (Failure f = PendingGlError()) return ReportThenZero(host, f);
  return 1;
}

extern "C" int __cdecl GLDisable(void) { return 1; }

extern "C" int __cdecl GLSetXForm(HostObject host, int clip, int deviceLeft, int deviceRight,
                                  int deviceTop, int deviceBottom, double modelLeft,
                                  double modelRight, double modelTop, double modelBottom) {
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glState.Transform = GlTransformFor(deviceLeft, deviceRight, deviceTop, deviceBottom, modelLeft,
                                     modelRight, modelTop, modelBottom);
  const WorldTransform& t = glState.Transform;
  glTranslated(t.XOffset + kPixelCentreOffset, t.YOffset + kPixelCentreOffset, 0.0);
  glScaled(t.XScale, t.YScale, 1.0);

  if (clip) {
    GlBox box = ScissorFor(deviceLeft, deviceRight, deviceTop, deviceBottom);
    glEnable(GL_SCISSOR_TEST);
    glScissor(box.x, box.y, box.width, box.height);
  } else {
    glDisable(GL_SCISSOR_TEST);
  }
  if (Failure f = PendingGlError()) return ReportThenZero(host, f);
  return 1;
}

// The process-wide state of the OpenGL back end: zero at load, never reset,
// used from the host's one calling thread only. Shares nothing with
// PlotState.
#pragma once

#include <windows.h>

#include "gdi/conversions.h"
#include "host/report.h"

namespace vorda {

struct GlState {
  // Made by the first GLEnable and reused for every device context after;
  // never deleted.
  HGLRC RenderContext;
  // The device context with which RenderContext was last made current.
  HDC GlDc;
  // As last set by GLSetXForm, without the pixel-centre offset.
  WorldTransform Transform;
};

extern GlState glState;

// The last step of GLEnable, GLSetXForm and GLPolyLine: the GL error
// pending, if any, which those operations report and then return 0.
Failure PendingGlError();

// GLU's text for an error code, or a text of ours when GLU has none: the
// host is never handed a null message.
const char* GlErrorText(unsigned code);

}  // namespace vorda

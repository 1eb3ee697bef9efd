// GLNewFont: the bitmaps of a GDI font's characters, one for each 8-bit
// code, built into consecutive display lists of the rendering context.
#include <windows.h>

#include <GL/gl.h>

#include "gl/gl_geometry.h"
#include "gl/gl_state.h"
#include "guards.h"
#include "vorda.h"

namespace vorda {
namespace {

// Reserved display lists, deleted again unless kept.
struct DeleteFontLists {
  void operator()(GLuint base) const { glDeleteLists(base, kFontListCount); }
};
using ReservedLists = Owned<GLuint, DeleteFontLists>;

// A font selected into a device context until this goes; the previous one
// is selected back.
class SelectedFont {
 public:
  SelectedFont(HDC dc, HFONT font) : dc_(dc), previous_(SelectObject(dc, font)) {}
  SelectedFont(const SelectedFont&) = delete;
  SelectedFont& operator=(const SelectedFont&) = delete;
  ~SelectedFont() {
    if (ok()) SelectObject(dc_, previous_);
  }
  bool ok() const { return Selected(previous_); }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace
}  // namespace vorda

using namespace vorda;

// Every path that returns 0 gives its display lists back: the caller has no
// base with which it could ever free them.
extern "C" int __cdecl GLNewFont(const char* faceName, int height, int) {
  if (!faceName || !glState.GlDc) return 0;
  ReservedLists lists(glGenLists(kFontListCount));
  if (!lists) return 0;
  {
    // Escapement 200: tenths of a degree.
    OwnedGdi<HFONT> font(CreateFontA(FontHeightFor(height), 0, 200, 0, FW_NORMAL, FALSE, FALSE,
                                     FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                     PROOF_QUALITY, DEFAULT_PITCH | FF_DONTCARE, faceName));
    if (!font) return 0;
    SelectedFont selected(glState.GlDc, font.get());
    if (!selected.ok()) return 0;
    if (!wglUseFontBitmapsA(glState.GlDc, 0, kFontListCount, lists.get())) return 0;
  }
  if (glGetError() != GL_NO_ERROR) return 0;
  return static_cast<int>(lists.release());
}

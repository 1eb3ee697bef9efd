// The OpenGL back end on a real window: what GL holds after each operation
// (read back with glGet*), the pixels it draws (glReadPixels), the host's
// error log, and what GLNewFont gives back on every path.
//
// GlState lives as long as the process and is never reset: what a process
// without any GLEnable does is in first_calls_test.cpp.
#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdio>
#include <string>
#include <vector>

#include "gl_window.h"
#include "host_test.h"
#include "import_hook.h"
#include "ledger.h"
#include "surface.h"

namespace vorda_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// GL may keep its matrices in single precision: compare them as floats.
std::vector<double> GetDoubles(GLenum what, int n) {
  std::vector<double> v(n);
  glGetDoublev(what, v.data());
  return v;
}
std::vector<int> GetInts(GLenum what, int n) {
  std::vector<int> v(n);
  glGetIntegerv(what, v.data());
  return v;
}

class GlTest : public HostTest {
 protected:
  // A window, enabled with pixel coordinates 0..width, 0..height, and a
  // transform that maps model units one to one onto those pixels.
  void EnablePixels(const GlWindow& w, int clip = 0) {
    ASSERT_EQ(GLEnable(host_, w.dc(), 0, w.width(), w.height(), 0), 1);
    ASSERT_EQ(GLSetXForm(host_, clip, 0, w.width(), w.height(), 0, 0, w.width(), w.height(), 0), 1);
  }
  // The same, starting from white: enabling another device context first
  // makes GLEnable clear this one. (Windows of one size serve several
  // tests, so this one may still be the device context of record.)
  void FreshPixels(const GlWindow& w) {
    static GlWindow* elsewhere = new GlWindow(8, 8);
    ASSERT_EQ(GLEnable(host_, elsewhere->dc(), 0, 8, 8, 0), 1);
    EnablePixels(w);
  }
};

TEST_F(GlTest, EnableSetsViewportAndPixelProjection) {
  GlWindow w(640, 480);
  struct Case {
    unsigned left, right, top, bottom;
    int width, height;
    double projLeft, projBottom;
  } cases[] = {
      {0, 640, 480, 0, 640, 480, 0, 0},
      {100, 740, 300, 20, 640, 280, 100, 20},
      // A negative bottom passed through the unsigned argument: the height
      // is the 32-bit difference, the projection reads it as unsigned.
      {0, 640, 470, static_cast<unsigned>(-10), 640, 480, 0, 4294967286.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.top);
    ASSERT_EQ(GLEnable(host_, w.dc(), c.left, c.right, c.top, c.bottom), 1);
    EXPECT_EQ(GetInts(GL_VIEWPORT, 4), (std::vector<int>{0, 0, c.width, c.height}));
    std::vector<double> p = GetDoubles(GL_PROJECTION_MATRIX, 16);
    double r = c.right, t = c.top;
    EXPECT_FLOAT_EQ(p[0], 2 / (r - c.projLeft));
    EXPECT_FLOAT_EQ(p[5], 2 / (t - c.projBottom));
    EXPECT_FLOAT_EQ(p[10], -1);
    EXPECT_FLOAT_EQ(p[12], -(r + c.projLeft) / (r - c.projLeft));
    EXPECT_FLOAT_EQ(p[13], -(t + c.projBottom) / (t - c.projBottom));
    EXPECT_EQ(GetInts(GL_MATRIX_MODE, 1)[0], GL_MODELVIEW);
    std::vector<double> m = GetDoubles(GL_MODELVIEW_MATRIX, 16);
    EXPECT_EQ(m, (std::vector<double>{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}));
  }
  EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(GlTest, NegativeViewportHeightIsReportedWithGluText) {
  GlWindow w(64, 48);
  ASSERT_EQ(GLEnable(host_, w.dc(), 0, 64, 48, 0), 1);
  // Whatever the host's error call returns, the result is 0.
  tarn::host().SetErrorResult(7);
  EXPECT_EQ(GLEnable(host_, w.dc(), 0, 64, 0, 48), 0);
  EXPECT_THAT(Messages(), ElementsAre("invalid value"));
  // The error was taken: the next call starts clean.
  EXPECT_EQ(GLEnable(host_, w.dc(), 0, 64, 48, 0), 1);
  EXPECT_EQ(Messages().size(), 1u);
}

TEST_F(GlTest, NewDeviceContextIsClearedToWhiteTheSameOneIsNot) {
  GlWindow a(100, 60), b(100, 60);
  const float line[] = {0, 30, 100, 30};
  EnablePixels(b);
  int contexts = 0;
  VORDA_HOOK(create, "opengl32.dll", wglCreateContext, [&](HDC dc) {
    ++contexts;
    return create.Original()(dc);
  });
  ASSERT_EQ(GLPolyLine(host_, line, 4, 0, 1, 0, 0, 0), 1);
  EXPECT_EQ(GlPixels(100, 60).At(50, 30), RGB(0, 0, 0));

  EnablePixels(a);
  EXPECT_EQ(GlPixels(100, 60).NonWhite(), 0);
  ASSERT_EQ(GLPolyLine(host_, line, 4, 0, 1, 0, 0, 0), 1);
  EnablePixels(a);  // the same device context again: the line stays
  EXPECT_EQ(GlPixels(100, 60).At(50, 30), RGB(0, 0, 0));

  // Back to the other one, with a scissor box still set for a: the whole
  // window is cleared, and the scissoring stays on.
  ASSERT_EQ(GLPolyLine(host_, line, 4, 0, 1, 0, 0, 0), 1);
  ASSERT_EQ(GLSetXForm(host_, 1, 10, 20, 50, 10, 10, 20, 50, 10), 1);
  ASSERT_EQ(GLEnable(host_, b.dc(), 0, 100, 60, 0), 1);
  EXPECT_EQ(GlPixels(100, 60).NonWhite(), 0);
  EXPECT_EQ(glIsEnabled(GL_SCISSOR_TEST), GL_TRUE);
  // The rendering context made by the first GLEnable serves every device
  // context after it.
  EXPECT_EQ(contexts, 0);
  EXPECT_THAT(Messages(), IsEmpty());
}

// A device context the rendering context cannot be made current with must
// not cost the current window its picture, nor pass for success.
TEST_F(GlTest, EnableWithUnusableDcKeepsTheCurrentWindow) {
  GlWindow a(100, 60);
  FreshPixels(a);
  const float line[] = {0, 30, 100, 30};
  ASSERT_EQ(GLPolyLine(host_, line, 4, 0, 1, 0, 0, 0), 1);
  EXPECT_EQ(GLEnable(host_, nullptr, 0, 100, 60, 0), 0);
  EXPECT_THAT(Messages(), ElementsAre("invalid operation"));
  EXPECT_EQ(wglGetCurrentDC(), a.dc());
  // Still the device context of record: enabling it again does not clear.
  ASSERT_EQ(GLEnable(host_, a.dc(), 0, 100, 60, 0), 1);
  EXPECT_EQ(GlPixels(100, 60).At(50, 30), RGB(0, 0, 0));
}

TEST_F(GlTest, SetXFormLoadsTransformWithPixelCentreOffset) {
  GlWindow w(640, 480);
  ASSERT_EQ(GLEnable(host_, w.dc(), 0, 640, 480, 0), 1);
  struct Case {
    int dl, dr, dt, db;
    double ml, mr, mt, mb;
    double xScale, yScale, xOffset, yOffset;
  } cases[] = {
      {0, 640, 480, 0, 0, 10, 100, 0, 64, 4.8, 0, 0},
      {40, 600, 440, 40, -10, 10, 100, -100, 28, 2, 320, 240},
      // Model x running right to left.
      {0, 640, 480, 0, 10, 0, 1, 0, -64, 480, 640, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.xOffset);
    // The projection stays as GLEnable left it.
    glMatrixMode(GL_PROJECTION);
    ASSERT_EQ(GLSetXForm(host_, 0, c.dl, c.dr, c.dt, c.db, c.ml, c.mr, c.mt, c.mb), 1);
    EXPECT_EQ(GetInts(GL_MATRIX_MODE, 1)[0], GL_MODELVIEW);
    std::vector<double> m = GetDoubles(GL_MODELVIEW_MATRIX, 16);
    EXPECT_FLOAT_EQ(m[0], c.xScale);
    EXPECT_FLOAT_EQ(m[5], c.yScale);
    EXPECT_FLOAT_EQ(m[10], 1);
    EXPECT_FLOAT_EQ(m[12], c.xOffset + 0.375);
    EXPECT_FLOAT_EQ(m[13], c.yOffset + 0.375);
    EXPECT_FLOAT_EQ(m[14], 0);
    EXPECT_EQ(glIsEnabled(GL_SCISSOR_TEST), GL_FALSE);
  }
  std::vector<double> p = GetDoubles(GL_PROJECTION_MATRIX, 16);
  EXPECT_FLOAT_EQ(p[0], 2.0 / 640);
  EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(GlTest, ClipScissorsThePlotRectangleWithBothEdges) {
  GlWindow w(40, 50);
  ASSERT_EQ(GLEnable(host_, w.dc(), 0, 40, 50, 0), 1);
  ASSERT_EQ(GLSetXForm(host_, 1, 10, 20, 35, 5, 10, 20, 35, 5), 1);
  EXPECT_EQ(glIsEnabled(GL_SCISSOR_TEST), GL_TRUE);
  EXPECT_EQ(GetInts(GL_SCISSOR_BOX, 4), (std::vector<int>{10, 5, 11, 31}));

  // A line across the whole window shows only inside the box.
  const float across[] = {-100, 20, 100, 20};
  ASSERT_EQ(GLPolyLine(host_, across, 4, 0, 1, 0, 0, 0), 1);
  GlPixels p(40, 50);
  GlPixels::Box box = p.NonWhiteBox();
  EXPECT_EQ(box.left, 10);
  EXPECT_EQ(box.right, 20);
  EXPECT_EQ(box.bottom, 20);
  EXPECT_EQ(box.top, 20);

  ASSERT_EQ(GLSetXForm(host_, 0, 10, 20, 35, 5, 10, 20, 35, 5), 1);
  EXPECT_EQ(glIsEnabled(GL_SCISSOR_TEST), GL_FALSE);
  // The widest rectangle: in 32 bits its size would wrap to 0 and hide all.
  ASSERT_EQ(GLSetXForm(host_, 1, INT32_MIN, INT32_MAX, INT32_MAX, INT32_MIN, 0, 1, 1, 0), 1);
  EXPECT_EQ(GetInts(GL_SCISSOR_BOX, 4),
            (std::vector<int>{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}));
  EXPECT_FLOAT_EQ(GetDoubles(GL_MODELVIEW_MATRIX, 16)[0], 4294967295.0);
  // An inverted rectangle gives a negative scissor size, which GL refuses.
  EXPECT_EQ(GLSetXForm(host_, 1, 20, 10, 35, 5, 10, 20, 35, 5), 0);
  EXPECT_THAT(Messages(), ElementsAre("invalid value"));
}

TEST_F(GlTest, PolyLineDrawsOneStripOfCountOverTwoVertices) {
  GlWindow w(120, 100);
  // (10,20) -> (100,20) -> (100,80); a fourth vertex goes back left.
  const float strip[] = {10, 20, 100, 20, 100, 80, 10, 80};
  struct Case {
    unsigned count;
    bool horizontal, vertical, back;
  } cases[] = {
      {0, false, false, false}, {1, false, false, false}, {3, false, false, false},
      {4, true, false, false},  {5, true, false, false},  {6, true, true, false},
      {8, true, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.count);
    FreshPixels(w);
    EXPECT_EQ(GLPolyLine(host_, strip, c.count, 0, 1, 1, 0, 0), 1);
    GlPixels p(120, 100);
    const COLORREF red = RGB(255, 0, 0);
    EXPECT_EQ(p.At(50, 20) == red, c.horizontal);
    EXPECT_EQ(p.At(100, 50) == red, c.vertical);
    EXPECT_EQ(p.At(50, 80) == red, c.back);
    if (!c.horizontal) {
      EXPECT_EQ(p.NonWhite(), 0);
    }
    if (c.count == 4) {
      // One pixel wide, from the first vertex's pixel up to the second's.
      EXPECT_EQ(p.NonWhite(), 90);
      GlPixels::Box box = p.NonWhiteBox();
      EXPECT_EQ(box.left, 10);
      EXPECT_EQ(box.right, 99);
      EXPECT_EQ(box.bottom, 20);
      EXPECT_EQ(box.top, 20);
    }
  }
  // Width and colour: a 3-pixel green line.
  FreshPixels(w);
  ASSERT_EQ(GLPolyLine(host_, strip, 4, 0, 3, 0, 1, 0), 1);
  GlPixels p(120, 100);
  for (int y = 19; y <= 21; ++y) EXPECT_EQ(p.At(50, y), RGB(0, 255, 0)) << y;
  EXPECT_TRUE(p.IsWhite(50, 18));
  EXPECT_TRUE(p.IsWhite(50, 22));
  p.SavePpm("gl_polyline.ppm");
  EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(GlTest, PolyLineReportsGlErrorsAndRefusesNullPoints) {
  GlWindow w(40, 40);
  FreshPixels(w);
  // Vertices through a null pointer are not read; with none to read there
  // is nothing wrong.
  EXPECT_EQ(GLPolyLine(host_, nullptr, 4, 0, 1, 0, 0, 0), 0);
  EXPECT_EQ(GLPolyLine(host_, nullptr, 1, 0, 1, 0, 0, 0), 1);
  EXPECT_THAT(Messages(), ElementsAre("invalid value"));
  EXPECT_EQ(GlPixels(40, 40).NonWhite(), 0);
  // A width GL refuses: GL still draws the strip, with the width it had.
  const float line[] = {0, 20, 40, 20};
  EXPECT_EQ(GLPolyLine(host_, line, 4, 0, -1, 0, 0, 0), 0);
  EXPECT_THAT(Messages(), ElementsAre("invalid value", "invalid value"));
}

TEST_F(GlTest, NewFontReturnsListBaseAndKeepsThePreviousFont) {
  GlWindow w(100, 100);
  EnablePixels(w);
  HFONT mine = CreateFontA(-10, 0, 0, 0, 700, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
  HGDIOBJ original = SelectObject(w.dc(), mine);
  struct Asked {
    int height, escapement, weight;
    DWORD quality;
    std::string face;
  };
  std::vector<Asked> asked;
  VORDA_HOOK(create, "gdi32.dll", CreateFontA,
             [&](int h, int wd, int esc, int orient, int weight, DWORD it, DWORD ul, DWORD so,
                 DWORD cs, DWORD op, DWORD cp, DWORD q, DWORD pf, LPCSTR face) {
               asked.push_back({h, esc, weight, q, face});
               return create.Original()(h, wd, esc, orient, weight, it, ul, so, cs, op, cp, q,
                                        pf, face);
             });
  auto quirk = WineFontQuirk();
  Ledger ledger;
  int base = GLNewFont("Liberation Sans", 16, 12345);
  EXPECT_NE(base, 0);
  EXPECT_EQ(GetCurrentObject(w.dc(), OBJ_FONT), mine);
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].height, -16);
  EXPECT_EQ(asked[0].escapement, 200);
  EXPECT_EQ(asked[0].weight, 400);
  EXPECT_EQ(asked[0].quality, DWORD{PROOF_QUALITY});
  EXPECT_EQ(asked[0].face, "Liberation Sans");
  // The font is gone; the lists stay for as long as the context.
  char kept[64];
  std::snprintf(kept, sizeof kept, "glGenLists 0x%x\n", base);
  EXPECT_EQ(ledger.Leaks(), kept);
  for (int n : {0, int{'A'}, 255}) EXPECT_EQ(glIsList(base + n), GL_TRUE) << n;

  SelectObject(w.dc(), original);
  DeleteObject(mine);
}

// Every failure returns 0, gives back the 256 display lists and the font,
// and leaves the previous font selected.
TEST_F(GlTest, NewFontFailuresFreeEverything) {
  GlWindow w(40, 40);
  EnablePixels(w);
  HGDIOBJ before = GetCurrentObject(w.dc(), OBJ_FONT);
  enum Fail { kNoFace, kNoLists, kNoFont, kNotSelected, kNoBitmaps, kErrorPending };
  for (Fail f : {kNoFace, kNoLists, kNoFont, kNotSelected, kNoBitmaps, kErrorPending}) {
    SCOPED_TRACE(f);
    Ledger ledger;
    VORDA_HOOK(gen, "opengl32.dll", glGenLists,
               [&](GLsizei n) { return f == kNoLists ? 0u : gen.Original()(n); });
    VORDA_HOOK(create, "gdi32.dll", CreateFontA,
               [&](int h, int wd, int esc, int orient, int weight, DWORD it, DWORD ul, DWORD so,
                   DWORD cs, DWORD op, DWORD cp, DWORD q, DWORD pf, LPCSTR face) -> HFONT {
                 if (f == kNoFont) return nullptr;
                 return create.Original()(h, wd, esc, orient, weight, it, ul, so, cs, op, cp, q,
                                          pf, face);
               });
    VORDA_HOOK(select, "gdi32.dll", SelectObject, [&](HDC dc, HGDIOBJ o) -> HGDIOBJ {
      if (f == kNotSelected) return nullptr;
      return select.Original()(dc, o);
    });
    VORDA_HOOK(bitmaps, "opengl32.dll", wglUseFontBitmapsA,
               [&](HDC dc, DWORD first, DWORD n, DWORD base) -> BOOL {
                 if (f == kNoBitmaps) return FALSE;
                 BOOL ok = bitmaps.Original()(dc, first, n, base);
                 glGetError();  // whatever Wine left: the error below is ours
                 if (f == kErrorPending) glLineWidth(-1.0f);
                 return ok;
               });
    EXPECT_EQ(GLNewFont(f == kNoFace ? nullptr : "Arial", 16, 0), 0);
    EXPECT_EQ(ledger.Leaks(), "");
    EXPECT_EQ(GetCurrentObject(w.dc(), OBJ_FONT), before);
    EXPECT_EQ(glGetError(), GLenum{GL_NO_ERROR});
  }
}

// Shows the Wine quirk for what it is: the spurious error makes GLNewFont
// fail there, and the failure still gives back its lists.
TEST_F(GlTest, NewFontUnderTheSpuriousWineError) {
  GlWindow w(40, 40);
  EnablePixels(w);
  Ledger ledger;
  GLenum left = GL_NO_ERROR;
  VORDA_HOOK(bitmaps, "opengl32.dll", wglUseFontBitmapsA,
             [&](HDC dc, DWORD first, DWORD n, DWORD base) -> BOOL {
               BOOL ok = bitmaps.Original()(dc, first, n, base);
               left = glGetError();
               if (left != GL_NO_ERROR) glLineWidth(-1.0f);  // leave an error pending again
               return ok;
             });
  int base = GLNewFont("Arial", 16, 0);
  std::printf("[ platform ] %s%s: wglUseFontBitmapsA left GL error 0x%x after success\n",
              WineVersion() ? "Wine " : "Windows", WineVersion() ? WineVersion() : "", left);
  if (left == GL_NO_ERROR) {
    EXPECT_NE(base, 0);
  } else {
    EXPECT_EQ(base, 0);
    EXPECT_EQ(ledger.Leaks(), "");
  }
}

TEST_F(GlTest, TextStartsAtModelPointFiftyFifty) {
  GlWindow w(240, 200);
  FreshPixels(w);
  int base;
  {
    auto quirk = WineFontQuirk();
    base = GLNewFont("Liberation Sans", 20, 0);
  }
  ASSERT_NE(base, 0);
  GLuint listBase = 0;
  std::vector<int> called;
  VORDA_HOOK(lb, "opengl32.dll", glListBase, [&](GLuint b) {
    listBase = b;
    lb.Original()(b);
  });
  VORDA_HOOK(calls, "opengl32.dll", glCallLists, [&](GLsizei n, GLenum type, const void* lists) {
    EXPECT_EQ(type, GLenum{GL_UNSIGNED_BYTE});
    for (int i = 0; i < n; ++i) called.push_back(static_cast<const unsigned char*>(lists)[i]);
    calls.Original()(n, type, lists);
  });

  EXPECT_EQ(GLText(base, "H\xC9", 0, 0, 1), 1);
  EXPECT_EQ(listBase, static_cast<GLuint>(base));
  EXPECT_EQ(called, (std::vector<int>{'H', 0xC9}));
  GlPixels one(240, 200);
  one.SavePpm("gl_text.ppm");
  GlPixels::Box at = one.NonWhiteBox();
  // The glyphs start near the raster position; the 20-degree escapement
  // leans the H's top a few pixels left of it.
  EXPECT_GE(at.left, 43);
  EXPECT_LE(at.left, 53);
  EXPECT_GE(at.bottom, 46);
  EXPECT_LE(at.bottom, 53);

  // Half the scale: model (50, 50) is now pixel (100, 100); the same glyphs
  // move by exactly (50, 50).
  GlWindow v(240, 200);
  FreshPixels(v);
  ASSERT_EQ(GLEnable(host_, v.dc(), 0, 240, 200, 0), 1);
  ASSERT_EQ(GLSetXForm(host_, 0, 0, 240, 200, 0, 0, 120, 100, 0), 1);
  EXPECT_EQ(GLText(base, "H\xC9", 0, 0, 1), 1);
  GlPixels two(240, 200);
  GlPixels::Box moved = two.NonWhiteBox();
  EXPECT_EQ(moved.left, at.left + 50);
  EXPECT_EQ(moved.bottom, at.bottom + 50);
  EXPECT_EQ(two.NonWhite(), one.NonWhite());
  int blue = 0;
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 240; ++x) blue += two.At(x, y) == RGB(0, 0, 255);
  EXPECT_GT(blue, 20);

  // Refusals draw nothing.
  GlWindow u(60, 60);
  FreshPixels(u);
  called.clear();
  EXPECT_EQ(GLText(0, "H", 0, 0, 0), 0);
  EXPECT_EQ(GLText(base, nullptr, 0, 0, 0), 0);
  EXPECT_THAT(called, IsEmpty());
  EXPECT_EQ(GlPixels(60, 60).NonWhite(), 0);
  EXPECT_THAT(Messages(), IsEmpty());
}

}  // namespace
}  // namespace vorda_test

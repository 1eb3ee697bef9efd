// The fault sweep of the OpenGL exports: each scene rerun with every call
// vorda makes failing in turn (wgl, GL's error state, GLU's texts, GDI for
// the font). The rendering context, made by the first GLEnable of the
// process, is moved from window to window by each scene's preparation.
#include <GL/gl.h>
#include <GL/glu.h>

#include "gl_window.h"
#include "tarnapi.h"
#include "sweep_fixture.h"

namespace vorda_test {
namespace {

class FaultSweepGlTest : public FaultSweepTest {
 protected:
  static GlWindow& Main() {
    static GlWindow* w = new GlWindow(64, 48);
    return *w;
  }
  static GlWindow& Other() {
    static GlWindow* w = new GlWindow(16, 16);
    return *w;
  }
  // Errors a failed run left pending in GL would be reported by the next
  // call that asks: each run starts with none.
  static void Drain() {
    DrainGlErrors();
    tarn::host().ClearErrors();
  }
  // GL's texts for its error codes, or ours for a code GLU does not know.
  const std::vector<std::string> kGlMessages = {
      "out of memory", "invalid operation", "invalid value", "invalid enumerant",
      "unknown OpenGL error", "stack overflow", "stack underflow"};
};

TEST_F(FaultSweepGlTest, GLEnable) {
  Scene s;
  s.name = "GLEnable of a second window";
  s.prepare = [this] {
    // Each run moves the context over from another window.
    GLEnable(host_, Other().dc(), 0, 16, 16, 0);
    Drain();
    return std::vector<CallerArray>{};
  };
  s.call = [this] { return GLEnable(host_, Main().dc(), 0, 64, 48, 0); };
  s.messages = kGlMessages;
  s.reportedResults = {0};
  // A pixel format that cannot be read, chosen or set shows up when the
  // context is made or made current, which are swept.
  s.tolerated = {"GetPixelFormat", "ChoosePixelFormat", "SetPixelFormat"};
  Check(s);
}

TEST_F(FaultSweepGlTest, GLSetXFormAndGLPolyLine) {
  auto points = std::make_shared<std::vector<float>>(std::vector<float>{0, 0, 5, 5, 10, 0, 3, 7});
  auto stage = [this] {
    GLEnable(host_, Main().dc(), 0, 64, 48, 0);
    GLSetXForm(host_, 1, 2, 62, 46, 2, 0, 10, 10, 0);
    Drain();
  };
  {
    Scene s;
    s.name = "GLSetXForm with scissoring";
    s.prepare = [stage] {
      stage();
      return std::vector<CallerArray>{};
    };
    s.call = [this] { return GLSetXForm(host_, 1, 4, 60, 44, 4, 0, 10, 10, 0); };
    s.messages = kGlMessages;
    s.reportedResults = {0};
    Check(s);
  }
  {
    Scene s;
    s.name = "GLPolyLine of four vertices";
    s.prepare = [stage, points] {
      stage();
      return std::vector<CallerArray>{{points->data(), points->size() * sizeof(float)}};
    };
    s.call = [this, points] {
      return GLPolyLine(host_, points->data(), static_cast<unsigned>(points->size()), 0, 2.0, 1,
                        0, 0);
    };
    s.messages = kGlMessages;
    s.reportedResults = {0};
    Check(s);
  }
}

TEST_F(FaultSweepGlTest, GLNewFontAndGLText) {
  {
    Scene s;
    s.name = "GLNewFont";
    auto base = std::make_shared<int>(0);
    auto quirk = std::make_shared<std::unique_ptr<AnyHook>>();
    s.prepare = [this, quirk] {
      GLEnable(host_, Main().dc(), 0, 64, 48, 0);
      Drain();
      *quirk = WineFontQuirk();
      return std::vector<CallerArray>{};
    };
    s.call = [base] {
      *base = GLNewFont("Arial", 14, 0);
      return *base;
    };
    s.succeeded = [](int r) { return r != 0; };
    // The lists of a font handed out are the host's.
    s.finish = [base](Ledger& ledger, int) {
      if (*base) ledger.Remove(reinterpret_cast<const void*>(static_cast<uintptr_t>(*base)));
    };
    // The font's lists are built by then; the font is deleted either way.
    s.tolerated = {"SelectObject"};
    s.cleanUp = [base, quirk] {
      if (*base) glDeleteLists(static_cast<GLuint>(*base), 256);
      quirk->reset();
    };
    s.reportsNothing = true;
    Check(s);
  }
  {
    Scene s;
    s.name = "GLText";
    auto base = std::make_shared<int>(0);
    auto text = std::make_shared<std::string>("Sweep");
    s.prepare = [this, base, text] {
      GLEnable(host_, Main().dc(), 0, 64, 48, 0);
      Drain();
      {
        auto quirk = WineFontQuirk();
        *base = GLNewFont("Arial", 14, 0);
      }
      Drain();
      return std::vector<CallerArray>{{text->c_str(), text->size() + 1}};
    };
    s.call = [base, text] { return GLText(*base, text->c_str(), 0, 0, 1); };
    s.cleanUp = [base] {
      if (*base) glDeleteLists(static_cast<GLuint>(*base), 256);
    };
    s.reportsNothing = true;
    Check(s);
  }
}

}  // namespace
}  // namespace vorda_test

namespace vorda_test {
namespace {

// Found by sweeping GLU's texts: when a refusal's own text cannot be had
// the host still gets a message, never a null pointer.
TEST_F(FaultSweepGlTest, RefusalsWithoutGluTextStillCarryAMessage) {
  VORDA_HOOK(noText, "glu32.dll", gluErrorString, [](GLenum) -> const GLubyte* { return nullptr; });
  std::vector<const char*> passed;
  VORDA_HOOK(seen, "tarnapi.dll", tarnObjectError, [&](HostObject h, const char* m) {
    passed.push_back(m);
    return seen.Original()(h, m);
  });
  EXPECT_EQ(GLEnable(host_, nullptr, 0, 10, 10, 0), 0);
  GLEnable(host_, Main().dc(), 0, 64, 48, 0);
  Drain();
  passed.clear();
  EXPECT_EQ(GLPolyLine(host_, nullptr, 4, 0, 1, 0, 0, 0), 0);
  for (const char* m : passed) EXPECT_NE(m, nullptr);
  EXPECT_THAT(Messages(), ::testing::ElementsAre("unknown OpenGL error"));
}

}  // namespace
}  // namespace vorda_test

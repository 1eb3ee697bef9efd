// Bad input for every export, as a host's scripts may pass it: null
// pointers in each pointer argument, empty and very long strings, keywords
// in the wrong case or with a trailing blank, sizes 0, 1, odd, not a whole
// record and near 2^32 where the size alone must be refused, coordinates
// that are not a number, infinite, ±1e300 or the missing-sample marker,
// device rectangles inverted, empty and beyond 16383, negative marker
// sizes, and a device context that was deleted. Each call: no crash, a
// success without a word or one message from the export's vocabulary with
// its result, nothing left behind, the caller's arrays unchanged.
#include <GL/gl.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>
#include <memory>

#include "gl_window.h"
#include "host_test.h"
#include "ledger.h"
#include "surface.h"
#include "trace_scene.h"

namespace vorda_test {
namespace {

using ::testing::IsEmpty;

constexpr int kErrorResult = 7;
const double kNan = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();
const double kBadDoubles[] = {kNan, kInf, -kInf, 1e300, -1e300, VORDA_MISSING_SAMPLE, 0.0, -0.0};
const unsigned kBadSizes[] = {0, 1, 3, 5, 7, 10, 17, 0x7FFFFFFFu, 0x80000001u, 0xFFFFFFFEu,
                              0xFFFFFFFFu};

// The beginnings of every message vorda has.
const char* const kVocabulary[] = {
    "In MS", "In _CDraw", "Draw failed.", "Error in ", "Font orientation", "Font weight",
    "Unable to create font", "Your monitor", "This Message channel", "CreateCompatibleDC failed",
    "CreateCompatibleBitmap failed", "SelectObject failed", "BitBlt failed",
    "GetCurrentObject failed", "invalid ", "out of memory", "stack ", "unknown OpenGL error"};

std::string currentCase;
LONG WINAPI NameTheCrash(EXCEPTION_POINTERS* info) {
  std::fprintf(stderr, "\nbad input: crash 0x%08lx in %s\n", info->ExceptionRecord->ExceptionCode,
               currentCase.c_str());
  return EXCEPTION_CONTINUE_SEARCH;
}

int totalInputs = 0;

class BadInputTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    SetUnhandledExceptionFilter(NameTheCrash);
    tarn::host().SetErrorResult(kErrorResult);
    surface_ = std::make_unique<DibSurface>(64, 48);
    pen_ = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    font_ = CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
    // The process-wide background brush, made before anything is counted.
    Restore();
  }
  void TearDown() override {
    Restore();
    DeleteObject(pen_);
    DeleteObject(font_);
    tarn::host().SetErrorResult(0);
    std::printf("bad input: %s: %d inputs\n",
                ::testing::UnitTest::GetInstance()->current_test_info()->name(), inputs_);
    totalInputs += inputs_;
  }

  // A good current device context and transform again, which also gives
  // back a region a failure kept.
  void Restore() {
    MSEnable(host_, surface_->dc());
    MSSetXForm(host_, 0, "", "", 0, 64, 0, 48, 0, 64, 0, 48);
  }

  // Runs one bad call. `handed` gives back what a success handed the host.
  void Try(const std::string& name, const std::function<int()>& call, bool reportsNothing = false,
           std::vector<std::pair<const void*, size_t>> arrays = {},
           const std::function<void(Ledger&)>& handed = nullptr) {
    currentCase = name;
    ++inputs_;
    tarn::host().ClearErrors();
    std::vector<std::vector<char>> before;
    for (auto& [p, n] : arrays)
      before.emplace_back(static_cast<const char*>(p), static_cast<const char*>(p) + n);
    std::string leaks;
    int result;
    {
      Ledger ledger;
      result = call();
      if (handed) handed(ledger);
      Restore();
      leaks = ledger.Leaks();
    }
    std::vector<std::string> messages = Messages();
    EXPECT_EQ(leaks, "") << name;
    for (size_t i = 0; i < arrays.size(); ++i)
      EXPECT_EQ(std::memcmp(arrays[i].first, before[i].data(), arrays[i].second), 0)
          << name << ": the caller's array was written";
    // MSText measures through MSGetTextExtents, which reports on its own;
    // when the host's error call answers non-zero the text goes on and may
    // report its own refusal too.
    EXPECT_LE(messages.size(), name.rfind("MSText", 0) == 0 ? 2u : 1u)
        << name << ": " << ::testing::PrintToString(messages);
    for (const std::string& m : messages) {
      bool known = false;
      for (const char* v : kVocabulary) known = known || m.rfind(v, 0) == 0;
      EXPECT_TRUE(known) << name << ": \"" << m << "\"";
    }
    if (!messages.empty()) {
      EXPECT_TRUE(result == kErrorResult || result == 0 || result == 1)
          << name << " returned " << result << " after its report";
    } else if (result != 1) {
      EXPECT_TRUE(reportsNothing && result == 0) << name << " failed without a word: " << result;
    }
  }

  // Setting up inside a call: what it reports is not the call's.
  static void Quiet(int) { tarn::host().ClearErrors(); }

  // Keywords as users mistype them.
  static std::vector<std::string> Mistyped(const std::string& keyword) {
    std::string lower = keyword;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return {lower, keyword + " ", " " + keyword, keyword.substr(0, keyword.size() - 1), ""};
  }
  static const std::string& Long() {
    static const std::string text(100000, 'W');
    return text;
  }

  std::unique_ptr<DibSurface> surface_;
  HPEN pen_ = nullptr;
  HFONT font_ = nullptr;
  int inputs_ = 0;
};

TEST_F(BadInputTest, TransformAndClip) {
  const char* types[] = {"LOG10", "log10", "LOG10 ", "", nullptr};
  for (const char* x : types)
    for (const char* y : types)
      for (int clip : {0, 1})
        Try(std::string("MSSetXForm axes ") + (x ? x : "null") + "/" + (y ? y : "null"),
            [&] { return MSSetXForm(host_, clip, x, y, 0, 64, 0, 48, 1, 100, 100, 1); });
  struct Rect {
    int l, r, t, b;
  } rects[] = {{60, 4, 44, 4}, {10, 10, 10, 10}, {0, 20000, 0, 20000}, {-5, INT_MAX, INT_MIN, 5},
               {INT_MIN, INT_MAX, INT_MAX, INT_MIN}};
  for (const Rect& r : rects)
    for (double m : kBadDoubles)
      for (const char* axis : {"", "LOG10"})
        Try("MSSetXForm rect/model " + std::to_string(m),
            [&] { return MSSetXForm(host_, 1, axis, axis, r.l, r.r, r.t, r.b, m, 1, 1, m); });
  Try("MSEnable null", [&] { return MSEnable(host_, nullptr); });
  Try("MSDisable on null", [&] { return MSDisable(host_); });
}

TEST_F(BadInputTest, PensAndPolylines) {
  std::vector<std::string> styles = {"SOLID", "DASHDOTDOT"};
  for (const std::string& s : Mistyped("SOLID")) styles.push_back(s);
  styles.push_back(Long());
  for (const std::string& style : styles)
    for (double c : kBadDoubles)
      for (int width : {-1, 0, INT_MAX, INT_MIN}) {
        HPEN pen = nullptr;
        Try("MSNewPen '" + style.substr(0, 12) + "'",
            [&] { return MSNewPen(host_, &pen, style.c_str(), width, c, c, c); }, false, {},
            [&](Ledger& ledger) {
              if (pen) ledger.Remove(pen), DeleteObject(pen);
            });
      }
  Try("MSNewPen null style", [&] {
    HPEN p = nullptr;
    return MSNewPen(host_, &p, nullptr, 1, 0, 0, 0);
  });
  Try("MSNewPen null variable", [&] { return MSNewPen(host_, nullptr, "SOLID", 1, 0, 0, 0); });

  std::vector<double> data = {1, 1, 10, 10, kNan, 5, 20, kInf, 1e300, -1e300,
                              VORDA_MISSING_SAMPLE, 3, 40, 40, -kInf, 2, 0, 0, 5};
  std::vector<std::string> types = {"LINE_STRIP", "LINES"};
  for (const std::string& t : Mistyped("LINE_STRIP")) types.push_back(t);
  for (const std::string& t : Mistyped("LINES")) types.push_back(t);
  for (const char* axes : {"", "LOG10"}) {
    MSSetXForm(host_, 1, axes, axes, 0, 64, 0, 48, 1, 64, 48, 1);
    for (const std::string& type : types)
      for (unsigned n = 0; n <= data.size(); ++n)
        Try("MSPolyLine " + type + " of " + std::to_string(n) + (*axes ? " on log axes" : ""),
            [&] {
              Quiet(MSSetXForm(host_, 1, axes, axes, 0, 64, 0, 48, 1, 64, 48, 1));
              return MSPolyLine(host_, &pen_, type.c_str(), data.data(), n);
            },
            false, {{data.data(), data.size() * sizeof(double)}});
    // Sizes the rule refuses before anything is read, near 2^32 included.
    for (unsigned n : {0xFFFFFFFFu, 0xFFFFFFFDu, 0x80000001u, 3u})
      Try("MSPolyLine LINE_STRIP odd size " + std::to_string(n), [&] {
        Quiet(MSSetXForm(host_, 0, "", "", 0, 64, 0, 48, 1, 64, 48, 1));
        return MSPolyLine(host_, &pen_, "LINE_STRIP", data.data(), n);
      });
    for (unsigned n : {0xFFFFFFFEu, 0xFFFFFFFAu, 0x80000002u, 6u})
      Try("MSPolyLine LINES size " + std::to_string(n), [&] {
        Quiet(MSSetXForm(host_, 0, "", "", 0, 64, 0, 48, 1, 64, 48, 1));
        return MSPolyLine(host_, &pen_, "LINES", data.data(), n);
      });
  }
  for (unsigned n : kBadSizes) {
    Try("MSPolyLine null data " + std::to_string(n),
        [&] { return MSPolyLine(host_, &pen_, "LINE_STRIP", nullptr, n); });
    Try("MSPolyLine null data, log, " + std::to_string(n), [&] {
      Quiet(MSSetXForm(host_, 0, "LOG10", "LOG10", 0, 64, 0, 48, 1, 64, 48, 1));
      return MSPolyLine(host_, &pen_, "LINES", nullptr, n);
    });
  }
  HPEN none = nullptr;
  Try("MSPolyLine null pen variable", [&] { return MSPolyLine(host_, nullptr, "LINES", data.data(), 4); });
  Try("MSPolyLine null pen", [&] { return MSPolyLine(host_, &none, "LINES", data.data(), 4); });
  Try("MSPolyLine null type", [&] { return MSPolyLine(host_, &pen_, nullptr, data.data(), 4); });
}

TEST_F(BadInputTest, FontsAndText) {
  std::vector<std::string> orientations = {"HORIZONTAL", "+VERTICAL", "-VERTICAL", "UPSIDEDOWN"};
  for (const std::string& o : Mistyped("HORIZONTAL")) orientations.push_back(o);
  for (const std::string& o : Mistyped("+VERTICAL")) orientations.push_back(o);
  std::vector<std::string> aligns = {"CENTER", "RIGHT", "BOTTOM", "LEFT"};
  for (const std::string& a : Mistyped("CENTER")) aligns.push_back(a);
  for (const std::string& o : orientations) {
    for (const std::string& w : {std::string("NORMAL"), std::string("normal"), std::string("HEAVY "), Long()})
      for (int points : {0, -10, INT_MIN, INT_MAX, 1000000}) {
        HFONT font = nullptr;
        Try("MSNewFont " + o.substr(0, 12) + "/" + w.substr(0, 12) + " " + std::to_string(points),
            [&] {
              return MSNewFont(host_, &font, Long().c_str(), points, o.c_str(), w.c_str(), -1, 2,
                               INT_MIN);
            },
            false, {},
            [&](Ledger& ledger) {
              if (font) ledger.Remove(font), DeleteObject(font);
            });
      }
    int width = -5, height = -5;
    for (const std::string* text : std::vector<const std::string*>{&Long(), &aligns[0]})
      Try("MSGetTextExtents " + o.substr(0, 12),
          [&] { return MSGetTextExtents(host_, &font_, text->c_str(), o.c_str(), &width, &height); });
    for (const std::string& h : aligns)
      for (const std::string& v : aligns)
        for (double at : {kNan, 1e300, -kInf, 10.0})
          for (int clip : {0, 1})
            Try("MSText " + o.substr(0, 12) + " " + h + "/" + v, [&] {
              Quiet(MSSetXForm(host_, clip, "LOG10", "", 0, 64, 0, 48, 1, 64, 48, 0));
              return MSText(host_, &font_, "Text", at, at, o.c_str(), h.c_str(), v.c_str(), at,
                            at, at);
            });
  }
  HFONT f = nullptr;
  int w = 0, h = 0;
  Try("MSNewFont null out", [&] { return MSNewFont(host_, nullptr, "Arial", 10, "HORIZONTAL", "NORMAL", 0, 0, 0); });
  Try("MSNewFont null face", [&] { return MSNewFont(host_, &f, nullptr, 10, "HORIZONTAL", "NORMAL", 0, 0, 0); },
      false, {}, [&](Ledger& ledger) { if (f) ledger.Remove(f), DeleteObject(f); });
  Try("MSNewFont null keywords", [&] { return MSNewFont(host_, &f, "Arial", 10, nullptr, nullptr, 0, 0, 0); });
  Try("MSGetTextExtents null font", [&] { return MSGetTextExtents(host_, nullptr, "x", "HORIZONTAL", &w, &h); });
  Try("MSGetTextExtents null text", [&] { return MSGetTextExtents(host_, &font_, nullptr, "HORIZONTAL", &w, &h); });
  Try("MSGetTextExtents null outs", [&] { return MSGetTextExtents(host_, &font_, "x", "HORIZONTAL", nullptr, nullptr); });
  Try("MSGetTextExtents empty", [&] { return MSGetTextExtents(host_, &font_, "", "HORIZONTAL", &w, &h); });
  Try("MSText null font", [&] { return MSText(host_, nullptr, "x", 1, 1, "HORIZONTAL", "LEFT", "TOP", 0, 0, 0); });
  Try("MSText null text", [&] { return MSText(host_, &font_, nullptr, 1, 1, "HORIZONTAL", "LEFT", "TOP", 0, 0, 0); });
  Try("MSText null keywords", [&] { return MSText(host_, &font_, "x", 1, 1, nullptr, nullptr, nullptr, 0, 0, 0); });
  Try("MSText empty", [&] { return MSText(host_, &font_, "", 1, 1, "HORIZONTAL", "CENTER", "CENTER", 0, 0, 0); });
  Try("MSText long", [&] { return MSText(host_, &font_, Long().c_str(), 1, 1, "HORIZONTAL", "RIGHT", "BOTTOM", 0, 0, 0); });
}

TEST_F(BadInputTest, MarkersAndCrossHairs) {
  std::vector<double> data;
  for (double d : kBadDoubles) data.push_back(d);
  for (double d : {1.0, 2.0, 0.5, 3.0, 10.0, 20.0, 1.0, 2.0, 30.0, 30.0}) data.push_back(d);
  for (const char* axes : {"", "LOG10"}) {
    for (unsigned n = 0; n <= data.size(); ++n) {
      for (int size : {-7, 0, 1, INT_MIN, INT_MAX})
        Try("MSPolyPoints " + std::to_string(n) + " size " + std::to_string(size), [&] {
          Quiet(MSSetXForm(host_, 1, axes, axes, 0, 64, 0, 48, 1, 64, 48, 1));
          return MSPolyPoints(host_, data.data(), n, size, kNan, 2, -1);
        }, false, {{data.data(), data.size() * sizeof(double)}});
      Try("MSPolyPointsEx " + std::to_string(n), [&] {
        Quiet(MSSetXForm(host_, 1, axes, axes, 0, 64, 0, 48, 1, 64, 48, 1));
        return MSPolyPointsEx(host_, data.data(), n);
      }, false, {{data.data(), data.size() * sizeof(double)}});
    }
  }
  for (unsigned n : kBadSizes) {
    if (n == 0) continue;
    Try("MSPolyPoints null " + std::to_string(n), [&] { return MSPolyPoints(host_, nullptr, n, 3, 0, 0, 0); });
    Try("MSPolyPointsEx null " + std::to_string(n), [&] { return MSPolyPointsEx(host_, nullptr, n); });
  }

  std::vector<double> points = {kNan, 10, kInf, 10, 20, -1e300, 20, VORDA_MISSING_SAMPLE};
  std::vector<int> slots(8, -1);
  for (int count : {8, 0, 7, 9, -1, INT_MIN, INT_MAX})
    for (unsigned slotInts : {8u, 0u, 4u, 3u, 5u, 0xFFFFFFFFu, 0xFFFFFFFCu})
      for (bool nullSlots : {false, true}) {
        // A slot count past the real array would be the host's own lie;
        // those sizes are tried with no array, where they must be refused.
        if (!nullSlots && slotInts > 8) continue;
        int* s = nullSlots ? nullptr : slots.data();
        Try("MSCrossHair " + std::to_string(count) + "/" + std::to_string(slotInts),
            [&] { return MSCrossHair(host_, points.data(), count, s, slotInts); }, false,
            {{points.data(), points.size() * sizeof(double)}});
        Try("MSEraseCrossHairs " + std::to_string(slotInts),
            [&] { return MSEraseCrossHairs(host_, s, slotInts); });
      }
  Try("MSCrossHair null points", [&] { return MSCrossHair(host_, nullptr, 8, slots.data(), 8); });
}

TEST_F(BadInputTest, SurfacesAndPictures) {
  for (double wi : kBadDoubles)
    for (double hi : {1.0, -1.0, kNan, 1e300})
      for (int px : {0, -1, 20, INT_MAX, INT_MIN}) {
        int wp = px, hp = px;
        HDC made = nullptr;
        Try("MSCreateBitmapDC " + std::to_string(wi) + "x" + std::to_string(hi) + " or " +
                std::to_string(px),
            [&] {
              made = MSCreateBitmapDC(host_, &wi, &hi, &wp, &hp);
              return made ? 1 : 0;
            },
            false, {},
            [&](Ledger& ledger) {
              if (!made) return;
              HGDIOBJ bitmap = GetCurrentObject(made, OBJ_BITMAP);
              ledger.Remove(made), ledger.Remove(bitmap);
              DeleteDC(made), DeleteObject(bitmap);
            });
      }
  HDC made = nullptr;
  auto giveBack = [&](Ledger& ledger) {
    if (!made) return;
    HGDIOBJ bitmap = GetCurrentObject(made, OBJ_BITMAP);
    ledger.Remove(made), ledger.Remove(bitmap);
    DeleteDC(made), DeleteObject(bitmap);
  };
  int wp = 10, hp = 10;
  Try("MSCreateBitmapDC all null", [&] { made = MSCreateBitmapDC(host_, nullptr, nullptr, nullptr, nullptr); return made ? 1 : 0; }, false, {}, giveBack);
  Try("MSCreateBitmapDC pixels only", [&] { made = MSCreateBitmapDC(host_, nullptr, nullptr, &wp, &hp); return made ? 1 : 0; }, false, {}, giveBack);

  // Saving: null and deleted device contexts, a DC without a bitmap, bad names.
  HDC gone = CreateCompatibleDC(nullptr);
  DeleteDC(gone);
  Try("MSSaveBitmapFile null dc", [&] { return MSSaveBitmapFile(host_, nullptr, "x.bmp"); }, true);
  Try("MSSaveBitmapFile deleted dc", [&] { return MSSaveBitmapFile(host_, gone, "x.bmp"); }, true);
  for (const std::string& name : {std::string(""), Long(), std::string("no/such/dir/x.bmp")}) {
    int w2 = 4, h2 = 3;
    HDC dc = MSCreateBitmapDC(host_, nullptr, nullptr, &w2, &h2);
    HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
    Try("MSSaveBitmapFile name of " + std::to_string(name.size()),
        [&] { return MSSaveBitmapFile(host_, dc, name.c_str()); });
    if (GetObjectType(dc)) DeleteDC(dc), DeleteObject(bitmap);
  }
  {
    int w2 = 4, h2 = 3;
    HDC dc = MSCreateBitmapDC(host_, nullptr, nullptr, &w2, &h2);
    HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
    Try("MSSaveBitmapFile null name", [&] { return MSSaveBitmapFile(host_, dc, nullptr); });
    if (GetObjectType(dc)) DeleteDC(dc), DeleteObject(bitmap);
  }

  for (const std::string* name : {&Long()}) {
    double w = kNan, h = kInf;
    Try("MSCreateMetaFileDC long name", [&] {
      HDC dc = MSCreateMetaFileDC(host_, name->c_str(), &w, &h);
      if (dc) DeleteEnhMetaFile(CloseEnhMetaFile(dc));
      return 1;
    }, true, {}, [](Ledger& ledger) { ledger.Keep("CreateEnhMetaFileA"); });
  }
  Try("MSCreateMetaFileDC null sizes", [&] {
    HDC dc = MSCreateMetaFileDC(host_, nullptr, nullptr, nullptr);
    if (dc) DeleteEnhMetaFile(CloseEnhMetaFile(dc));
    return 1;
  }, true, {}, [](Ledger& ledger) { ledger.Keep("CreateEnhMetaFileA"); });
  Try("MSSaveMetaFile null", [&] { return MSSaveMetaFile(host_, nullptr); }, true);
  Try("MSSaveMetaFile deleted", [&] { return MSSaveMetaFile(host_, gone); }, true);
  Try("MSSaveMetaFile a bitmap dc", [&] { return MSSaveMetaFile(host_, surface_->dc()); }, true);

  for (const std::string& name : {std::string(""), Long(), std::string("no-such-picture.bmp")})
    Try("MSLoadPictureFile name of " + std::to_string(name.size()),
        [&] { return MSLoadPictureFile(host_, name.c_str()); });
  Try("MSLoadPictureFile null", [&] { return MSLoadPictureFile(host_, nullptr); });
  std::string junk(64, '\x42');
  junk[0] = 'B', junk[1] = 'M';
  for (unsigned n : {0u, 1u, 2u, 13u, 54u, 63u, 64u})
    Try("MSLoadPicture junk of " + std::to_string(n),
        [&] { return MSLoadPicture(host_, junk.data(), n); }, false, {{junk.data(), junk.size()}});
  for (unsigned n : kBadSizes)
    Try("MSLoadPicture null of " + std::to_string(n), [&] { return MSLoadPicture(host_, nullptr, n); });
}

// Every drawing export on a device context the host has deleted.
TEST_F(BadInputTest, DeletedDeviceContext) {
  HDC gone = CreateCompatibleDC(nullptr);
  DeleteDC(gone);
  const double line[] = {1, 1, 10, 10, 20, 5, 30, 30};
  const double record[] = {2, 8, 2, 8, 1, 1, 0, 0, 1};
  const double cross[] = {0, 10, 60, 10, 20, 0, 20, 40};
  std::vector<int> slots(8, -1);
  std::string bmp(58, '\0');
  for (int clip : {0, 1}) {
    auto onGone = [&] {
      MSEnable(host_, gone);
      Quiet(MSSetXForm(host_, clip, "", "", 0, 64, 0, 48, 0, 64, 0, 48));
    };
    Try("MSSetXForm on a deleted dc", [&] { MSEnable(host_, gone); return MSSetXForm(host_, clip, "", "", 0, 64, 0, 48, 0, 64, 0, 48); });
    Try("MSDisable", [&] { onGone(); return MSDisable(host_); });
    Try("MSPolyLine strip", [&] { onGone(); return MSPolyLine(host_, &pen_, "LINE_STRIP", line, 8); });
    Try("MSPolyLine lines", [&] { onGone(); return MSPolyLine(host_, &pen_, "LINES", line, 8); });
    HFONT f = nullptr;
    Try("MSNewFont", [&] { onGone(); return MSNewFont(host_, &f, "Arial", 10, "HORIZONTAL", "NORMAL", 0, 0, 0); },
        false, {}, [&](Ledger& ledger) { if (f) ledger.Remove(f), DeleteObject(f); });
    int w = 0, h = 0;
    Try("MSGetTextExtents", [&] { onGone(); return MSGetTextExtents(host_, &font_, "x", "HORIZONTAL", &w, &h); });
    Try("MSText", [&] { onGone(); return MSText(host_, &font_, "x", 1, 1, "HORIZONTAL", "CENTER", "CENTER", 0, 0, 0); });
    Try("MSPolyPoints", [&] { onGone(); return MSPolyPoints(host_, line, 8, 5, 0, 0, 0); });
    Try("MSPolyPointsEx", [&] { onGone(); return MSPolyPointsEx(host_, record, 9); });
    Try("MSCrossHair", [&] { onGone(); return MSCrossHair(host_, cross, 8, slots.data(), 8); });
    slots[0] = 1, slots[1] = 1, slots[2] = 5, slots[3] = 5;
    Try("MSEraseCrossHairs", [&] { onGone(); return MSEraseCrossHairs(host_, slots.data(), 8); });
    Try("MSLoadPicture", [&] { onGone(); return MSLoadPicture(host_, bmp.data(), 58); });
  }
}

TEST_F(BadInputTest, TraceDrivers) {
  std::vector<tarn::Burst> bursts = {{0, 0, 99}, {0, 200, 199}, {0, INT_MAX - 5, INT_MAX}};
  tarn::Handle good = ScanChannel(3, 0.5, bursts);
  tarn::Handle nanInc = ScanChannel(3, kNan, {{0, 0, 9}});
  tarn::Handle oneDim = ScanChannel(1, 1, {{0, 0, 9}});
  tarn::Handle bare = tarn::host().NewObject("channel");
  tarn::Handle unknown = 999999;
  DrawRecorder draw;
  const tarn::Handle channels[] = {good, nanInc, oneDim, bare, unknown, 0};
  const tarn::Handle draws[] = {draw.object(), bare, 0};
  for (tarn::Handle c : channels)
    for (tarn::Handle d : draws)
      for (int dim : {INT_MIN, -1, 0, 1, 2, 3, INT_MAX}) {
        Try("_CDrawYTTrace " + std::to_string(c) + " dim " + std::to_string(dim),
            [&] { return _CDrawYTTrace(host_, d, c, dim); }, true);
        Try("_CDrawYTBars " + std::to_string(c) + " dim " + std::to_string(dim),
            [&] { return _CDrawYTBars(host_, d, c, dim); }, true);
        Try("_CDrawXYTrace " + std::to_string(c) + " dim " + std::to_string(dim),
            [&] { return _CDrawXYTrace(host_, d, c, good, dim, 1); }, true);
      }
}

TEST_F(BadInputTest, OpenGl) {
  static GlWindow* window = new GlWindow(64, 48);
  HDC gone = CreateCompatibleDC(nullptr);
  DeleteDC(gone);
  const unsigned edges[] = {0, 16383, 20000, 0x80000000u, 0xFFFFFFFFu};
  for (unsigned a : edges)
    for (unsigned b : edges)
      Try("GLEnable " + std::to_string(a) + "/" + std::to_string(b),
          [&] { return GLEnable(host_, window->dc(), a, b, b, a); });
  Try("GLEnable deleted", [&] { return GLEnable(host_, gone, 0, 10, 10, 0); });
  Try("GLEnable null", [&] { return GLEnable(host_, nullptr, 0, 10, 10, 0); });
  GLEnable(host_, window->dc(), 0, 64, 48, 0);
  for (int e : {0, -1, 20000, INT_MIN, INT_MAX})
    for (double m : kBadDoubles)
      Try("GLSetXForm " + std::to_string(e) + " " + std::to_string(m),
          [&] { return GLSetXForm(host_, 1, e, 64, 48, e, m, 1, m, 0); });
  GLSetXForm(host_, 0, 0, 64, 48, 0, 0, 64, 48, 0);
  std::vector<float> points = {0, 0, NAN, 5, INFINITY, 1e30f, 3, 7, 9};
  for (unsigned n : {0u, 1u, 2u, 3u, 9u})
    for (double width : {kNan, -1.0, 1e300, 0.0})
      Try("GLPolyLine " + std::to_string(n), [&] {
        return GLPolyLine(host_, points.data(), n, 0, width, width, kInf, -1);
      }, false, {{points.data(), points.size() * sizeof(float)}});
  for (unsigned n : kBadSizes)
    if (n) Try("GLPolyLine null " + std::to_string(n), [&] { return GLPolyLine(host_, nullptr, n, 0, 1, 0, 0, 0); });
  for (int height : {0, -1, INT_MIN, INT_MAX})
    for (const std::string* face : {&Long()}) {
      Try("GLNewFont " + std::to_string(height), [&] {
        int base = GLNewFont(face->c_str(), height, 0);
        if (base) glDeleteLists(static_cast<GLuint>(base), 256);
        for (int i = 0; i < 8 && glGetError() != GL_NO_ERROR; ++i) {
        }
        return 1;
      }, true, {}, [](Ledger& ledger) { ledger.Keep("glGenLists"); });
    }
  Try("GLNewFont null", [&] { return GLNewFont(nullptr, 10, 0); }, true);
  for (int base : {0, -1, INT_MIN, 1 << 30})
    for (const char* text : {static_cast<const char*>(nullptr), "", "text"})
      Try("GLText " + std::to_string(base), [&] {
        GLText(base, text, kNan, kInf, -1);
        for (int i = 0; i < 8 && glGetError() != GL_NO_ERROR; ++i) {
        }
        return 1;
      }, true);
  Try("GLDisable", [] { return GLDisable(); });
}

class PrintTotal : public ::testing::Environment {
 public:
  void TearDown() override { std::printf("bad input: %d inputs tried over every export\n", totalInputs); }
};
const auto* const kTotal = ::testing::AddGlobalTestEnvironment(new PrintTotal);

}  // namespace
}  // namespace vorda_test

// Bad input for every export, as a host's scripts may pass it: null
// pointers in each pointer argument, empty and very long strings, keywords
// in the wrong case or with a trailing blank, sizes 0, 1, odd, not a whole
// record and near 2^32 where the size alone must be refused, coordinates
// that are not a number, infinite, ±1e300 or the missing-sample marker,
// device rectangles inverted, empty and beyond 16383, negative marker
// sizes, and a device context that was deleted. Each call: no crash,
// exactly the result and the messages the export gives for that input,
// nothing left behind, the caller's arrays unchanged.
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

constexpr int kErrorResult = 7;
const double kNan = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();
const double kBadDoubles[] = {kNan, kInf, -kInf, 1e300, -1e300, VORDA_MISSING_SAMPLE, 0.0, -0.0};
const unsigned kBadSizes[] = {0, 1, 3, 5, 7, 10, 17, 0x7FFFFFFFu, 0x80000001u, 0xFFFFFFFEu,
                              0xFFFFFFFFu};

// What one call gives: its result and its messages, in order.
struct Outcome {
  int result;
  std::vector<std::string> messages;
};
// Success without a word.
const Outcome kDone{1, {}};
// A refusal that returns the host's answer to its report.
Outcome Refused(std::string message) { return {kErrorResult, {std::move(message)}}; }
// A refusal of an export that returns 0 after its report, whatever the answer.
Outcome Failed(std::string message) { return {0, {std::move(message)}}; }

// What MSCreateBitmapDC gives for a bitmap of this size: the surface, or the
// platform's own error code for the bitmap it cannot make.
Outcome BitmapOutcome(int width, int height) {
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  const DWORD code = GetLastError();
  ReleaseDC(nullptr, screen);
  if (bitmap) DeleteObject(bitmap);
  return bitmap ? kDone : Failed("CreateCompatibleBitmap failed error code " + std::to_string(code) + "\n");
}

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
  void Try(const std::string& name, const std::function<int()>& call, const Outcome& expected,
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
    EXPECT_EQ(leaks, "") << name;
    for (size_t i = 0; i < arrays.size(); ++i)
      EXPECT_EQ(std::memcmp(arrays[i].first, before[i].data(), arrays[i].second), 0)
          << name << ": the caller's array was written";
    EXPECT_EQ(result, expected.result) << name;
    EXPECT_EQ(Messages(), expected.messages) << name;
  }

  // Gives back a pen or font that a success handed the host.
  template <typename Handle>
  static std::function<void(Ledger&)> Handed(Handle& handle) {
    return [&handle](Ledger& ledger) {
      if (handle) ledger.Remove(handle), DeleteObject(handle);
    };
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
  // Only "LOG10" itself makes an axis logarithmic; every model value here is positive.
  const char* types[] = {"LOG10", "log10", "LOG10 ", "", nullptr};
  for (const char* x : types)
    for (const char* y : types)
      for (int clip : {0, 1})
        Try(std::string("MSSetXForm axes ") + (x ? x : "null") + "/" + (y ? y : "null"),
            [&] { return MSSetXForm(host_, clip, x, y, 0, 64, 0, 48, 1, 100, 100, 1); }, kDone);
  // Any device rectangle clips, inverted and empty ones too. A logarithmic
  // axis refuses a model end of 0 or below (not a NaN, which is no number
  // below 0), and the x axis is tried first.
  struct Rect {
    int l, r, t, b;
  } rects[] = {{60, 4, 44, 4}, {10, 10, 10, 10}, {0, 20000, 0, 20000}, {-5, INT_MAX, INT_MIN, 5},
               {INT_MIN, INT_MAX, INT_MAX, INT_MIN}};
  for (const Rect& r : rects)
    for (double m : kBadDoubles)
      for (const char* axis : {"", "LOG10"})
        Try("MSSetXForm rect/model " + std::to_string(m),
            [&] { return MSSetXForm(host_, 1, axis, axis, r.l, r.r, r.t, r.b, m, 1, 1, m); },
            *axis && m <= 0
                ? Refused("In MSSetXForm. ModelLeft and ModelRight must be positive for log scale.")
                : kDone);
  Try("MSEnable null", [&] { return MSEnable(host_, nullptr); }, kDone);
  Try("MSDisable on null", [&] { return MSDisable(host_); }, kDone);
}

TEST_F(BadInputTest, PensAndPolylines) {
  std::vector<std::string> styles = {"SOLID", "DASHDOTDOT"};
  for (const std::string& s : Mistyped("SOLID")) styles.push_back(s);
  styles.push_back(Long());
  // GDI makes a pen of any width and colour value.
  for (const std::string& style : styles)
    for (double c : kBadDoubles)
      for (int width : {-1, 0, INT_MAX, INT_MIN}) {
        HPEN pen = nullptr;
        Try("MSNewPen '" + style.substr(0, 12) + "'",
            [&] { return MSNewPen(host_, &pen, style.c_str(), width, c, c, c); },
            style == "SOLID" || style == "DASHDOTDOT" ? kDone
                                                      : Refused("In MSPolyLine. Pen style not recognized."),
            {}, Handed(pen));
      }
  Try("MSNewPen null style", [&] {
    HPEN p = nullptr;
    return MSNewPen(host_, &p, nullptr, 1, 0, 0, 0);
  }, Refused("In MSPolyLine. Pen style not recognized."));
  // Nowhere to hand the pen to: none is made.
  Try("MSNewPen null variable", [&] { return MSNewPen(host_, nullptr, "SOLID", 1, 0, 0, 0); },
      Refused("In MSPolyLine. CreatePen failed."));

  // Every point is drawn clamped (or, in a strip, left out); only the type
  // and then the size can be refused.
  auto polyLine = [](const std::string& type, unsigned n) {
    if (type == "LINE_STRIP") return n < 4 || n % 2 ? Refused("In MSPolyLine. Invalid size.") : kDone;
    if (type == "LINES") return n < 4 || n % 4 ? Refused("In MSPolyLine. Invalid size.") : kDone;
    return Refused("In MSPolyLine. Type not recognized.");
  };
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
            polyLine(type, n), {{data.data(), data.size() * sizeof(double)}});
    // Sizes the rule refuses before anything is read, near 2^32 included.
    for (unsigned n : {0xFFFFFFFFu, 0xFFFFFFFDu, 0x80000001u, 3u})
      Try("MSPolyLine LINE_STRIP odd size " + std::to_string(n), [&] {
        Quiet(MSSetXForm(host_, 0, "", "", 0, 64, 0, 48, 1, 64, 48, 1));
        return MSPolyLine(host_, &pen_, "LINE_STRIP", data.data(), n);
      }, Refused("In MSPolyLine. Invalid size."));
    for (unsigned n : {0xFFFFFFFEu, 0xFFFFFFFAu, 0x80000002u, 6u})
      Try("MSPolyLine LINES size " + std::to_string(n), [&] {
        Quiet(MSSetXForm(host_, 0, "", "", 0, 64, 0, 48, 1, 64, 48, 1));
        return MSPolyLine(host_, &pen_, "LINES", data.data(), n);
      }, Refused("In MSPolyLine. Invalid size."));
  }
  // No array: on linear axes refused as a size; on logarithmic ones there
  // is nothing to copy, unless there is nothing to read.
  for (unsigned n : kBadSizes) {
    Try("MSPolyLine null data " + std::to_string(n),
        [&] { return MSPolyLine(host_, &pen_, "LINE_STRIP", nullptr, n); },
        Refused("In MSPolyLine. Invalid size."));
    Try("MSPolyLine null data, log, " + std::to_string(n), [&] {
      Quiet(MSSetXForm(host_, 0, "LOG10", "LOG10", 0, 64, 0, 48, 1, 64, 48, 1));
      return MSPolyLine(host_, &pen_, "LINES", nullptr, n);
    }, Refused(n ? "In MSPolyLine. malloc or memcpy failed." : "In MSPolyLine. Invalid size."));
  }
  HPEN none = nullptr;
  Try("MSPolyLine null pen variable", [&] { return MSPolyLine(host_, nullptr, "LINES", data.data(), 4); },
      Refused("In MSPolyLine. SelectObject failed."));
  Try("MSPolyLine null pen", [&] { return MSPolyLine(host_, &none, "LINES", data.data(), 4); },
      Refused("In MSPolyLine. SelectObject failed."));
  Try("MSPolyLine null type", [&] { return MSPolyLine(host_, &pen_, nullptr, data.data(), 4); },
      Refused("In MSPolyLine. Type not recognized."));
}

TEST_F(BadInputTest, FontsAndText) {
  const std::vector<std::string> known = {"HORIZONTAL", "+VERTICAL", "-VERTICAL", "UPSIDEDOWN"};
  std::vector<std::string> orientations = known;
  for (const std::string& o : Mistyped("HORIZONTAL")) orientations.push_back(o);
  for (const std::string& o : Mistyped("+VERTICAL")) orientations.push_back(o);
  std::vector<std::string> aligns = {"CENTER", "RIGHT", "BOTTOM", "LEFT"};
  for (const std::string& a : Mistyped("CENTER")) aligns.push_back(a);
  for (const std::string& o : orientations) {
    const bool orientationKnown = std::find(known.begin(), known.end(), o) != known.end();
    // The orientation is looked up before the weight; any size and a face
    // name of any length make a font.
    for (const std::string& w : {std::string("NORMAL"), std::string("normal"), std::string("HEAVY "), Long()})
      for (int points : {0, -10, INT_MIN, INT_MAX, 1000000}) {
        HFONT font = nullptr;
        Try("MSNewFont " + o.substr(0, 12) + "/" + w.substr(0, 12) + " " + std::to_string(points),
            [&] {
              return MSNewFont(host_, &font, Long().c_str(), points, o.c_str(), w.c_str(), -1, 2,
                               INT_MIN);
            },
            !orientationKnown ? Refused("Font orientation not recognized.")
            : w != "NORMAL"   ? Refused("Font weight not recognized.")
                              : kDone,
            {}, Handed(font));
      }
    int width = -5, height = -5;
    for (const std::string* text : std::vector<const std::string*>{&Long(), &aligns[0]})
      Try("MSGetTextExtents " + o.substr(0, 12),
          [&] { return MSGetTextExtents(host_, &font_, text->c_str(), o.c_str(), &width, &height); },
          orientationKnown ? kDone : Refused("In MSGetTextExtent. Font orientation not recognized."));
    // Any horizontal alignment will do; the vertical one must be "CENTER" or
    // "BOTTOM". The anchor, the colour and the clipping never refuse.
    for (const std::string& h : aligns)
      for (const std::string& v : aligns)
        for (double at : {kNan, 1e300, -kInf, 10.0})
          for (int clip : {0, 1})
            Try("MSText " + o.substr(0, 12) + " " + h + "/" + v, [&] {
              Quiet(MSSetXForm(host_, clip, "LOG10", "", 0, 64, 0, 48, 1, 64, 48, 0));
              return MSText(host_, &font_, "Text", at, at, o.c_str(), h.c_str(), v.c_str(), at,
                            at, at);
            },
            // MSText measures through MSGetTextExtents, which reports what
            // it does not know on its own; the host's non-zero answer lets
            // the text go on to refuse the keyword too.
            !orientationKnown
                ? Outcome{kErrorResult, {"In MSGetTextExtent. Font orientation not recognized.",
                               "In MSText. Orientation and/or alignment not recognized."}}
            : v == "CENTER" || v == "BOTTOM"
                ? kDone
                : Refused("In MSText. Orientation and/or alignment not recognized."));
  }
  HFONT f = nullptr;
  int w = 0, h = 0;
  Try("MSNewFont null out", [&] { return MSNewFont(host_, nullptr, "Arial", 10, "HORIZONTAL", "NORMAL", 0, 0, 0); },
      Refused("Unable to create font, CreateFont failed."));
  Try("MSNewFont null face", [&] { return MSNewFont(host_, &f, nullptr, 10, "HORIZONTAL", "NORMAL", 0, 0, 0); },
      kDone, {}, Handed(f));
  Try("MSNewFont null keywords", [&] { return MSNewFont(host_, &f, "Arial", 10, nullptr, nullptr, 0, 0, 0); },
      Refused("Font orientation not recognized."));
  Try("MSGetTextExtents null font", [&] { return MSGetTextExtents(host_, nullptr, "x", "HORIZONTAL", &w, &h); },
      Refused("In MSGetTextExtent. SelectObject failed."));
  Try("MSGetTextExtents null text", [&] { return MSGetTextExtents(host_, &font_, nullptr, "HORIZONTAL", &w, &h); },
      Refused("In MSGetTextExtent. GetTextExtentPoint32 failed."));
  Try("MSGetTextExtents null outs", [&] { return MSGetTextExtents(host_, &font_, "x", "HORIZONTAL", nullptr, nullptr); },
      Refused("In MSGetTextExtent. GetTextExtentPoint32 failed."));
  Try("MSGetTextExtents empty", [&] { return MSGetTextExtents(host_, &font_, "", "HORIZONTAL", &w, &h); }, kDone);
  Try("MSText null font", [&] { return MSText(host_, nullptr, "x", 1, 1, "HORIZONTAL", "LEFT", "TOP", 0, 0, 0); },
      Refused("In MSText. SelectObject failed."));
  Try("MSText null text", [&] { return MSText(host_, &font_, nullptr, 1, 1, "HORIZONTAL", "LEFT", "TOP", 0, 0, 0); },
      Outcome{kErrorResult, {"In MSGetTextExtent. GetTextExtentPoint32 failed.",
                             "In MSText. Orientation and/or alignment not recognized."}});
  Try("MSText null keywords", [&] { return MSText(host_, &font_, "x", 1, 1, nullptr, nullptr, nullptr, 0, 0, 0); },
      Outcome{kErrorResult, {"In MSGetTextExtent. Font orientation not recognized.",
                             "In MSText. Orientation and/or alignment not recognized."}});
  Try("MSText empty", [&] { return MSText(host_, &font_, "", 1, 1, "HORIZONTAL", "CENTER", "CENTER", 0, 0, 0); }, kDone);
  Try("MSText long", [&] { return MSText(host_, &font_, Long().c_str(), 1, 1, "HORIZONTAL", "RIGHT", "BOTTOM", 0, 0, 0); },
      kDone);
}

TEST_F(BadInputTest, MarkersAndCrossHairs) {
  // Markers of any size, colour and position are drawn clamped; only whole
  // points and records are read.
  std::vector<double> data;
  for (double d : kBadDoubles) data.push_back(d);
  for (double d : {1.0, 2.0, 0.5, 3.0, 10.0, 20.0, 1.0, 2.0, 30.0, 30.0}) data.push_back(d);
  for (const char* axes : {"", "LOG10"}) {
    for (unsigned n = 0; n <= data.size(); ++n) {
      for (int size : {-7, 0, 1, INT_MIN, INT_MAX})
        Try("MSPolyPoints " + std::to_string(n) + " size " + std::to_string(size), [&] {
          Quiet(MSSetXForm(host_, 1, axes, axes, 0, 64, 0, 48, 1, 64, 48, 1));
          return MSPolyPoints(host_, data.data(), n, size, kNan, 2, -1);
        }, kDone, {{data.data(), data.size() * sizeof(double)}});
      Try("MSPolyPointsEx " + std::to_string(n), [&] {
        Quiet(MSSetXForm(host_, 1, axes, axes, 0, 64, 0, 48, 1, 64, 48, 1));
        return MSPolyPointsEx(host_, data.data(), n);
      }, kDone, {{data.data(), data.size() * sizeof(double)}});
    }
  }
  for (unsigned n : kBadSizes) {
    if (n == 0) continue;
    Try("MSPolyPoints null " + std::to_string(n), [&] { return MSPolyPoints(host_, nullptr, n, 3, 0, 0, 0); },
        Refused("In MSCrossHair. malloc or memcpy failed."));
    Try("MSPolyPointsEx null " + std::to_string(n), [&] { return MSPolyPointsEx(host_, nullptr, n); },
        Refused("In MSCrossHair. malloc or memcpy failed."));
  }

  // Eight doubles and whole slots of four ints, with an array wherever
  // there are slots; the points themselves are drawn clamped.
  std::vector<double> points = {kNan, 10, kInf, 10, 20, -1e300, 20, VORDA_MISSING_SAMPLE};
  std::vector<int> slots(8, -1);
  for (int count : {8, 0, 7, 9, -1, INT_MIN, INT_MAX})
    for (unsigned slotInts : {8u, 0u, 4u, 3u, 5u, 0xFFFFFFFFu, 0xFFFFFFFCu})
      for (bool nullSlots : {false, true}) {
        // A slot count past the real array would be the host's own lie;
        // those sizes are tried with no array, where they must be refused.
        if (!nullSlots && slotInts > 8) continue;
        int* s = nullSlots ? nullptr : slots.data();
        const bool slotsFit = slotInts % 4 == 0 && (slotInts == 0 || s);
        Try("MSCrossHair " + std::to_string(count) + "/" + std::to_string(slotInts),
            [&] { return MSCrossHair(host_, points.data(), count, s, slotInts); },
            count == 8 && slotsFit ? kDone : Refused("In MSCrossHair. Invalid size."),
            {{points.data(), points.size() * sizeof(double)}});
        Try("MSEraseCrossHairs " + std::to_string(slotInts),
            [&] { return MSEraseCrossHairs(host_, s, slotInts); },
            slotsFit ? kDone : Refused("In MSEraseCrossHairs. Invalid size."));
      }
  Try("MSCrossHair null points", [&] { return MSCrossHair(host_, nullptr, 8, slots.data(), 8); },
      Refused("In MSCrossHair. Invalid size."));
}

TEST_F(BadInputTest, SurfacesAndPictures) {
  // Inch sizes count when both are non-zero (the pixel variables then get
  // the size); otherwise the pixel sizes do. Every non-zero inch width here
  // is not a number or lies beyond the 32-bit range of pixels, which makes
  // the most negative int. The platform decides which sizes it can make.
  const int dpi = GetDeviceCaps(surface_->dc(), LOGPIXELSY);
  HDC made = nullptr;
  auto giveBack = [&](Ledger& ledger) {
    if (!made) return;
    HGDIOBJ bitmap = GetCurrentObject(made, OBJ_BITMAP);
    ledger.Remove(made), ledger.Remove(bitmap);
    DeleteDC(made), DeleteObject(bitmap);
  };
  for (double wi : kBadDoubles)
    for (auto [hi, heightPixels] : {std::pair{1.0, dpi}, {-1.0, -dpi}, {kNan, INT_MIN}, {1e300, INT_MIN}})
      for (int px : {0, -1, 20, INT_MAX, INT_MIN}) {
        int wp = px, hp = px;
        Try("MSCreateBitmapDC " + std::to_string(wi) + "x" + std::to_string(hi) + " or " +
                std::to_string(px),
            [&] {
              made = MSCreateBitmapDC(host_, &wi, &hi, &wp, &hp);
              return made ? 1 : 0;
            },
            wi != 0 ? BitmapOutcome(INT_MIN, heightPixels) : BitmapOutcome(px, px), {}, giveBack);
      }
  int wp = 10, hp = 10;
  // No size at all is refused as an invalid parameter.
  Try("MSCreateBitmapDC all null", [&] { made = MSCreateBitmapDC(host_, nullptr, nullptr, nullptr, nullptr); return made ? 1 : 0; },
      Failed("CreateCompatibleBitmap failed error code 87\n"), {}, giveBack);
  Try("MSCreateBitmapDC pixels only", [&] { made = MSCreateBitmapDC(host_, nullptr, nullptr, &wp, &hp); return made ? 1 : 0; },
      kDone, {}, giveBack);

  // Saving: null and deleted device contexts hold no bitmap, and the
  // message carries the platform's error code for looking one up.
  HDC gone = CreateCompatibleDC(nullptr);
  DeleteDC(gone);
  auto noBitmap = [](HDC dc) {
    SetLastError(0);
    GetCurrentObject(dc, OBJ_BITMAP);
    return Refused("GetCurrentObject failed error code " + std::to_string(GetLastError()) + "\n");
  };
  Try("MSSaveBitmapFile null dc", [&] { return MSSaveBitmapFile(host_, nullptr, "x.bmp"); }, noBitmap(nullptr));
  Try("MSSaveBitmapFile deleted dc", [&] { return MSSaveBitmapFile(host_, gone, "x.bmp"); }, noBitmap(gone));
  // A file that cannot be made (no name, or not there to make) fails the
  // writer's step 164; the host's non-zero answer waives it, and the
  // surface is destroyed as after a save.
  const Outcome noFile{1, {"Error in CreateBMPFile line 164\n"}};
  for (const std::string& name : {std::string(""), Long(), std::string("no/such/dir/x.bmp")}) {
    int w2 = 4, h2 = 3;
    HDC dc = MSCreateBitmapDC(host_, nullptr, nullptr, &w2, &h2);
    HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
    Try("MSSaveBitmapFile name of " + std::to_string(name.size()),
        [&] { return MSSaveBitmapFile(host_, dc, name.c_str()); }, noFile);
    if (GetObjectType(dc)) DeleteDC(dc), DeleteObject(bitmap);
  }
  {
    int w2 = 4, h2 = 3;
    HDC dc = MSCreateBitmapDC(host_, nullptr, nullptr, &w2, &h2);
    HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
    Try("MSSaveBitmapFile null name", [&] { return MSSaveBitmapFile(host_, dc, nullptr); }, noFile);
    if (GetObjectType(dc)) DeleteDC(dc), DeleteObject(bitmap);
  }

  // The metafile operations report nothing; saving what is no recording gives 0.
  for (const std::string* name : {&Long()}) {
    double w = kNan, h = kInf;
    Try("MSCreateMetaFileDC long name", [&] {
      HDC dc = MSCreateMetaFileDC(host_, name->c_str(), &w, &h);
      if (dc) DeleteEnhMetaFile(CloseEnhMetaFile(dc));
      return 1;
    }, kDone, {}, [](Ledger& ledger) { ledger.Keep("CreateEnhMetaFileA"); });
  }
  Try("MSCreateMetaFileDC null sizes", [&] {
    HDC dc = MSCreateMetaFileDC(host_, nullptr, nullptr, nullptr);
    if (dc) DeleteEnhMetaFile(CloseEnhMetaFile(dc));
    return 1;
  }, kDone, {}, [](Ledger& ledger) { ledger.Keep("CreateEnhMetaFileA"); });
  const Outcome notSaved{0, {}};
  Try("MSSaveMetaFile null", [&] { return MSSaveMetaFile(host_, nullptr); }, notSaved);
  Try("MSSaveMetaFile deleted", [&] { return MSSaveMetaFile(host_, gone); }, notSaved);
  Try("MSSaveMetaFile a bitmap dc", [&] { return MSSaveMetaFile(host_, surface_->dc()); }, notSaved);

  // A file that cannot be opened is refused at step 674; bytes that are no
  // picture are not a picture channel, and no bytes at all cannot be locked.
  for (const std::string& name : {std::string(""), Long(), std::string("no-such-picture.bmp")})
    Try("MSLoadPictureFile name of " + std::to_string(name.size()),
        [&] { return MSLoadPictureFile(host_, name.c_str()); },
        Refused("Error in LoadPictureFile line 674\n"));
  Try("MSLoadPictureFile null", [&] { return MSLoadPictureFile(host_, nullptr); },
      Refused("Error in LoadPictureFile line 674\n"));
  std::string junk(64, '\x42');
  junk[0] = 'B', junk[1] = 'M';
  for (unsigned n : {0u, 1u, 2u, 13u, 54u, 63u, 64u})
    Try("MSLoadPicture junk of " + std::to_string(n),
        [&] { return MSLoadPicture(host_, junk.data(), n); },
        Refused(n ? "This Message channel is not a valid picture channel.\n" : "Error in MSLoadPicture line 759\n"),
        {{junk.data(), junk.size()}});
  for (unsigned n : kBadSizes)
    Try("MSLoadPicture null of " + std::to_string(n), [&] { return MSLoadPicture(host_, nullptr, n); },
        Refused("This Message channel is not a valid picture channel.\n"));
}

// Every drawing export on a device context the host has deleted: each
// refuses at its first step that needs the device context, and those that
// need none succeed.
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
    Try("MSSetXForm on a deleted dc", [&] { MSEnable(host_, gone); return MSSetXForm(host_, clip, "", "", 0, 64, 0, 48, 0, 64, 0, 48); },
        Refused("In MSSetXForm. SelectClipRgn failed."));
    Try("MSDisable", [&] { onGone(); return MSDisable(host_); }, kDone);
    Try("MSPolyLine strip", [&] { onGone(); return MSPolyLine(host_, &pen_, "LINE_STRIP", line, 8); },
        Refused("In MSPolyLine. SelectObject failed."));
    Try("MSPolyLine lines", [&] { onGone(); return MSPolyLine(host_, &pen_, "LINES", line, 8); },
        Refused("In MSPolyLine. SelectObject failed."));
    HFONT f = nullptr;
    Try("MSNewFont", [&] { onGone(); return MSNewFont(host_, &f, "Arial", 10, "HORIZONTAL", "NORMAL", 0, 0, 0); },
        kDone, {}, Handed(f));
    int w = 0, h = 0;
    Try("MSGetTextExtents", [&] { onGone(); return MSGetTextExtents(host_, &font_, "x", "HORIZONTAL", &w, &h); },
        Refused("In MSGetTextExtent. SelectObject failed."));
    Try("MSText", [&] { onGone(); return MSText(host_, &font_, "x", 1, 1, "HORIZONTAL", "CENTER", "CENTER", 0, 0, 0); },
        Refused("In MSText. SelectObject failed."));
    Try("MSPolyPoints", [&] { onGone(); return MSPolyPoints(host_, line, 8, 5, 0, 0, 0); },
        Refused("In MSPolyPoints. SelectObject failed."));
    Try("MSPolyPointsEx", [&] { onGone(); return MSPolyPointsEx(host_, record, 9); },
        Refused("In MSPolyPointsEx. SelectObject failed."));
    Try("MSCrossHair", [&] { onGone(); return MSCrossHair(host_, cross, 8, slots.data(), 8); },
        Refused("In MSCrossHair. InvertRect failed."));
    slots[0] = 1, slots[1] = 1, slots[2] = 5, slots[3] = 5;
    Try("MSEraseCrossHairs", [&] { onGone(); return MSEraseCrossHairs(host_, slots.data(), 8); },
        Refused("In MSEraseCrossHairs. InvertRect failed."));
    Try("MSLoadPicture", [&] { onGone(); return MSLoadPicture(host_, bmp.data(), 58); },
        Refused("This Message channel is not a valid picture channel.\n"));
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
  // In order: a channel without "NumDims" (or no channel), a record or an
  // index the sanity checks refuse, a drawing object without a "Draw"
  // routine (or no object). A NaN increment and an empty burst draw. The
  // good channel drawn against itself has one read position for both: its
  // Y read of the last burst, which ends the scan range, finds nothing left.
  auto driver = [&](const std::string& prefix, const std::string& noNumDims, tarn::Handle c,
                    tarn::Handle d, int dim, bool againstItself) {
    if (c == bare || c == unknown || c == 0) return Failed(prefix + noNumDims);
    if (c == oneDim || dim < 1 || dim > 2) return Failed(prefix + " Sanity checks failed.");
    if (d != draw.object()) return Failed("Draw failed.");
    return againstItself ? Failed(prefix + " tarnChannelGetDataDouble failed.") : kDone;
  };
  for (tarn::Handle c : channels)
    for (tarn::Handle d : draws)
      for (int dim : {INT_MIN, -1, 0, 1, 2, 3, INT_MAX}) {
        const Outcome timeSeries =
            driver("In _CDrawXTTrace.", " Failed to get NumDims or SampleInc.", c, d, dim, false);
        Try("_CDrawYTTrace " + std::to_string(c) + " dim " + std::to_string(dim),
            [&] { return _CDrawYTTrace(host_, d, c, dim); }, timeSeries);
        Try("_CDrawYTBars " + std::to_string(c) + " dim " + std::to_string(dim),
            [&] { return _CDrawYTBars(host_, d, c, dim); }, timeSeries);
        Try("_CDrawXYTrace " + std::to_string(c) + " dim " + std::to_string(dim),
            [&] { return _CDrawXYTrace(host_, d, c, good, dim, 1); },
            driver("In _CDrawXYTrace.", " Failed to get NumDims.", c, d, dim, c == good));
      }
}

TEST_F(BadInputTest, OpenGl) {
  static GlWindow* window = new GlWindow(64, 48);
  HDC gone = CreateCompatibleDC(nullptr);
  DeleteDC(gone);
  // GL refuses a viewport of negative size and a projection of no width:
  // both come of a right edge that is not past the left one, in 32 bits.
  const unsigned edges[] = {0, 16383, 20000, 0x80000000u, 0xFFFFFFFFu};
  for (unsigned a : edges)
    for (unsigned b : edges)
      Try("GLEnable " + std::to_string(a) + "/" + std::to_string(b),
          [&] { return GLEnable(host_, window->dc(), a, b, b, a); },
          static_cast<int32_t>(b - a) > 0 ? kDone : Failed("invalid value"));
  // No rendering context can be made current with these.
  Try("GLEnable deleted", [&] { return GLEnable(host_, gone, 0, 10, 10, 0); }, Failed("invalid operation"));
  Try("GLEnable null", [&] { return GLEnable(host_, nullptr, 0, 10, 10, 0); }, Failed("invalid operation"));
  GLEnable(host_, window->dc(), 0, 64, 48, 0);
  // A NaN or infinite transform is GL's to draw with; a scissor box of
  // negative size is refused.
  for (int e : {0, -1, 20000, INT_MIN, INT_MAX})
    for (double m : kBadDoubles)
      Try("GLSetXForm " + std::to_string(e) + " " + std::to_string(m),
          [&] { return GLSetXForm(host_, 1, e, 64, 48, e, m, 1, m, 0); },
          e == 20000 || e == INT_MAX ? Failed("invalid value") : kDone);
  GLSetXForm(host_, 0, 0, 64, 48, 0, 0, 64, 48, 0);
  // GL refuses a line width of 0 or below (a NaN is no number below 0).
  std::vector<float> points = {0, 0, NAN, 5, INFINITY, 1e30f, 3, 7, 9};
  for (unsigned n : {0u, 1u, 2u, 3u, 9u})
    for (double width : {kNan, -1.0, 1e300, 0.0})
      Try("GLPolyLine " + std::to_string(n), [&] {
        return GLPolyLine(host_, points.data(), n, 0, width, width, kInf, -1);
      }, width <= 0 ? Failed("invalid value") : kDone, {{points.data(), points.size() * sizeof(float)}});
  // No vertices: nothing is read, so nothing is missing.
  for (unsigned n : kBadSizes)
    if (n) Try("GLPolyLine null " + std::to_string(n), [&] { return GLPolyLine(host_, nullptr, n, 0, 1, 0, 0, 0); },
               n / 2 ? Failed("invalid value") : kDone);
  // The font and text operations report nothing.
  for (int height : {0, -1, INT_MIN, INT_MAX})
    for (const std::string* face : {&Long()}) {
      Try("GLNewFont " + std::to_string(height), [&] {
        int base = GLNewFont(face->c_str(), height, 0);
        if (base) glDeleteLists(static_cast<GLuint>(base), 256);
        DrainGlErrors();
        return 1;
      }, kDone, {}, [](Ledger& ledger) { ledger.Keep("glGenLists"); });
    }
  Try("GLNewFont null", [&] { return GLNewFont(nullptr, 10, 0); }, Outcome{0, {}});
  for (int base : {0, -1, INT_MIN, 1 << 30})
    for (const char* text : {static_cast<const char*>(nullptr), "", "text"})
      Try("GLText " + std::to_string(base), [&] {
        GLText(base, text, kNan, kInf, -1);
        DrainGlErrors();
        return 1;
      }, kDone);
  Try("GLDisable", [] { return GLDisable(); }, kDone);
}

class PrintTotal : public ::testing::Environment {
 public:
  void TearDown() override { std::printf("bad input: %d inputs tried over every export\n", totalInputs); }
};
const auto* const kTotal = ::testing::AddGlobalTestEnvironment(new PrintTotal);

}  // namespace
}  // namespace vorda_test

// Fonts and text: the values fonts are made from, extents in the text's
// own direction, placement by alignment, the white clip area, and every
// message with its exact text.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "chain_hook.h"
#include "host_test.h"
#include "ledger.h"
#include "surface.h"

namespace vorda_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kGrey = RGB(128, 128, 128);

// The fourteen values of one CreateFontA call.
struct FontRequest {
  int height, width, escapement, orientation, weight;
  DWORD italic, underline, strikeOut, charSet, outPrecision, clipPrecision, quality, pitchAndFamily;
  std::string face;
};

std::unique_ptr<AnyHook> RecordFonts(std::vector<FontRequest>* into) {
  return Chain<decltype(CreateFontA)>(
      "gdi32.dll", "CreateFontA",
      [into](auto real, int h, int w, int e, int o, int wt, DWORD i, DWORD u, DWORD s, DWORD cs,
             DWORD op, DWORD cp, DWORD q, DWORD pf, LPCSTR face) {
        into->push_back({h, w, e, o, wt, i, u, s, cs, op, cp, q, pf, face ? face : "(null)"});
        return real(h, w, e, o, wt, i, u, s, cs, op, cp, q, pf, face);
      });
}

// Answers LOGPIXELSY with `dpi` and records the device contexts asked.
std::unique_ptr<AnyHook> PixelsPerInch(int dpi, std::vector<HDC>* asked) {
  return Chain<decltype(GetDeviceCaps)>("gdi32.dll", "GetDeviceCaps",
                                        [dpi, asked](auto real, HDC dc, int index) {
                                          if (index != LOGPIXELSY) return real(dc, index);
                                          asked->push_back(dc);
                                          return dpi;
                                        });
}

// Measures every string as cx by cy.
std::unique_ptr<AnyHook> MeasureAs(int cx, int cy) {
  return Chain<decltype(GetTextExtentPoint32A)>("gdi32.dll", "GetTextExtentPoint32A",
                                                [cx, cy](auto, HDC, LPCSTR, int, LPSIZE size) {
                                                  *size = SIZE{cx, cy};
                                                  return TRUE;
                                                });
}

struct TextCall {
  int x, y;
  std::string text;
};

std::unique_ptr<AnyHook> RecordTextOut(std::vector<TextCall>* into) {
  return Chain<decltype(TextOutA)>(
      "gdi32.dll", "TextOutA", [into](auto real, HDC dc, int x, int y, LPCSTR text, int n) {
        into->push_back({x, y, std::string(text, static_cast<size_t>(n))});
        return real(dc, x, y, text, n);
      });
}

std::unique_ptr<AnyHook> FailSelectObject(int nth) {
  return FailNth<decltype(SelectObject)>("gdi32.dll", "SelectObject", nth, nullptr);
}
// Every measurement fails.
std::unique_ptr<AnyHook> FailMeasurement() {
  return Chain<decltype(GetTextExtentPoint32A)>(
      "gdi32.dll", "GetTextExtentPoint32A", [](auto, HDC, LPCSTR, int, LPSIZE) { return FALSE; });
}

class TextTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    ASSERT_EQ(MSEnable(host_, surface_.dc()), 1);
    // Model units are pixels.
    ASSERT_EQ(MSSetXForm(host_, 0, "LINEAR", "LINEAR", 0, 400, 0, 300, 0, 400, 0, 300), 1);
    ASSERT_EQ(MSNewFont(host_, &font_, "Liberation Sans", 14, "HORIZONTAL", "HEAVY", 0, 0, 0), 1);
    systemFont_ = GetCurrentObject(surface_.dc(), OBJ_FONT);
  }
  void TearDown() override { DeleteObject(font_); }
  HGDIOBJ SelectedFont() const { return GetCurrentObject(surface_.dc(), OBJ_FONT); }
  // A centred, bottom-aligned text drawn as if it had no extent: at its
  // anchor (200, 150), unshifted.
  void ExpectUnshiftedText() {
    std::vector<TextCall> drawn;
    auto record = RecordTextOut(&drawn);
    EXPECT_EQ(MSText(host_, &font_, "Volts", 200, 150, "HORIZONTAL", "CENTER", "BOTTOM", 0, 0, 0), 1);
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].x, 200);
    EXPECT_EQ(drawn[0].y, 150);
  }
  void Clip(bool on) {
    ASSERT_EQ(MSSetXForm(host_, on, "LINEAR", "LINEAR", 0, 400, 0, 300, 0, 400, 0, 300), 1);
  }

  DibSurface surface_{400, 300};
  HFONT font_ = nullptr;
  HGDIOBJ systemFont_ = nullptr;
};

TEST_F(TextTest, FontsAreMadeFromTheirFourteenValues) {
  HFONT sentinel = reinterpret_cast<HFONT>(0x1234);
  struct Case {
    int pointSize, dpi;
    const char *orientation, *weight;
    int italic, underline, strikeOut;
    int height, tenths, fontWeight;
  } cases[] = {
      {10, 96, "HORIZONTAL", "NORMAL", 0, 0, 0, -13, 0, 400},
      {10, 120, "+VERTICAL", "LIGHT", 1, 0, 0, -17, 900, 100},
      {10, 96, "-VERTICAL", "HEAVY", 0, 1, 0, -13, -900, 900},
      {12, 120, "UPSIDEDOWN", "NORMAL", 0, 0, 7, -20, 1800, 400},
      {-10, 96, "HORIZONTAL", "LIGHT", 0, 0, 0, 13, 0, 100},  // MulDiv rounds -13.3 to -13
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.orientation) + " " + c.weight + " at " + std::to_string(c.dpi));
    std::vector<FontRequest> made;
    std::vector<HDC> asked;
    HFONT font = sentinel;
    {
      auto fonts = RecordFonts(&made);
      auto dpi = PixelsPerInch(c.dpi, &asked);
      ASSERT_EQ(MSNewFont(host_, &font, "Liberation Serif", c.pointSize, c.orientation, c.weight,
                          c.italic, c.underline, c.strikeOut),
                1);
    }
    ASSERT_EQ(made.size(), 1u);
    const FontRequest& r = made[0];
    EXPECT_EQ(r.height, c.height);
    EXPECT_EQ(r.width, 0);
    EXPECT_EQ(r.escapement, c.tenths);
    EXPECT_EQ(r.orientation, c.tenths);
    EXPECT_EQ(r.weight, c.fontWeight);
    EXPECT_EQ(r.italic, static_cast<DWORD>(c.italic));
    EXPECT_EQ(r.underline, static_cast<DWORD>(c.underline));
    EXPECT_EQ(r.strikeOut, static_cast<DWORD>(c.strikeOut));
    EXPECT_EQ(r.charSet + r.outPrecision + r.clipPrecision + r.quality + r.pitchAndFamily, 0u);
    EXPECT_EQ(r.face, "Liberation Serif");
    EXPECT_THAT(asked, ElementsAre(surface_.dc()));
    EXPECT_NE(font, sentinel);
    EXPECT_EQ(GetObjectType(font), static_cast<DWORD>(OBJ_FONT));
    DeleteObject(font);
  }
  EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(TextTest, UnknownKeywordsMakeNoFontAndLeaveTheHostsVariable) {
  struct Case {
    const char *orientation, *weight, *message;
  } cases[] = {
      {"horizontal", "NORMAL", "Font orientation not recognized."},
      {"HORIZONTAL ", "NORMAL", "Font orientation not recognized."},
      {nullptr, "NORMAL", "Font orientation not recognized."},
      {"+VERTICAL", "normal", "Font weight not recognized."},
      {"+VERTICAL", "BOLD", "Font weight not recognized."},
      {"sideways", "bold", "Font orientation not recognized."},  // orientation is tested first
  };
  Ledger ledger;
  tarn::host().SetErrorResult(9);
  for (const Case& c : cases) {
    tarn::host().ClearErrors();
    HFONT font = reinterpret_cast<HFONT>(0x1234);
    EXPECT_EQ(MSNewFont(host_, &font, "Liberation Sans", 10, c.orientation, c.weight, 0, 0, 0), 9);
    EXPECT_EQ(font, reinterpret_cast<HFONT>(0x1234));
    EXPECT_THAT(Messages(), ElementsAre(c.message));
  }
  EXPECT_EQ(ledger.Made("CreateFontA"), 0);
}

TEST_F(TextTest, AFailedCreateFontLeavesNullInTheHostsVariable) {
  auto failing = Chain<decltype(CreateFontA)>("gdi32.dll", "CreateFontA",
                                             [](auto, auto...) { return HFONT{}; });
  HFONT font = reinterpret_cast<HFONT>(0x1234);
  EXPECT_EQ(MSNewFont(host_, &font, "Liberation Sans", 10, "HORIZONTAL", "NORMAL", 0, 0, 0), 0);
  EXPECT_EQ(font, nullptr);
  EXPECT_EQ(MSNewFont(host_, nullptr, "Liberation Sans", 10, "HORIZONTAL", "NORMAL", 0, 0, 0), 0);
  EXPECT_THAT(Messages(), ElementsAre("Unable to create font, CreateFont failed.",
                                      "Unable to create font, CreateFont failed."));
}

TEST_F(TextTest, VerticalTextHasItsWidthAndHeightExchanged) {
  int w = 0, h = 0;
  ASSERT_EQ(MSGetTextExtents(host_, &font_, "Volts", "HORIZONTAL", &w, &h), 1);
  ASSERT_GT(w, h);  // a real measurement of a five-letter word
  const int measuredWidth = w, measuredHeight = h;
  struct Case {
    const char* orientation;
    bool exchanged;
  } cases[] = {{"UPSIDEDOWN", false}, {"+VERTICAL", true}, {"-VERTICAL", true}};
  for (const Case& c : cases) {
    ASSERT_EQ(MSGetTextExtents(host_, &font_, "Volts", c.orientation, &w, &h), 1);
    EXPECT_EQ(w, c.exchanged ? measuredHeight : measuredWidth) << c.orientation;
    EXPECT_EQ(h, c.exchanged ? measuredWidth : measuredHeight) << c.orientation;
  }
  EXPECT_EQ(SelectedFont(), systemFont_);

  auto measure = MeasureAs(50, 12);
  ASSERT_EQ(MSGetTextExtents(host_, &font_, "x", "+VERTICAL", &w, &h), 1);
  EXPECT_EQ(w, 12);
  EXPECT_EQ(h, 50);
  // An unknown orientation is reported with the outputs as measured, and
  // the font stays selected.
  EXPECT_EQ(MSGetTextExtents(host_, &font_, "x", "VERTICAL", &w, &h), 0);
  EXPECT_EQ(w, 50);
  EXPECT_EQ(h, 12);
  EXPECT_EQ(SelectedFont(), font_);
  EXPECT_THAT(Messages(), ElementsAre("In MSGetTextExtent. Font orientation not recognized."));
}

TEST_F(TextTest, MeasuringFailuresNameTheirStep) {
  struct Case {
    std::function<std::unique_ptr<AnyHook>()> fail;
    bool outputsWritten;
    const char* message;
  } cases[] = {
      {[] { return FailSelectObject(1); }, false, "In MSGetTextExtent. SelectObject failed."},
      {[] { return FailMeasurement(); }, false, "In MSGetTextExtent. GetTextExtentPoint32 failed."},
      {[] { return FailSelectObject(2); }, true, "In MSGetTextExtent. SelectObject failed."},
  };
  for (const Case& c : cases) {
    tarn::host().ClearErrors();
    auto failing = c.fail();
    int w = -1, h = -1;
    EXPECT_EQ(MSGetTextExtents(host_, &font_, "Volts", "HORIZONTAL", &w, &h), 0);
    EXPECT_EQ(w > 0 && h > 0, c.outputsWritten) << c.message;
    EXPECT_THAT(Messages(), ElementsAre(c.message));
    SelectObject(surface_.dc(), systemFont_);
  }
  // Missing arguments are refused by the step that needs them.
  tarn::host().ClearErrors();
  int w = -1, h = -1;
  EXPECT_EQ(MSGetTextExtents(host_, nullptr, "Volts", "HORIZONTAL", &w, &h), 0);
  EXPECT_EQ(MSGetTextExtents(host_, &font_, nullptr, "HORIZONTAL", &w, &h), 0);
  EXPECT_EQ(MSGetTextExtents(host_, &font_, "Volts", "HORIZONTAL", nullptr, &h), 0);
  EXPECT_EQ(w, -1);
  EXPECT_EQ(h, -1);
  EXPECT_THAT(Messages(), ElementsAre("In MSGetTextExtent. SelectObject failed.",
                                      "In MSGetTextExtent. GetTextExtentPoint32 failed.",
                                      "In MSGetTextExtent. GetTextExtentPoint32 failed."));
}

TEST_F(TextTest, AlignmentMovesTheReferencePointByTheExtents) {
  auto measure = MeasureAs(51, 20);  // vertical text: w 20, h 51
  struct Case {
    double x, y;
    const char *orientation, *horz, *vert;
    int expectedX, expectedY;
  } cases[] = {
      {200, 150, "HORIZONTAL", "CENTER", "BOTTOM", 175, 130},  // 51 halves to 25
      {200, 150, "HORIZONTAL", "RIGHT", "CENTER", 149, 140},
      {200, 150, "HORIZONTAL", "", "BOTTOM", 200, 130},
      {200, 150, "HORIZONTAL", "center", "BOTTOM", 200, 130},
      {200, 150, "UPSIDEDOWN", "CENTER", "CENTER", 175, 140},
      {200, 150, "+VERTICAL", "CENTER", "CENTER", 190, 175},
      {200, 150, "+VERTICAL", "RIGHT", "BOTTOM", 180, 201},
      {200, 150, "-VERTICAL", "LEFT", "BOTTOM", 200, 201},
      {200.9, 150.9, "HORIZONTAL", "CENTER", "CENTER", 175, 140},  // truncated after the shift
      // The reference point is clamped, not moved back into view.
      {10, 150, "HORIZONTAL", "RIGHT", "CENTER", 0, 140},
      {20000, 150, "HORIZONTAL", "", "CENTER", 16383, 140},
      {3e9, 150, "HORIZONTAL", "", "CENTER", 0, 140},
  };
  for (const Case& c : cases) {
    std::vector<TextCall> drawn;
    auto record = RecordTextOut(&drawn);
    EXPECT_EQ(MSText(host_, &font_, "Volts", c.x, c.y, c.orientation, c.horz, c.vert, 0, 0, 0), 1);
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].x, c.expectedX) << c.orientation << " " << c.horz << " " << c.vert;
    EXPECT_EQ(drawn[0].y, c.expectedY) << c.orientation << " " << c.horz << " " << c.vert;
    EXPECT_EQ(drawn[0].text, "Volts");
  }
  EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(TextTest, LogarithmicAxesPlaceNonPositiveValuesAtLogFloor) {
  // x 1..1000 on 0..300 (XScale 100); y 100..1 on 0..200, so LogFloor is -2
  // and YScale -100, YOffset 200.
  ASSERT_EQ(MSSetXForm(host_, 0, "LOG10", "LOG10", 0, 300, 0, 200, 1, 1000, 100, 1), 1);
  auto measure = MeasureAs(10, 10);
  std::vector<TextCall> drawn;
  auto record = RecordTextOut(&drawn);
  // x 0 is at axis value -2, device -200, clamped to 0; x 100 at 200; y -1 at 400.
  ASSERT_EQ(MSText(host_, &font_, "a", 0, 10, "HORIZONTAL", "", "BOTTOM", 0, 0, 0), 1);
  ASSERT_EQ(MSText(host_, &font_, "b", 100, -1, "HORIZONTAL", "", "BOTTOM", 0, 0, 0), 1);
  ASSERT_EQ(drawn.size(), 2u);
  EXPECT_EQ(drawn[0].x, 0);
  EXPECT_EQ(drawn[0].y, 90);
  EXPECT_EQ(drawn[1].x, 200);
  EXPECT_EQ(drawn[1].y, 390);
}

TEST_F(TextTest, RejectedAlignmentDrawsNothing) {
  surface_.Fill(kGrey);
  Clip(true);
  Ledger ledger;
  for (const char* vert : {"", "TOP", "center", static_cast<const char*>(nullptr)}) {
    tarn::host().ClearErrors();
    std::vector<TextCall> drawn;
    auto record = RecordTextOut(&drawn);
    EXPECT_EQ(MSText(host_, &font_, "Volts", 200, 150, "HORIZONTAL", "CENTER", vert, 0, 0, 0), 0);
    EXPECT_THAT(drawn, IsEmpty());
    EXPECT_THAT(Messages(), ElementsAre("In MSText. Orientation and/or alignment not recognized."));
  }
  // An unknown orientation already fails the measurement.
  tarn::host().ClearErrors();
  EXPECT_EQ(MSText(host_, &font_, "Volts", 200, 150, "SIDEWAYS", "CENTER", "CENTER", 0, 0, 0), 0);
  EXPECT_THAT(Messages(), ElementsAre("In MSGetTextExtent. Font orientation not recognized.",
                                      "In MSText. MSGetTextExtent failed."));
  EXPECT_EQ(surface_.Count(kGrey), 400 * 300);  // the clip area was not erased either
  EXPECT_EQ(ledger.Leaks(), "");
}

TEST_F(TextTest, WithClippingOnTheWholeClipAreaIsErasedToWhiteFirst) {
  surface_.Fill(kGrey);
  ASSERT_EQ(MSSetXForm(host_, 1, "LINEAR", "LINEAR", 50, 350, 40, 260, 0, 300, 0, 220), 1);
  SetTextAlign(surface_.dc(), TA_BASELINE | TA_RIGHT);
  Ledger ledger;
  ASSERT_EQ(MSText(host_, &font_, "Volts", 150, 110, "HORIZONTAL", "CENTER", "CENTER", 1, 0, 0), 1);
  int inside = 0, white = 0, red = 0, leftGrey = 0;
  for (int y = 0; y < 300; ++y)
    for (int x = 0; x < 400; ++x) {
      COLORREF p = surface_.Pixel(x, y);
      bool clipped = x >= 50 && x < 350 && y >= 40 && y < 260;
      if (!clipped) {
        EXPECT_EQ(p, kGrey) << x << ", " << y;
        continue;
      }
      ++inside;
      white += p == kWhite;
      red += GetRValue(p) > GetGValue(p);
      leftGrey += p == kGrey;
    }
  EXPECT_EQ(leftGrey, 0);
  EXPECT_GT(red, 20);  // the label itself, in red
  EXPECT_EQ(white + red, inside);
  EXPECT_EQ(SelectedFont(), systemFont_);
  EXPECT_EQ(GetTextAlign(surface_.dc()), 0u);
  EXPECT_EQ(GetTextColor(surface_.dc()), RGB(255, 0, 0));
  EXPECT_EQ(ledger.Made("CreateRectRgn"), 1);
  EXPECT_EQ(ledger.Leaks(), "");
  EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(TextTest, WithoutClippingNothingOutsideTheTextCellChanges) {
  surface_.Fill(kGrey);
  Clip(false);
  int w = 0, h = 0;
  ASSERT_EQ(MSGetTextExtents(host_, &font_, "Volts", "HORIZONTAL", &w, &h), 1);
  ASSERT_EQ(MSText(host_, &font_, "Volts", 100, 80, "HORIZONTAL", "LEFT", "BOTTOM", 0, 0, 1), 1);
  int changedInside = 0;
  for (int y = 0; y < 300; ++y)
    for (int x = 0; x < 400; ++x) {
      bool inCell = x >= 100 && x < 100 + w && y >= 80 - h && y < 80;
      if (inCell)
        changedInside += surface_.Pixel(x, y) != kGrey;
      else
        EXPECT_EQ(surface_.Pixel(x, y), kGrey) << x << ", " << y;
    }
  EXPECT_GT(changedInside, 20);
  EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(TextTest, AFailedMeasurementStopsTheTextOnlyWhenTheHostSaysSo) {
  auto failing = FailMeasurement();
  {
    std::vector<TextCall> drawn;
    auto record = RecordTextOut(&drawn);
    EXPECT_EQ(MSText(host_, &font_, "Volts", 200, 150, "HORIZONTAL", "CENTER", "BOTTOM", 0, 0, 0),
              0);
    EXPECT_THAT(drawn, IsEmpty());
    EXPECT_THAT(Messages(), ElementsAre("In MSGetTextExtent. GetTextExtentPoint32 failed.",
                                        "In MSText. MSGetTextExtent failed."));
  }
  // The stopped text left its font selected. A host whose error call
  // returns nonzero lets the text go on, placed as if it had no extent.
  EXPECT_EQ(SelectedFont(), font_);
  SelectObject(surface_.dc(), systemFont_);
  tarn::host().ClearErrors();
  tarn::host().SetErrorResult(3);
  ExpectUnshiftedText();
  EXPECT_EQ(SelectedFont(), systemFont_);
  EXPECT_THAT(Messages(), ElementsAre("In MSGetTextExtent. GetTextExtentPoint32 failed."));
}

TEST_F(TextTest, AMeasurementThatFailsAfterMeasuringStillCountsAsNoExtent) {
  // The measurement's own select-back (the third SelectObject) fails after
  // the extents were written; the text goes on unshifted all the same.
  tarn::host().SetErrorResult(3);
  auto measure = MeasureAs(51, 20);
  auto failing = FailSelectObject(3);
  ExpectUnshiftedText();
  EXPECT_THAT(Messages(), ElementsAre("In MSGetTextExtent. SelectObject failed."));
}

TEST_F(TextTest, TextFailuresNameTheirStep) {
  const char* gdi = "gdi32.dll";
  struct Case {
    std::function<std::unique_ptr<AnyHook>()> fail;
    bool drawn;  // with clipping on, any drawing erases the grey
    const char* message;
  } cases[] = {
      {[] { return FailSelectObject(1); }, false, "In MSText. SelectObject failed."},
      {[=] { return FailNth<decltype(SetTextAlign)>(gdi, "SetTextAlign", 1, GDI_ERROR); }, false,
       "In MSText. SetTextAlign failed."},
      {[=] { return FailNth<decltype(SetTextColor)>(gdi, "SetTextColor", 1, CLR_INVALID); }, false,
       "In MSText. SetTextColor failed."},
      {[=] { return FailNth<decltype(CreateRectRgn)>(gdi, "CreateRectRgn", 1, nullptr); }, false,
       "In MSText. CreateRectRgn failed."},
      {[=] { return FailNth<decltype(FillRgn)>(gdi, "FillRgn", 1, FALSE); }, false,
       "In MSText. FillRgn failed."},
      {[=] { return FailNth<decltype(TextOutA)>(gdi, "TextOutA", 1, FALSE); }, true,
       "In MSText. TextOut failed."},
      // MSText selects, the measurement selects and selects back, then MSText selects back.
      {[] { return FailSelectObject(4); }, true, "In MSText. SelectObject failed."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    Clip(true);
    surface_.Fill(kGrey);
    tarn::host().ClearErrors();
    tarn::host().SetErrorResult(-4);
    {
      auto failing = c.fail();
      EXPECT_EQ(MSText(host_, &font_, "Volts", 200, 150, "HORIZONTAL", "CENTER", "CENTER", 0, 0, 0),
                -4);
    }
    EXPECT_THAT(Messages(), ElementsAre(c.message));
    EXPECT_EQ(surface_.Count(kGrey) < 400 * 300, c.drawn);
    SelectObject(surface_.dc(), systemFont_);
  }
  // A missing font or string is refused without touching the device context.
  tarn::host().ClearErrors();
  tarn::host().SetErrorResult(0);
  surface_.Fill(kGrey);
  EXPECT_EQ(MSText(host_, nullptr, "Volts", 200, 150, "HORIZONTAL", "", "CENTER", 0, 0, 0), 0);
  EXPECT_EQ(MSText(host_, &font_, nullptr, 200, 150, "HORIZONTAL", "", "CENTER", 0, 0, 0), 0);
  EXPECT_THAT(Messages(), ElementsAre("In MSText. SelectObject failed.",
                                      "In MSGetTextExtent. GetTextExtentPoint32 failed.",
                                      "In MSText. MSGetTextExtent failed."));
  EXPECT_EQ(surface_.Count(kGrey), 400 * 300);
}

TEST_F(TextTest, AFailedFillLeavesItsRegionForTheNextOperation) {
  Clip(true);
  Ledger ledger;
  {
    auto failing = FailNth<decltype(FillRgn)>("gdi32.dll", "FillRgn", 1, FALSE);
    EXPECT_EQ(MSText(host_, &font_, "Volts", 200, 150, "HORIZONTAL", "", "CENTER", 0, 0, 0), 0);
  }
  EXPECT_EQ(ledger.Alive(), 1);  // the region, kept in the drawing state
  // The next text reuses it rather than making another, and frees it.
  ASSERT_EQ(MSText(host_, &font_, "Volts", 200, 150, "HORIZONTAL", "", "CENTER", 0, 0, 0), 1);
  EXPECT_EQ(ledger.Made("CreateRectRgn"), 1);
  EXPECT_EQ(ledger.Leaks(), "");
  EXPECT_THAT(Messages(), ElementsAre("In MSText. FillRgn failed."));
}

}  // namespace
}  // namespace vorda_test

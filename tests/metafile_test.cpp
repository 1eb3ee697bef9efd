// The metafile surface: a chart drawn with the other exports is recorded
// into an enhanced metafile file that the platform reads back record by
// record and plays back to the same pixels as the chart drawn directly.
#include <cmath>
#include <cstdio>
#include <sstream>

#include "file_readers.h"
#include "host_test.h"
#include "ledger.h"
#include "surface.h"

namespace vorda_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class MetafileTest : public HostTest {
 protected:
  void TearDown() override {
    for (HPEN pen : pens_) DeleteObject(pen);
  }
  HPEN* Pen(double r, double g, double b) {
    pens_.push_back(nullptr);
    EXPECT_EQ(MSNewPen(host_, &pens_.back(), "SOLID", 1, r, g, b), 1);
    return &pens_.back();
  }

  // A small chart on dc: a black frame round the plot, then clipped to the
  // plot a red trace, a blue segment and a label from the host's own text
  // call.
  void DrawChart(HDC dc) {
    ASSERT_EQ(MSEnable(host_, dc), 1);
    ASSERT_EQ(MSSetXForm(host_, 0, "LINEAR", "LINEAR", 0, 199, 0, 99, 0, 10, 10, 0), 1);
    const double frame[] = {0, 10, 10, 10, 10, 0, 0, 0, 0, 10};
    ASSERT_EQ(MSPolyLine(host_, Pen(0, 0, 0), "LINE_STRIP", frame, 10), 1);
    ASSERT_EQ(MSSetXForm(host_, 1, "LINEAR", "LINEAR", 0, 199, 0, 99, 0, 10, 10, 0), 1);
    const double trace[] = {1, 2, 3, 8, 6, 4, 9, 6};
    ASSERT_EQ(MSPolyLine(host_, Pen(1, 0, 0), "LINE_STRIP", trace, 8), 1);
    const double segment[] = {2, 5, 8, 5};
    ASSERT_EQ(MSPolyLine(host_, Pen(0, 0, 1), "LINES", segment, 4), 1);
    HFONT font = CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0,
                             NONANTIALIASED_QUALITY, 0, "Arial");
    HGDIOBJ previous = SelectObject(dc, font);
    ASSERT_TRUE(TextOutA(dc, 20, 60, "Volts", 5));
    SelectObject(dc, previous);
    DeleteObject(font);
    ASSERT_EQ(MSDisable(host_), 1);
  }

  std::vector<HPEN> pens_;
};

// "x,y x,y ...": the points of a 16-bit or a 32-bit polyline record.
template <typename Point>
std::string Points(const Point* p, DWORD n) {
  std::ostringstream out;
  for (DWORD i = 0; i < n; ++i) out << (i ? " " : "") << p[i].x << "," << p[i].y;
  return out.str();
}

// The records that carry the chart, one readable line each; the others
// (header, state, object selection) are left out.
std::vector<std::string> DrawingRecords(const EmfFile& emf) {
  std::vector<std::string> out;
  for (const EmfRecord& record : emf.records) {
    const ENHMETARECORD* r = emf.Raw(record);
    std::ostringstream line;
    switch (r->iType) {
      case EMR_CREATEPEN: {
        auto* pen = reinterpret_cast<const EMRCREATEPEN*>(r);
        line << "pen " << pen->lopn.lopnWidth.x << " #" << std::hex << pen->lopn.lopnColor;
        break;
      }
      case EMR_POLYLINE16: {
        auto* poly = reinterpret_cast<const EMRPOLYLINE16*>(r);
        line << "polyline " << Points(poly->apts, poly->cpts);
        break;
      }
      case EMR_POLYLINE: {
        auto* poly = reinterpret_cast<const EMRPOLYLINE*>(r);
        line << "polyline " << Points(poly->aptl, poly->cptl);
        break;
      }
      case EMR_MOVETOEX: {
        auto* move = reinterpret_cast<const EMRMOVETOEX*>(r);
        line << "move " << move->ptl.x << "," << move->ptl.y;
        break;
      }
      case EMR_LINETO: {
        auto* to = reinterpret_cast<const EMRLINETO*>(r);
        line << "line " << to->ptl.x << "," << to->ptl.y;
        break;
      }
      case EMR_EXTSELECTCLIPRGN: {
        auto* clip = reinterpret_cast<const EMREXTSELECTCLIPRGN*>(r);
        if (clip->cbRgnData == 0) {
          line << "clip none";
        } else {
          auto* region = reinterpret_cast<const RGNDATA*>(clip->RgnData);
          auto* rect = reinterpret_cast<const RECT*>(region->Buffer);
          line << "clip " << rect->left << "," << rect->top << " " << rect->right << ","
               << rect->bottom;
        }
        break;
      }
      case EMR_EXTTEXTOUTW: {
        auto* text = reinterpret_cast<const EMREXTTEXTOUTW*>(r);
        auto* chars = reinterpret_cast<const wchar_t*>(reinterpret_cast<const BYTE*>(r) +
                                                        text->emrtext.offString);
        line << "text " << text->emrtext.ptlReference.x << "," << text->emrtext.ptlReference.y
             << " ";
        for (DWORD i = 0; i < text->emrtext.nChars; ++i) line << static_cast<char>(chars[i]);
        break;
      }
      default:
        continue;
    }
    out.push_back(line.str());
  }
  return out;
}

TEST_F(MetafileTest, InchSizesBecomePixelsWithoutTruncation) {
  struct Case {
    double width, height;  // inches in
    double wantWidth, wantHeight;  // pixels out at 96 dpi
  } cases[] = {
      {2.0, 1.5, 192.0, 144.0},
      {2.01, 1.0, 192.96, 96.0},  // the bitmap surface would make this 192
      {0.0, 0.0, 0.0, 0.0},       // overwritten too, and stay 0
      {0.0, 3.0, 0.0, 288.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
    std::string path = TempPath("size.emf");
    double width = c.width, height = c.height;
    Ledger ledger;
    HDC dc = MSCreateMetaFileDC(host_, path.c_str(), &width, &height);
    ASSERT_NE(dc, nullptr);
    const int dpiX = GetDeviceCaps(dc, LOGPIXELSX), dpiY = GetDeviceCaps(dc, LOGPIXELSY);
    EXPECT_EQ(width, dpiX * c.width);
    EXPECT_EQ(height, dpiY * c.height);
    if (dpiX == 96 && dpiY == 96) {
      EXPECT_DOUBLE_EQ(width, c.wantWidth);
      EXPECT_DOUBLE_EQ(height, c.wantHeight);
    }
    EXPECT_NE(MSSaveMetaFile(host_, dc), 0);
    EXPECT_EQ(GetObjectType(dc), 0u) << "the recording device context is gone";
    EXPECT_TRUE(FileExists(path));
    EXPECT_EQ(ledger.Leaks(), "");
  }
  EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(MetafileTest, RecordedChartIsACompleteMetafileWithItsDrawingRecords) {
  std::string path = TempPath("chart.emf");
  double width = 200 / 96.0, height = 100 / 96.0;
  HDC dc = MSCreateMetaFileDC(host_, path.c_str(), &width, &height);
  ASSERT_NE(dc, nullptr);
  DrawChart(dc);
  ASSERT_NE(MSSaveMetaFile(host_, dc), 0);
  EXPECT_THAT(Messages(), IsEmpty());

  // The file: a header record with the signature and the file's own size
  // and record count, then records that end with the end-of-file record.
  EmfFile emf;
  ASSERT_TRUE(emf.Load(path));
  ASSERT_GE(emf.bytes.size(), 88u);
  const ENHMETAHEADER stored = emf.Header();
  EXPECT_EQ(stored.iType, static_cast<DWORD>(EMR_HEADER));
  EXPECT_EQ(stored.dSignature, static_cast<DWORD>(ENHMETA_SIGNATURE));
  EXPECT_EQ(stored.nBytes, emf.bytes.size());
  EXPECT_EQ(stored.nDescription, 0u) << "no description is stored";
  EXPECT_EQ(emf.end, emf.bytes.size()) << "whole records of at least 8 bytes up to the end";
  EXPECT_EQ(emf.records.size(), stored.nRecords);
  EXPECT_EQ(emf.records.back().type, static_cast<DWORD>(EMR_EOF));

  HENHMETAFILE metafile = GetEnhMetaFileA(path.c_str());
  ASSERT_NE(metafile, nullptr);
  ENHMETAHEADER header;
  ASSERT_EQ(GetEnhMetaFileHeader(metafile, sizeof header, &header), sizeof header);
  // The frame round the plot bounds the picture.
  EXPECT_EQ(header.rclBounds.left, 0);
  EXPECT_EQ(header.rclBounds.top, 0);
  EXPECT_EQ(header.rclBounds.right, 199);
  EXPECT_EQ(header.rclBounds.bottom, 99);

  // Device points: x = 19.9 u truncated, y = 99 - 9.9 v truncated.
  EXPECT_THAT(DrawingRecords(emf),
              ElementsAre("clip none", "pen 1 #0", "polyline 0,0 199,0 199,99 0,99 0,0", "clip 0,0 199,99",
                          "pen 1 #ff", "polyline 19,79 59,19 119,59 179,39", "pen 1 #ff0000",
                          "move 39,49", "line 159,49", "text 20,60 Volts", "clip none"));

  // Played back with the frame on the same pixels, the recording looks
  // exactly like the chart drawn directly, except that the label's glyphs
  // may be spaced a pixel apart (Wine plays the recorded advances back
  // through the frame's scale of about 1.0002).
  DibSurface direct(200, 100), played(200, 100);
  DrawChart(direct.dc());
  const RECT label{20, 60, 20 + 40, 60 + 16};
  const double pixelsPerMmX = double(header.szlDevice.cx) / header.szlMillimeters.cx;
  const double pixelsPerMmY = double(header.szlDevice.cy) / header.szlMillimeters.cy;
  RECT frame{static_cast<LONG>(std::lround(header.rclFrame.left * pixelsPerMmX / 100)),
             static_cast<LONG>(std::lround(header.rclFrame.top * pixelsPerMmY / 100)),
             static_cast<LONG>(std::lround(header.rclFrame.right * pixelsPerMmX / 100)),
             static_cast<LONG>(std::lround(header.rclFrame.bottom * pixelsPerMmY / 100))};
  ASSERT_TRUE(PlayEnhMetaFile(played.dc(), metafile, &frame));
  int differing = 0, labelPlayed = 0, labelDirect = 0;
  for (int y = 0; y < 100; ++y) {
    for (int x = 0; x < 200; ++x) {
      POINT p{x, y};
      if (PtInRect(&label, p)) {
        labelPlayed += played.Pixel(x, y) == RGB(0, 0, 0);
        labelDirect += direct.Pixel(x, y) == RGB(0, 0, 0);
      } else {
        differing += played.Pixel(x, y) != direct.Pixel(x, y);
      }
    }
  }
  EXPECT_EQ(differing, 0);
  EXPECT_GT(labelDirect, 40);
  EXPECT_NEAR(labelPlayed, labelDirect, labelDirect / 10);
  EXPECT_EQ(played.Pixel(100, 0), RGB(0, 0, 0));     // frame
  EXPECT_EQ(played.Pixel(19, 79), RGB(255, 0, 0));   // trace start
  EXPECT_EQ(played.Pixel(100, 49), RGB(0, 0, 255));  // segment
  EXPECT_EQ(played.Pixel(100, 50), RGB(255, 255, 255));
  DeleteEnhMetaFile(metafile);
}

TEST_F(MetafileTest, SurfaceThatCannotBeMadeOrSavedGivesZeroAndReportsNothing) {
  // No such directory: no recording device context; the sizes are still
  // multiplied, by what a null device context reports.
  double width = 2.0, height = 1.0;
  Ledger ledger;
  std::string path = TempPath("no-such-dir\\chart.emf");
  EXPECT_EQ(MSCreateMetaFileDC(host_, path.c_str(), &width, &height), nullptr);
  EXPECT_EQ(width, GetDeviceCaps(nullptr, LOGPIXELSX) * 2.0);
  EXPECT_EQ(height, GetDeviceCaps(nullptr, LOGPIXELSY) * 1.0);

  EXPECT_EQ(MSSaveMetaFile(host_, nullptr), 0);
  DibSurface notRecording(4, 4);
  EXPECT_EQ(MSSaveMetaFile(host_, notRecording.dc()), 0);
  EXPECT_EQ(GetObjectType(notRecording.dc()), static_cast<DWORD>(OBJ_MEMDC));

  // Without size variables the surface is made and saved all the same.
  path = TempPath("nosize.emf");
  HDC dc = MSCreateMetaFileDC(host_, path.c_str(), nullptr, nullptr);
  ASSERT_NE(dc, nullptr);
  EXPECT_NE(MSSaveMetaFile(host_, dc), 0);
  EXPECT_TRUE(FileExists(path));
  EXPECT_EQ(ledger.Leaks(), "");
  EXPECT_THAT(Messages(), IsEmpty());
}

}  // namespace
}  // namespace vorda_test

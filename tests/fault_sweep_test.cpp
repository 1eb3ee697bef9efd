// Every export under the fault sweep: for a representative scene each, the
// run is repeated with each platform and host call vorda makes failing in
// turn (in each way it can fail), and each time vorda must not crash, must
// report one of the messages of the failed step's export with a result
// that export may give after it (or succeed), must leave nothing behind
// and must not write the caller's arrays. The
// sweep of MSEnable needs a process of its own: fault_sweep_enable_test.cpp.
#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>

#include "sweep_fixture.h"

namespace vorda_test {
namespace {

using ::testing::IsEmpty;

const std::vector<std::string> kPolyLineMessages = {
    "In MSPolyLine. malloc or memcpy failed.", "In MSPolyLine. SelectObject failed.",
    "In MSPolyLine. Type not recognized.",     "In MSPolyLine. Invalid size.",
    "In MSPolyLine. Polyline failed.",         "In MSPolyLine. MoveTo and LineTo failed.",
};
const std::vector<std::string> kXFormMessages = {
    "In MSSetXForm. CreateRectRgn failed.", "In MSSetXForm. SetRectRgn failed.",
    "In MSSetXForm. SelectClipRgn failed.",
};

// A small 24-bit bottom-up BMP, grey with a dark diagonal.
std::string SmallBmp(int width, int height) {
  return Bmp24(width, height,
               [](int x, int y) { return x == y ? RGB(20, 20, 20) : RGB(160, 160, 160); });
}

TEST_F(FaultSweepTest, MSDisable) {
  Scene s;
  s.name = "MSDisable";
  s.prepare = [this] {
    Stage();
    MSSetXForm(host_, 1, "", "", 4, 60, 4, 44, 0, 1, 0, 1);
    return std::vector<CallerArray>{};
  };
  s.call = [this] { return MSDisable(host_); };
  // Lifting the clipping has no failure to report.
  s.tolerated = {"SelectClipRgn"};
  // It cannot fail; what it calls must still be swept.
  Check(s);
}

TEST_F(FaultSweepTest, MSSetXForm) {
  for (int clip : {1, 0}) {
    for (bool regionLeft : {false, true}) {
      if (!clip && regionLeft) continue;
      Scene s;
      s.name = std::string("MSSetXForm clip ") + (clip ? "on" : "off") +
               (regionLeft ? ", reusing a region a failure left" : "");
      s.prepare = [this, regionLeft] {
        Stage();
        if (regionLeft) {
          // A failed clip keeps its region for the next call to reuse.
          VORDA_HOOK(fail, "gdi32.dll", SelectClipRgn, [](HDC, HRGN) { return ERROR; });
          MSSetXForm(host_, 1, "", "", 0, 10, 0, 10, 0, 1, 0, 1);
          tarn::host().ClearErrors();
        }
        return std::vector<CallerArray>{};
      };
      s.call = [this, clip] {
        return MSSetXForm(host_, clip, "LOG10", "LOG10", 10, 90, 10, 40, 1, 1000, 1000, 1);
      };
      // The region a failure keeps is given back by the next call that works.
      s.finish = [this](Ledger&, int) { MSSetXForm(host_, 0, "", "", 0, 64, 0, 48, 0, 64, 0, 48); };
      s.messages = kXFormMessages;
      Check(s);
    }
  }
}

TEST_F(FaultSweepTest, MSNewPen) {
  Scene s;
  s.name = "MSNewPen";
  auto pen = std::make_shared<HPEN>(nullptr);
  s.prepare = [pen] {
    *pen = nullptr;
    return std::vector<CallerArray>{};
  };
  s.call = [this, pen] { return MSNewPen(host_, pen.get(), "DASH", 1, 1, 0.5, 0); };
  s.finish = [pen](Ledger& ledger, int) {
    if (*pen) {
      ledger.Remove(*pen);
      DeleteObject(*pen);
    }
  };
  s.messages = {"In MSPolyLine. CreatePen failed."};
  Check(s);
}

TEST_F(FaultSweepTest, MSPolyLine) {
  struct Case {
    const char* name;
    const char* axes;
    const char* type;
    std::vector<double> data;
  };
  std::vector<double> longStrip;
  for (int i = 0; i < 33000; ++i) {
    longStrip.push_back(1 + i % 60);
    longStrip.push_back(1 + (i * 7) % 40);
  }
  // Many points a column, so that MSPolyLine asks about the surface and
  // reduces its runs.
  std::vector<double> denseStrip;
  for (int i = 0; i < 3000; ++i) {
    denseStrip.push_back(1 + i / 50);
    denseStrip.push_back(1 + (i * 13) % 45);
  }
  const double nan = std::nan("");
  const Case cases[] = {
      {"LINE_STRIP with gaps on log axes", "LOG10", "LINE_STRIP",
       {1, 1, 10, 10, 20, 5, nan, 3, 30, 30, 40, 2, VORDA_MISSING_SAMPLE, 1, 50, 40, 60, 1}},
      {"LINE_STRIP of 33000 points, linear", "", "LINE_STRIP", longStrip},
      {"LINE_STRIP of 60 points a column, linear", "", "LINE_STRIP", denseStrip},
      {"LINES on log axes", "LOG10", "LINES", {1, 1, 60, 40, 2, 30, 50, 2, -1, 0, 10, 10}},
  };
  for (const Case& c : cases) {
    Scene s;
    s.name = std::string("MSPolyLine ") + c.name;
    auto data = std::make_shared<std::vector<double>>(c.data);
    auto pen = std::make_shared<HPEN>(nullptr);
    s.prepare = [this, data, pen, axes = c.axes] {
      Stage();
      MSSetXForm(host_, 0, axes, axes, 0, 64, 0, 48, 1, 64, 48, 1);
      *pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
      return std::vector<CallerArray>{{data->data(), data->size() * sizeof(double)},
                                      {pen.get(), sizeof(HPEN)}};
    };
    s.call = [this, data, pen, type = c.type] {
      return MSPolyLine(host_, pen.get(), type, data->data(), static_cast<unsigned>(data->size()));
    };
    s.cleanUp = [pen] { DeleteObject(*pen); };
    s.messages = kPolyLineMessages;
    // A failed query about the surface means drawing every point: the
    // same picture, and no failure.
    s.tolerated = {"GetObjectType", "GetDeviceCaps", "GetObjectA", "GetROP2",
                   "GetMapMode",    "GetWorldTransform", "SaveDC", "EndPath", "RestoreDC"};
    Check(s);
  }
}

TEST_F(FaultSweepTest, MSCreateBitmapDC) {
  for (bool inches : {true, false}) {
    Scene s;
    s.name = std::string("MSCreateBitmapDC sized in ") + (inches ? "inches" : "pixels");
    struct Sizes {
      double wi, hi;
      int wp, hp;
      HDC made;
    };
    auto sizes = std::make_shared<Sizes>();
    s.prepare = [sizes, inches] {
      *sizes = inches ? Sizes{0.5, 0.25, 0, 0, nullptr} : Sizes{0, 0, 30, 20, nullptr};
      return std::vector<CallerArray>{{&sizes->wi, sizeof(double)}, {&sizes->hi, sizeof(double)}};
    };
    s.call = [this, sizes] {
      sizes->made = MSCreateBitmapDC(host_, &sizes->wi, &sizes->hi, &sizes->wp, &sizes->hp);
      return sizes->made ? 1 : 0;
    };
    s.finish = [sizes](Ledger& ledger, int) {
      if (!sizes->made) return;
      // The host's now: give it back as the host would.
      HGDIOBJ bitmap = GetCurrentObject(sizes->made, OBJ_BITMAP);
      ledger.Remove(sizes->made);
      ledger.Remove(bitmap);
      DeleteDC(sizes->made);
      DeleteObject(bitmap);
    };
    s.messages = {"CreateCompatibleDC failed error code *",
                  "CreateCompatibleBitmap failed error code *",
                  "SelectObject failed error code *", "BitBlt failed error code *"};
    s.reportedResults = {0};
    // Without a resolution the inch sizes come out 0 (a 1 x 1 bitmap).
    s.tolerated = {"GetDeviceCaps"};
    Check(s);
  }
}

TEST_F(FaultSweepTest, MSSaveBitmapFile) {
  for (int bits : {32, 16}) {
    Scene s;
    s.name = "MSSaveBitmapFile of a " + std::to_string(bits) + "-bit surface";
    struct Surface {
      HDC dc;
      HBITMAP bitmap;
      std::string path;
      std::string name;
    };
    auto surface = std::make_shared<Surface>();
    surface->path = TempPath("sweep.bmp");
    s.prepare = [surface, bits] {
      BITMAPINFO info{};
      info.bmiHeader = {sizeof(BITMAPINFOHEADER), 5, 3, 1, static_cast<WORD>(bits), BI_RGB, 0, 0, 0, 0, 0};
      void* pixels = nullptr;
      surface->dc = CreateCompatibleDC(nullptr);
      surface->bitmap = CreateDIBSection(surface->dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
      SelectObject(surface->dc, surface->bitmap);
      surface->name = surface->path;
      return std::vector<CallerArray>{{surface->name.c_str(), surface->name.size() + 1}};
    };
    s.call = [this, surface] { return MSSaveBitmapFile(host_, surface->dc, surface->name.c_str()); };
    s.cleanUp = [surface] {
      // Unless the save destroyed the surface, it is still the host's.
      if (GetObjectType(surface->dc)) DeleteDC(surface->dc);
      if (GetObjectType(surface->bitmap)) DeleteObject(surface->bitmap);
      DeleteFileA(surface->path.c_str());
    };
    s.messages = {"GetCurrentObject failed error code *", "Error in CreateBMPFile line *"};
    // After a writer failure that the host's error call answers with
    // non-zero, the surface is destroyed as after success and 1 returned.
    s.reportedResults = {kSweepErrorResult, 1};
    // An unreadable bitmap description returns 0 without a message.
    s.silentWhen = {"GetObjectA"};
    Check(s);
  }
}

TEST_F(FaultSweepTest, MSCreateMetaFileDC) {
  for (bool named : {true, false}) {
    Scene s;
    s.name = std::string("MSCreateMetaFileDC ") + (named ? "to a file" : "in memory");
    struct Meta {
      double w, h;
      HDC made;
      std::string path;
    };
    auto meta = std::make_shared<Meta>();
    meta->path = TempPath("sweep.emf");
    s.prepare = [meta] {
      meta->w = 2.0;
      meta->h = 1.0;
      meta->made = nullptr;
      return std::vector<CallerArray>{};
    };
    s.call = [this, meta, named] {
      meta->made =
          MSCreateMetaFileDC(host_, named ? meta->path.c_str() : nullptr, &meta->w, &meta->h);
      return meta->made ? 1 : 0;
    };
    s.finish = [meta](Ledger& ledger, int) {
      if (!meta->made) return;
      ledger.Remove(meta->made);
      DeleteEnhMetaFile(CloseEnhMetaFile(meta->made));
    };
    s.cleanUp = [meta] { DeleteFileA(meta->path.c_str()); };
    s.reportsNothing = true;
    // The sizes are multiplied by whatever resolution is reported.
    s.tolerated = {"GetDeviceCaps"};
    Check(s);
  }
}

TEST_F(FaultSweepTest, MSSaveMetaFile) {
  Scene s;
  s.name = "MSSaveMetaFile";
  auto dc = std::make_shared<HDC>(nullptr);
  const std::string path = TempPath("sweep-save.emf");
  s.prepare = [dc, path] {
    *dc = CreateEnhMetaFileA(nullptr, path.c_str(), nullptr, nullptr);
    MoveToEx(*dc, 0, 0, nullptr);
    LineTo(*dc, 50, 50);
    return std::vector<CallerArray>{};
  };
  s.call = [this, dc] { return MSSaveMetaFile(host_, *dc); };
  s.cleanUp = [dc, path] {
    // A recording that could not be finished is still open.
    if (GetObjectType(*dc) == OBJ_ENHMETADC) DeleteEnhMetaFile(CloseEnhMetaFile(*dc));
    DeleteFileA(path.c_str());
  };
  s.reportsNothing = true;
  Check(s);
}

TEST_F(FaultSweepTest, MSLoadPictureFile) {
  Scene s;
  s.name = "MSLoadPictureFile";
  const std::string path = TempPath("sweep-picture.bmp");
  {
    std::ofstream out(path, std::ios::binary);
    std::string bmp = SmallBmp(12, 8);
    out.write(bmp.data(), static_cast<std::streamsize>(bmp.size()));
  }
  auto name = std::make_shared<std::string>(path);
  s.prepare = [this, name] {
    Stage();
    return std::vector<CallerArray>{{name->c_str(), name->size() + 1}};
  };
  s.call = [this, name] { return MSLoadPictureFile(host_, name->c_str()); };
  s.messages = {"Error in LoadPictureFile line *"};
  // A picture whose size in pixels cannot be worked out is drawn at what
  // comes out (nothing for 0), not refused.
  s.tolerated = {"GetDeviceCaps", "MulDiv"};
  Check(s);
  DeleteFileA(path.c_str());
}

TEST_F(FaultSweepTest, MSLoadPicture) {
  Scene s;
  s.name = "MSLoadPicture";
  auto bytes = std::make_shared<std::string>(SmallBmp(12, 8));
  s.prepare = [this, bytes] {
    Stage();
    MSSetXForm(host_, 0, "", "", 4, 60, 4, 44, 0, 1, 1, 0);
    return std::vector<CallerArray>{{bytes->data(), bytes->size()}};
  };
  s.call = [this, bytes] {
    return MSLoadPicture(host_, bytes->data(), static_cast<unsigned>(bytes->size()));
  };
  s.messages = {"Error in MSLoadPicture line *",
                "This Message channel is not a valid picture channel.\n"};
  s.tolerated = {"GetDeviceCaps", "MulDiv"};
  Check(s);
}

// Every import vorda has is either swept or known to be unable to fail, so
// that a new import cannot slip past the sweep.
TEST(FaultSweepCoverage, EveryImportIsSweptOrCannotFail) {
  EXPECT_THAT(UnclassifiedImports(), IsEmpty());
}

}  // namespace
}  // namespace vorda_test

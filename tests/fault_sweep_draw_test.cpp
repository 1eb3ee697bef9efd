// The fault sweep of the text, marker, crosshair and trace-driver exports
// (see fault_sweep_test.cpp for the others): each scene rerun with every
// call vorda makes failing in turn.
#include <cmath>

#include "sweep_fixture.h"
#include "trace_scene.h"

namespace vorda_test {
namespace {

const std::vector<std::string> kTextMessages = {"In MSText. *", "In MSGetTextExtent. *"};

class FaultSweepDrawTest : public FaultSweepTest {
 protected:
  // A font for the text scenes, made by the test, not by vorda.
  std::shared_ptr<HFONT> TestFont() {
    auto font = std::shared_ptr<HFONT>(new HFONT(CreateFontA(-14, 0, 0, 0, FW_NORMAL, 0, 0, 0,
                                                             ANSI_CHARSET, 0, 0, 0, 0, "Arial")),
                                       [](HFONT* f) {
                                         DeleteObject(*f);
                                         delete f;
                                       });
    return font;
  }
};

TEST_F(FaultSweepDrawTest, MSNewFont) {
  for (const char* orientation : {"HORIZONTAL", "+VERTICAL"}) {
    Scene s;
    s.name = std::string("MSNewFont ") + orientation;
    auto font = std::make_shared<HFONT>(nullptr);
    s.prepare = [this, font] {
      Stage();
      *font = nullptr;
      return std::vector<CallerArray>{};
    };
    s.call = [this, font, orientation] {
      return MSNewFont(host_, font.get(), "Arial", 12, orientation, "HEAVY", 1, 0, 0);
    };
    s.finish = [font](Ledger& ledger, int) {
      if (!*font) return;
      ledger.Remove(*font);
      DeleteObject(*font);
    };
    s.messages = {"Unable to create font, CreateFont failed."};
    // Without the resolution the size comes out at what MulDiv gives.
    s.tolerated = {"GetDeviceCaps", "MulDiv"};
    Check(s);
  }
}

TEST_F(FaultSweepDrawTest, MSGetTextExtents) {
  Scene s;
  s.name = "MSGetTextExtents +VERTICAL";
  auto font = TestFont();
  auto text = std::make_shared<std::string>("Sweep 123");
  s.prepare = [this, text] {
    Stage();
    return std::vector<CallerArray>{{text->c_str(), text->size() + 1}};
  };
  s.call = [this, font, text] {
    int w = 0, h = 0;
    return MSGetTextExtents(host_, font.get(), text->c_str(), "+VERTICAL", &w, &h);
  };
  s.messages = kTextMessages;
  Check(s);
}

TEST_F(FaultSweepDrawTest, MSText) {
  for (int clip : {0, 1}) {
    Scene s;
    s.name = std::string("MSText centred on log axes, clip ") + (clip ? "on" : "off");
    auto font = TestFont();
    auto text = std::make_shared<std::string>("Sweep");
    s.prepare = [this, text, clip] {
      Stage(96, 48);
      MSSetXForm(host_, clip, "LOG10", "LOG10", 4, 90, 4, 44, 1, 100, 100, 1);
      return std::vector<CallerArray>{{text->c_str(), text->size() + 1}};
    };
    s.call = [this, font, text] {
      return MSText(host_, font.get(), text->c_str(), 10, 10, "HORIZONTAL", "CENTER", "BOTTOM",
                    0, 0, 1);
    };
    // The region a failed erase keeps is given back by the next call that
    // needs one.
    s.finish = [this](Ledger&, int) { MSSetXForm(host_, 0, "", "", 0, 96, 0, 48, 0, 96, 0, 48); };
    s.messages = kTextMessages;
    // A failed measurement is reported, then the text goes on unshifted
    // (the host's error call answered non-zero).
    s.maxMessages = 2;
    s.reportedResults = {kSweepErrorResult, 1};
    Check(s);
  }
}

TEST_F(FaultSweepDrawTest, Markers) {
  const std::vector<std::string> messages = {"In MSPolyPoints. *", "In MSPolyPointsEx. *",
                                             "In MSPolyLine. *", "In MSCrossHair. *"};
  {
    Scene s;
    s.name = "MSPolyPoints on log axes, a partial point at the end";
    auto data = std::make_shared<std::vector<double>>(
        std::vector<double>{1, 1, 10, 10, -5, 3, 50, std::nan(""), 60, 40, 7});
    s.prepare = [this, data] {
      Stage();
      MSSetXForm(host_, 0, "LOG10", "LOG10", 0, 64, 0, 48, 1, 64, 48, 1);
      return std::vector<CallerArray>{{data->data(), data->size() * sizeof(double)}};
    };
    s.call = [this, data] {
      return MSPolyPoints(host_, data->data(), static_cast<unsigned>(data->size()), 5, 1, 0, 0);
    };
    s.messages = messages;
    Check(s);
  }
  {
    Scene s;
    s.name = "MSPolyPointsEx, a circle, a square and no shape, on log axes";
    // X1, X2, Y1, Y2, size factor, red, green, blue, shape.
    auto data = std::make_shared<std::vector<double>>(std::vector<double>{
        2, 8, 2, 8, 0.5, 1, 0, 0, 1,  10, 30, 10, 30, 0.2, 0, 1, 0, 2,
        1, 2, 1, 2, 1, 0, 0, 1, 0,    5});
    s.prepare = [this, data] {
      Stage();
      MSSetXForm(host_, 0, "LOG10", "", 0, 64, 0, 48, 1, 64, 48, 0);
      return std::vector<CallerArray>{{data->data(), data->size() * sizeof(double)}};
    };
    s.call = [this, data] {
      return MSPolyPointsEx(host_, data->data(), static_cast<unsigned>(data->size()));
    };
    s.messages = messages;
    Check(s);
  }
}

TEST_F(FaultSweepDrawTest, CrossHairs) {
  // A horizontal and a vertical bar, on log axes.
  auto points = std::make_shared<std::vector<double>>(
      std::vector<double>{1, 10, 100, 10, 20, 1, 20, 100});
  auto slots = std::make_shared<std::vector<int>>(8, 0);
  auto stage = [this, points, slots] {
    Stage(64, 48);
    MSSetXForm(host_, 1, "LOG10", "LOG10", 2, 62, 2, 46, 1, 100, 100, 1);
    std::fill(slots->begin(), slots->end(), -1);
  };
  {
    Scene s;
    s.name = "MSCrossHair on log axes";
    s.prepare = [stage, points] {
      stage();
      return std::vector<CallerArray>{{points->data(), points->size() * sizeof(double)}};
    };
    s.call = [this, points, slots] {
      return MSCrossHair(host_, points->data(), 8, slots->data(), 8);
    };
    s.messages = {"In MSCrossHair. *"};
    Check(s);
  }
  {
    Scene s;
    s.name = "MSEraseCrossHairs of two bars";
    s.prepare = [this, stage, points, slots] {
      stage();
      MSCrossHair(host_, points->data(), 8, slots->data(), 8);
      return std::vector<CallerArray>{};
    };
    s.call = [this, slots] { return MSEraseCrossHairs(host_, slots->data(), 8); };
    s.messages = {"In MSEraseCrossHairs. *"};
    // Lifting the clip before erasing has no failure of its own.
    s.tolerated = {"SelectClipRgn"};
    Check(s);
  }
}

// The trace drivers, with a "Draw" routine that draws each block through
// MSPolyLine as a host's would: the nested calls are swept too.
TEST_F(FaultSweepDrawTest, TraceDrivers) {
  const std::vector<std::string> messages = {"In _CDrawXYTrace*", "In _CDrawXTTrace*",
                                             "Draw failed.", "In MSPolyLine. *"};
  enum Driver { kXY, kYT, kBars };
  for (Driver driver : {kXY, kYT, kBars}) {
    Scene s;
    s.name = driver == kXY   ? "_CDrawXYTrace, two bursts, one cut into blocks"
             : driver == kYT ? "_CDrawYTTrace, two bursts, one cut into blocks"
                             : "_CDrawYTBars, two bursts, one cut into blocks";
    auto pen = std::make_shared<HPEN>(nullptr);
    struct Handles {
      tarn::Handle draw = 0, x = 0, y = 0;
      std::unique_ptr<DrawRecorder> recorder;
    };
    auto handles = std::make_shared<Handles>();
    s.prepare = [this, pen, handles, driver] {
      Stage(200, 100);
      MSSetXForm(host_, 0, "", "", 0, 200, 0, 100, 0, 200000, 1e6, -1e6);
      *pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
      std::vector<tarn::Burst> bursts = {{0, 0, 100500}, {0, 150000, 150009}};
      handles->x = ScanChannel(3, 1.0, bursts);
      handles->y = ScanChannel(3, 1.0, bursts, -1);
      HostObject host = host_;
      handles->recorder = std::make_unique<DrawRecorder>([host, pen, handles](tarn::Handle) {
        const DrawnBlock& b = handles->recorder->blocks().back();
        int r = MSPolyLine(host, pen.get(), "LINE_STRIP", b.data.data(),
                           static_cast<unsigned>(b.data.size()));
        return r == 1 ? 1 : 0;
      });
      (void)driver;
      return std::vector<CallerArray>{};
    };
    s.call = [this, handles, driver] {
      switch (driver) {
        case kXY: return _CDrawXYTrace(host_, handles->recorder->object(), handles->x, handles->y, 1, 2);
        case kYT: return _CDrawYTTrace(host_, handles->recorder->object(), handles->y, 2);
        default: return _CDrawYTBars(host_, handles->recorder->object(), handles->y, 1);
      }
    };
    s.cleanUp = [pen, handles] {
      DeleteObject(*pen);
      handles->recorder.reset();
    };
    s.messages = messages;
    s.reportedResults = {0};
    s.maxMessages = 2;  // MSPolyLine's own, then "Draw failed."
    // The host stopping the work through its progress call is no failure:
    // 0 without a message. Results nobody tests: the progress object, its
    // caption and the TARN object.
    s.silentWhen = {"tarnProgress"};
    // The closing progress call (0 of 100) has no work left to stop.
    // A query about the device context that fails makes MSPolyLine draw
    // every point of the dense blocks, which gives the same picture.
    s.tolerated = {"tarnObjectGetObject", "tarnProgressNew", "tarnObjectSetCString",
                   "tarnProgress", "GetObjectType", "GetDeviceCaps", "GetObjectA", "GetROP2",
                   "GetMapMode", "GetWorldTransform", "SaveDC", "EndPath", "RestoreDC"};
    Check(s);
  }
}

}  // namespace
}  // namespace vorda_test

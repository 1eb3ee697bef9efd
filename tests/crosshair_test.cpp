// Crosshair cursors: bars inverted on real pixels, remembered in the
// host's slots and inverted back, with every refusal and failure.
#include <memory>
#include <vector>

#include "chain_hook.h"
#include "host_test.h"
#include "surface.h"

namespace vorda_test {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

constexpr COLORREF kBackground = RGB(10, 200, 30);
constexpr COLORREF kInverted = RGB(245, 55, 225);

// A horizontal bar from (5, 20) to (50, 20) and a vertical one from (30, 5)
// to (30, 40), in model units equal to pixels.
const double kCross[] = {5, 20, 50, 20, 30, 5, 30, 40};
const int kHorizontalBar[] = {5, 20, 50, 21};
const int kVerticalBar[] = {30, 5, 31, 40};

std::vector<int> FreeSlots(int count) { return std::vector<int>(4 * count, -1); }

class CrossHairTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    surface_.Fill(kBackground);
    ASSERT_EQ(MSEnable(host_, surface_.dc()), 1);
    ASSERT_EQ(MSSetXForm(host_, 0, "LINEAR", "LINEAR", 0, 64, 0, 48, 0, 64, 0, 48), 1);
  }
  bool Clipped() {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    int result = GetClipRgn(surface_.dc(), region);
    DeleteObject(region);
    return result == 1;
  }
  // Whether exactly the pixels of the two bars of kCross are inverted
  // (their crossing pixel, inverted twice, is not).
  bool CrossShown() const { return InvertedPixels() == InvertedCross(); }
  std::vector<bool> InvertedPixels() const {
    std::vector<bool> inverted;
    for (int y = 0; y < surface_.height(); ++y)
      for (int x = 0; x < surface_.width(); ++x)
        inverted.push_back(surface_.Pixel(x, y) == kInverted);
    return inverted;
  }
  std::vector<bool> InvertedCross() const {
    std::vector<bool> inverted;
    for (int y = 0; y < surface_.height(); ++y)
      for (int x = 0; x < surface_.width(); ++x) {
        bool horizontal = y == 20 && x >= 5 && x < 50;
        bool vertical = x == 30 && y >= 5 && y < 40;
        inverted.push_back(horizontal != vertical);
      }
    return inverted;
  }
  int Inverted() const { return surface_.Count(kInverted); }

  DibSurface surface_{64, 48};
};

TEST_F(CrossHairTest, BarsAreInvertedAndErasedBackToThePictureUnderneath) {
  ASSERT_EQ(MSSetXForm(host_, 1, "LINEAR", "LINEAR", 0, 64, 0, 48, 0, 64, 0, 48), 1);
  std::vector<int> slots = FreeSlots(3);
  ASSERT_EQ(MSCrossHair(host_, kCross, 8, slots.data(), 12), 1);
  EXPECT_TRUE(CrossShown());
  EXPECT_EQ(surface_.Pixel(30, 20), kBackground);
  EXPECT_EQ(Inverted(), 45 + 35 - 2);
  EXPECT_THAT(slots, ElementsAre(5, 20, 50, 21, 30, 5, 31, 40, -1, -1, -1, -1));
  EXPECT_TRUE(Clipped());  // drawing leaves the clip alone

  ASSERT_EQ(MSEraseCrossHairs(host_, slots.data(), 12), 1);
  EXPECT_EQ(surface_.Count(kBackground), 64 * 48);
  EXPECT_THAT(slots, ElementsAreArray(FreeSlots(3)));
  EXPECT_FALSE(Clipped());
  EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(CrossHairTest, ABarAlreadyRememberedIsNotInvertedAgain) {
  std::vector<int> slots = FreeSlots(4);
  ASSERT_EQ(MSCrossHair(host_, kCross, 8, slots.data(), 16), 1);
  ASSERT_EQ(MSCrossHair(host_, kCross, 8, slots.data(), 16), 1);
  EXPECT_TRUE(CrossShown());
  EXPECT_THAT(slots, ElementsAre(5, 20, 50, 21, 30, 5, 31, 40, -1, -1, -1, -1, -1, -1, -1, -1));

  // A crosshair sharing the vertical bar adds only its horizontal one, in
  // the first free slot; only the first int of a slot tells it is free.
  slots[0] = -1;
  const double moved[] = {5, 30, 50, 30, 30, 5, 30, 40};
  ASSERT_EQ(MSCrossHair(host_, moved, 8, slots.data(), 16), 1);
  EXPECT_THAT(slots, ElementsAre(5, 30, 50, 31, 30, 5, 31, 40, -1, -1, -1, -1, -1, -1, -1, -1));
  EXPECT_EQ(surface_.Pixel(10, 30), kInverted);
  EXPECT_EQ(surface_.Pixel(30, 30), kBackground);  // crossing of the new bar and the old vertical
  EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(CrossHairTest, WithoutSlotsEveryCallInvertsSoASecondOneRemovesTheCrosshair) {
  ASSERT_EQ(MSCrossHair(host_, kCross, 8, nullptr, 0), 1);
  EXPECT_TRUE(CrossShown());
  ASSERT_EQ(MSCrossHair(host_, kCross, 8, nullptr, 0), 1);
  EXPECT_EQ(surface_.Count(kBackground), 64 * 48);
  EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(CrossHairTest, BarsFindingNoFreeSlotStayOnScreenAfterErasing) {
  std::vector<int> slots = FreeSlots(1);
  ASSERT_EQ(MSCrossHair(host_, kCross, 8, slots.data(), 4), 1);
  EXPECT_TRUE(CrossShown());
  EXPECT_THAT(slots, ElementsAreArray(kHorizontalBar));
  ASSERT_EQ(MSEraseCrossHairs(host_, slots.data(), 4), 1);
  // The vertical bar was never remembered: it alone is left, crossing pixel included.
  EXPECT_EQ(Inverted(), 35);
  EXPECT_EQ(surface_.Pixel(30, 20), kInverted);
  EXPECT_THAT(slots, ElementsAre(-1, -1, -1, -1));
  EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(CrossHairTest, WrongSizesAndMissingArraysAreRefusedWithNothingChanged) {
  std::vector<int> slots = FreeSlots(2);
  const double nine[] = {5, 20, 50, 20, 30, 5, 30, 40, 0};
  struct Case {
    const double* points;
    int count;
    int* slots;
    unsigned slotInts;
  } cases[] = {
      {nine, 7, slots.data(), 8},    {nine, 9, slots.data(), 8}, {kCross, 8, slots.data(), 6},
      {nullptr, 8, slots.data(), 8}, {kCross, 8, nullptr, 8},
  };
  for (const Case& c : cases) {
    tarn::host().ClearErrors();
    tarn::host().SetErrorResult(5);
    EXPECT_EQ(MSCrossHair(host_, c.points, c.count, c.slots, c.slotInts), 5);
    EXPECT_THAT(Messages(), ElementsAre("In MSCrossHair. Invalid size."));
  }
  EXPECT_EQ(surface_.Count(kBackground), 64 * 48);
  EXPECT_THAT(slots, ElementsAreArray(FreeSlots(2)));

  // Refusing to erase leaves the clip region in place.
  ASSERT_EQ(MSSetXForm(host_, 1, "LINEAR", "LINEAR", 0, 64, 0, 48, 0, 64, 0, 48), 1);
  ASSERT_EQ(MSCrossHair(host_, kCross, 8, slots.data(), 8), 1);
  std::vector<int> before = slots;
  for (auto [array, count] : {std::pair<int*, unsigned>{slots.data(), 6}, {nullptr, 4}}) {
    tarn::host().ClearErrors();
    EXPECT_EQ(MSEraseCrossHairs(host_, array, count), 5);
    EXPECT_THAT(Messages(), ElementsAre("In MSEraseCrossHairs. Invalid size."));
  }
  EXPECT_EQ(slots, before);
  EXPECT_TRUE(Clipped());
  EXPECT_TRUE(CrossShown());
}

TEST_F(CrossHairTest, ErasingFreeSlotsOnlyRemovesTheClip) {
  ASSERT_EQ(MSSetXForm(host_, 1, "LINEAR", "LINEAR", 0, 64, 0, 48, 0, 64, 0, 48), 1);
  std::vector<int> slots = FreeSlots(2);
  ASSERT_EQ(MSEraseCrossHairs(host_, slots.data(), 8), 1);
  ASSERT_EQ(MSEraseCrossHairs(host_, nullptr, 0), 1);
  EXPECT_FALSE(Clipped());
  EXPECT_EQ(surface_.Count(kBackground), 64 * 48);
  EXPECT_THAT(slots, ElementsAreArray(FreeSlots(2)));
  EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(CrossHairTest, AFailedInversionStopsWhereItHappened) {
  auto failSecond = [] {
    return FailNth<decltype(InvertRect)>("user32.dll", "InvertRect", 2, FALSE);
  };
  tarn::host().SetErrorResult(-2);
  std::vector<int> slots = FreeSlots(2);
  {
    auto failing = failSecond();
    EXPECT_EQ(MSCrossHair(host_, kCross, 8, slots.data(), 8), -2);
  }
  EXPECT_THAT(Messages(), ElementsAre("In MSCrossHair. InvertRect failed."));
  // The horizontal bar is on and remembered; the vertical one neither.
  EXPECT_THAT(slots, ElementsAre(5, 20, 50, 21, -1, -1, -1, -1));
  EXPECT_EQ(surface_.Pixel(10, 20), kInverted);
  EXPECT_EQ(surface_.Pixel(30, 10), kBackground);

  ASSERT_EQ(MSCrossHair(host_, kCross, 8, slots.data(), 8), 1);
  ASSERT_TRUE(CrossShown());
  ASSERT_EQ(MSSetXForm(host_, 1, "LINEAR", "LINEAR", 0, 64, 0, 48, 0, 64, 0, 48), 1);
  tarn::host().ClearErrors();
  {
    auto failing = failSecond();
    EXPECT_EQ(MSEraseCrossHairs(host_, slots.data(), 8), -2);
  }
  EXPECT_THAT(Messages(), ElementsAre("In MSEraseCrossHairs. InvertRect failed."));
  // The first slot is freed and its bar gone; the second keeps its bar.
  EXPECT_THAT(slots, ElementsAre(-1, -1, -1, -1, 30, 5, 31, 40));
  EXPECT_EQ(Inverted(), 35);
  EXPECT_FALSE(Clipped());
}

TEST_F(CrossHairTest, LogarithmicAxesAndFarPointsGiveClampedWidenedBars) {
  // x logarithmic 1..1000 on device 500..800 (XScale 100, XOffset 500);
  // y linear 2..0 on 0..100 (YScale -50, YOffset 100), so LogFloor is -2.
  ASSERT_EQ(MSSetXForm(host_, 0, "LOG10", "LINEAR", 500, 800, 0, 100, 1, 1000, 2, 0), 1);
  const double cross[] = {0, 1, 10, 1, 1e300, 2, 1e300, -1e6};
  const std::vector<double> before(std::begin(cross), std::end(cross));
  std::vector<int> slots = FreeSlots(2);
  ASSERT_EQ(MSCrossHair(host_, cross, 8, slots.data(), 8), 1);
  // x 0 sits at LogFloor, device 300; x 1e300 clamps to 16383 and widens to
  // 16384; y -1e6 lies at device 5e7 and clamps to 16383.
  EXPECT_THAT(slots, ElementsAre(300, 50, 600, 51, 16383, 0, 16384, 16383));
  EXPECT_EQ(std::vector<double>(std::begin(cross), std::end(cross)), before);
  EXPECT_THAT(Messages(), IsEmpty());
}

}  // namespace
}  // namespace vorda_test

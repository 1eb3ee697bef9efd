// MSCrossHair and MSEraseCrossHairs: crosshair bars drawn by inverting
// pixels, remembered in the host's slot array and inverted back to erase.
#include <cstring>

#include "gdi/crosshair_slots.h"
#include "gdi/plot_state.h"
#include "host/report.h"
#include "vorda.h"

using namespace vorda;

namespace {

bool Invert(const BarRect& bar) {
  RECT r{bar.left, bar.top, bar.right, bar.bottom};
  return InvertRect(plotState.CurrentDc, &r) != 0;
}

}  // namespace

extern "C" int __cdecl MSCrossHair(HostObject host, const double* points, int count, int* slots,
                                   unsigned slotInts) {
  // A missing array is refused like one of the wrong size.
  if (count != static_cast<int>(kCrossHairDoubles) || !points || !ValidSlotCount(slotInts) ||
      (slotInts != 0 && !slots))
    return ReportError(host, kCrossHairInvalidSize);

  // Eight doubles: the working copy lives on the stack, so it cannot fail
  // to be made and the caller's values are never written.
  double values[kCrossHairDoubles];
  std::memcpy(values, points, sizeof values);
  ApplyLogAxes(values, kCrossHairDoubles, plotState.XIsLog != 0, plotState.YIsLog != 0,
               CurrentLogFloor());

  // The first segment is the horizontal bar, the second the vertical one.
  for (int segment = 0; segment < 2; ++segment) {
    const double* ends = values + kSegmentDoubles * segment;
    BarRect bar = CrossHairBar(plotState.Transform, ends, segment == 1);
    // A bar already on would be erased by a second inversion.
    if (SlotsHold(slots, slotInts, bar)) continue;
    if (!Invert(bar)) return ReportError(host, kCrossHairInvertRectFailed);
    // With every slot taken the bar stays inverted but is not remembered.
    StoreInFreeSlot(slots, slotInts, bar);
  }
  return 1;
}

extern "C" int __cdecl MSEraseCrossHairs(HostObject host, int* slots, unsigned slotInts) {
  if (!ValidSlotCount(slotInts) || (slotInts != 0 && !slots))
    return ReportError(host, kEraseCrossHairsInvalidSize);
  // Each bar is inverted back whole, whatever clip is in force now; the
  // device context stays unclipped afterwards.
  SelectClipRgn(plotState.CurrentDc, nullptr);
  for (uint32_t i = 0; i < slotInts; i += kSlotInts) {
    int32_t* slot = slots + i;
    if (SlotIsFree(slot)) continue;
    if (!Invert(SlotBar(slot)))
      return ReportError(host, kEraseCrossHairsInvertRectFailed);
    FreeSlot(slot);
  }
  return 1;
}

#include "gdi/crosshair_slots.h"

namespace vorda {

BarRect CrossHairBar(const WorldTransform& t, const double* segment, bool vertical) {
  DevicePoint a = ToDevice(t, segment[0], segment[1]);
  DevicePoint b = ToDevice(t, segment[2], segment[3]);
  BarRect bar{a.x, a.y, b.x, b.y};
  if (vertical)
    bar.right += 1;
  else
    bar.bottom += 1;
  return bar;
}

bool SlotsHold(const int32_t* slots, uint32_t slotInts, const BarRect& bar) {
  for (uint32_t i = 0; i + kSlotInts <= slotInts; i += kSlotInts) {
    const int32_t* s = slots + i;
    if (s[0] == bar.left && s[1] == bar.top && s[2] == bar.right && s[3] == bar.bottom) return true;
  }
  return false;
}

bool StoreInFreeSlot(int32_t* slots, uint32_t slotInts, const BarRect& bar) {
  for (uint32_t i = 0; i + kSlotInts <= slotInts; i += kSlotInts) {
    int32_t* s = slots + i;
    if (!SlotIsFree(s)) continue;
    s[0] = bar.left;
    s[1] = bar.top;
    s[2] = bar.right;
    s[3] = bar.bottom;
    return true;
  }
  return false;
}

}  // namespace vorda

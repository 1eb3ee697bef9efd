// Crosshair bars and the host's slot array that remembers which bars are
// inverted on the device. Pure code.
#pragma once

#include <cstdint>

#include "gdi/conversions.h"

namespace vorda {

// A crosshair: two segments of two points, x at even and y at odd indexes.
constexpr uint32_t kCrossHairDoubles = VORDA_CROSSHAIR_DOUBLES;
constexpr uint32_t kSegmentDoubles = kCrossHairDoubles / 2;
// A slot: left, top, right, bottom of one inverted bar; free when its first
// int is kFreeSlot. Stored bars have non-negative corners, so a free slot
// never equals one.
constexpr uint32_t kSlotInts = VORDA_CROSSHAIR_SLOT_INTS;
constexpr int32_t kFreeSlot = VORDA_FREE_SLOT;

struct BarRect {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;
};

inline bool ValidSlotCount(uint32_t slotInts) { return slotInts % kSlotInts == 0; }

// The bar of one segment (four doubles in axis values), widened by one
// pixel after clamping so that it is never empty: downward for the
// horizontal bar, rightward for the vertical one. Corners are not reordered.
BarRect CrossHairBar(const WorldTransform& t, const double* segment, bool vertical);

// Whether any slot holds exactly this bar.
bool SlotsHold(const int32_t* slots, uint32_t slotInts, const BarRect& bar);

// Stores the bar in the first free slot; false when none is free.
bool StoreInFreeSlot(int32_t* slots, uint32_t slotInts, const BarRect& bar);

inline bool SlotIsFree(const int32_t* slot) { return slot[0] == kFreeSlot; }
inline BarRect SlotBar(const int32_t* slot) { return {slot[0], slot[1], slot[2], slot[3]}; }
inline void FreeSlot(int32_t* slot) {
  for (uint32_t i = 0; i < kSlotInts; ++i) slot[i] = kFreeSlot;
}

}  // namespace vorda

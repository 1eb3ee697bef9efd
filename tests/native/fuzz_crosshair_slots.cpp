// The crosshair slots: a bar is on the device and never empty along its
// thin side; slot searches and stores stay inside the host's slot array
// (an exact-size heap block), a store takes the first free slot only and
// touches nothing else, and a stored bar is found again.
#include <vector>

#include "fuzz_input.h"
#include "gdi/crosshair_slots.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  vorda_fuzz::Input in(bytes, size);
  vorda::WorldTransform t{in.Double(), in.Double(), in.Double(), in.Double()};
  if (in.U8() % 2) t = {1, 1, 0, 0};
  double* segment = new double[4];
  for (int i = 0; i < 4; ++i) segment[i] = in.Double();
  bool vertical = in.U8() & 1;
  vorda::BarRect bar = vorda::CrossHairBar(t, segment, vertical);
  delete[] segment;
  auto on = [](int32_t v) { return v >= 0 && v <= 16384; };
  FUZZ_CHECK(on(bar.left) && on(bar.top) && on(bar.right) && on(bar.bottom), "bar %d,%d,%d,%d",
             bar.left, bar.top, bar.right, bar.bottom);
  FUZZ_CHECK(bar.left >= 0 && bar.top >= 0, "a stored bar must not look like a free slot");

  uint32_t slotInts = (in.U8() % 6) * vorda::kSlotInts + (in.U8() % 4 == 0 ? in.U8() % 4 : 0);
  std::vector<int32_t> before(slotInts);
  for (int32_t& s : before) s = in.U8() % 3 == 0 ? vorda::kFreeSlot : static_cast<int32_t>(in.U8() % 8);
  int32_t* slots = new int32_t[slotInts ? slotInts : 1];
  std::copy(before.begin(), before.end(), slots);
  bool held = vorda::SlotsHold(slots, slotInts, bar);
  bool stored = vorda::StoreInFreeSlot(slots, slotInts, bar);
  uint32_t whole = slotInts / vorda::kSlotInts * vorda::kSlotInts;
  uint32_t firstFree = whole;
  for (uint32_t i = 0; i < whole; i += vorda::kSlotInts)
    if (before[i] == vorda::kFreeSlot) {
      firstFree = i;
      break;
    }
  FUZZ_CHECK(stored == (firstFree < whole), "stored %d with the first free slot at %u", stored,
             firstFree);
  for (uint32_t i = 0; i < slotInts; ++i) {
    bool inStored = stored && i >= firstFree && i < firstFree + vorda::kSlotInts;
    if (!inStored) FUZZ_CHECK(slots[i] == before[i], "slot int %u changed", i);
  }
  if (stored) FUZZ_CHECK(vorda::SlotsHold(slots, slotInts, bar), "a stored bar is not found");
  (void)held;
  delete[] slots;
  return 0;
}

#include "gdi/column_reduce.h"

namespace vorda {

// GDI numbers its sixteen mix modes so that mode - 1 is their truth table:
// the result bit for pen bit P and destination bit D is bit 2P + D. Modes
// work bit by bit, so for each pen bit a mode is one of four functions of
// the destination bit: always 0, always 1, D itself, or not D. The first
// three give the same bit when applied again; inversion does not. A mode is
// idempotent exactly when it inverts the destination for neither pen bit,
// which leaves R2_BLACK, R2_MASKNOTPEN, R2_NOTCOPYPEN, R2_MASKPEN, R2_NOP,
// R2_MERGENOTPEN, R2_COPYPEN, R2_MERGEPEN and R2_WHITE.
bool IsIdempotentMix(int mixMode) {
  if (mixMode < 1 || mixMode > 16) return false;
  const unsigned table = static_cast<unsigned>(mixMode - 1);
  for (unsigned pen = 0; pen < 2; ++pen) {
    const bool onZero = (table >> (2 * pen)) & 1u;
    const bool onOne = (table >> (2 * pen + 1)) & 1u;
    if (onZero && !onOne) return false;
  }
  return true;
}

}  // namespace vorda

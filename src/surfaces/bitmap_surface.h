// The off-screen bitmap surface and its BMP writer.
#pragma once

#include <windows.h>

#include <cstdint>

#include "host/report.h"

namespace vorda {

// Shared by the bitmap operations for their numbered messages.
extern MessageBuffer bitmapMessage;

// A message numbered with the system's last-error code, formatted into the
// bitmap operations' buffer.
inline Failure WithErrorCode(FormattedMessage message, DWORD code) {
  return {bitmapMessage, message, static_cast<int>(code)};
}

// The info header and the room for its colour table, zero-filled.
struct HeaderBlock {
  BITMAPINFO* info;
  uint32_t tableEntries;  // room in the colour table
  bool sizeFits;          // false when the pixel rows overflow a 32-bit size
};

// Writes the bitmap selected into dc to a BMP file with the header block
// filled in by the caller; the pixel fetch may update the block. A failure
// names the writer's step.
Failure CreateBMPFile(const char* fileName, const HeaderBlock& block, HBITMAP bitmap, HDC dc);

}  // namespace vorda

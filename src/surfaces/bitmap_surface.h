// The off-screen bitmap surface and its BMP writer.
#pragma once

#include <windows.h>

#include <cstdint>

#include "tarnapi.h"

namespace vorda {

// Shared by the bitmap operations for their numbered messages.
extern char bitmapMessage[512];

// The info header and the room for its colour table, zero-filled.
struct HeaderBlock {
  BITMAPINFO* info;
  uint32_t tableEntries;  // room in the colour table
  bool sizeFits;          // false when the pixel rows overflow a 32-bit size
};

// Writes the bitmap selected into dc to a BMP file with the header block
// filled in by the caller; the pixel fetch may update the block. Returns 1,
// or the error call's result after a report.
int CreateBMPFile(HostObject host, const char* fileName, const HeaderBlock& block, HBITMAP bitmap,
                  HDC dc);

}  // namespace vorda

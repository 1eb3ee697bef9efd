// Writes the bitmap of a memory device context (a surface that
// MSCreateBitmapDC made and vorda drew on) to a PNG file through the
// platform's own encoder, the Windows Imaging Component.
#pragma once

#include <windows.h>

#include <string>

namespace chart {

// Ends the surface on every path: the device context and its bitmap are
// deleted. False with the reason in `error` when no complete file was
// written (a partial one is removed).
bool SavePngAndEndSurface(HDC dc, const std::string& path, std::string* error);

}  // namespace chart

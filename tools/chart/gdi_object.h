// A GDI object the tool made and deletes when done with it: pens and fonts
// made through vorda for the tool, and a surface's bitmap once its device
// context has let go of it. Each kind keeps a handle variable of its own
// type, because vorda writes pens and fonts into an HPEN or HFONT.
#pragma once

#include <windows.h>

namespace chart {

template <class Handle>
struct GdiObject {
  Handle handle = nullptr;
  GdiObject() = default;
  explicit GdiObject(Handle h) : handle(h) {}
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  ~GdiObject() {
    if (handle) DeleteObject(handle);
  }
  Handle* get() { return &handle; }
};

using Pen = GdiObject<HPEN>;
using Font = GdiObject<HFONT>;
using Bitmap = GdiObject<HBITMAP>;

// Ends an off-screen surface without saving it: the device context first,
// because a bitmap cannot be deleted while a device context holds it.
inline void DeleteBitmapSurface(HDC dc) {
  Bitmap bitmap(static_cast<HBITMAP>(GetCurrentObject(dc, OBJ_BITMAP)));
  DeleteDC(dc);
}

}  // namespace chart

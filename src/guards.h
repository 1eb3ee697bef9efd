// Small owners for platform handles, so that every path out of an
// operation, failures included, gives back what it made.
#pragma once

#include <windows.h>

#include <utility>

namespace vorda {

// Whether SelectObject selected: it gives null, or for a region
// HGDI_ERROR, when it did not. Refusing both means an object not selected
// is never taken for a selected one.
inline bool Selected(HGDIOBJ previous) { return previous != nullptr && previous != HGDI_ERROR; }

// Owns a handle and closes it with Close unless released first.
template <typename Handle, typename Close>
class Owned {
 public:
  Owned() = default;
  explicit Owned(Handle h) : handle_(h) {}
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  ~Owned() { reset(); }

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != Handle(); }
  Handle release() { return std::exchange(handle_, Handle()); }
  void reset(Handle h = Handle()) {
    if (handle_ != Handle()) Close()(handle_);
    handle_ = h;
  }

 private:
  Handle handle_ = Handle();
};

struct DeleteGdiObject {
  void operator()(HGDIOBJ h) const { DeleteObject(h); }
};
struct DeleteDeviceContext {
  void operator()(HDC h) const { DeleteDC(h); }
};
struct FreeGlobal {
  void operator()(HGLOBAL h) const { GlobalFree(h); }
};

template <typename H>
using OwnedGdi = Owned<H, DeleteGdiObject>;
using OwnedDc = Owned<HDC, DeleteDeviceContext>;
using OwnedGlobal = Owned<HGLOBAL, FreeGlobal>;

// A file handle; the invalid value is INVALID_HANDLE_VALUE, not null.
class OwnedFile {
 public:
  explicit OwnedFile(HANDLE h) : handle_(h) {}
  OwnedFile(const OwnedFile&) = delete;
  OwnedFile& operator=(const OwnedFile&) = delete;
  ~OwnedFile() {
    if (valid()) CloseHandle(handle_);
  }
  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
  // Closes now and reports whether the close succeeded.
  bool close() {
    HANDLE h = std::exchange(handle_, INVALID_HANDLE_VALUE);
    return h != INVALID_HANDLE_VALUE && CloseHandle(h) != 0;
  }

 private:
  HANDLE handle_;
};

// The screen's device context, given back when done.
class ScreenDc {
 public:
  ScreenDc() : dc_(GetDC(nullptr)) {}
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
  ~ScreenDc() {
    if (dc_) ReleaseDC(nullptr, dc_);
  }
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

}  // namespace vorda

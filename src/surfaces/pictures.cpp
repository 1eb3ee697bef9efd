// MSLoadPictureFile and MSLoadPicture: a picture in any format the OLE
// picture loader reads, drawn on the current device context at its natural
// size, or fitted into the area of the model unit square.
#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include <cstdint>
#include <cstring>

#include "gdi/plot_state.h"
#include "guards.h"
#include "host/report.h"
#include "surfaces/picture_bytes.h"
#include "surfaces/picture_fit.h"
#include "vorda.h"

namespace vorda {

namespace {

// Shared by the two picture operations for their messages.
MessageBuffer pictureMessage;

struct ReleaseUnknown {
  void operator()(IUnknown* object) const { object->Release(); }
};
template <typename Interface>
using OwnedCom = Owned<Interface*, ReleaseUnknown>;

// Keeps a movable global block locked while it lives.
class LockedGlobal {
 public:
  explicit LockedGlobal(HGLOBAL block) : block_(block), bytes_(GlobalLock(block)) {}
  LockedGlobal(const LockedGlobal&) = delete;
  LockedGlobal& operator=(const LockedGlobal&) = delete;
  ~LockedGlobal() {
    if (bytes_) GlobalUnlock(block_);
  }
  void* get() const { return bytes_; }

 private:
  HGLOBAL block_;
  void* bytes_;
};

// The numbered steps of the two operations, formatted into their buffer.
Failure FileStep(PictureFileStep step) {
  return {pictureMessage, kLoadPictureFileLine, static_cast<int>(step)};
}
Failure BytesStep(PictureBytesStep step) {
  return {pictureMessage, kLoadPictureLine, static_cast<int>(step)};
}
Failure NotAPicture() { return {pictureMessage, kNotAPictureChannel, 0}; }

// A memory stream over the block that frees the block when the stream is
// freed. The stream owns the block only once it exists; until then, and
// when it cannot be made, the block stays the caller's to free.
IStream* StreamOver(OwnedGlobal& block) {
  IStream* stream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(block.get(), TRUE, &stream)) || !stream) return nullptr;
  block.release();
  return stream;
}

IPicture* LoadPicture(IStream* stream, uint32_t byteCount) {
  void* made = nullptr;
  HRESULT result =
      OleLoadPicture(stream, static_cast<LONG>(byteCount), FALSE, IID_IPicture, &made);
  IPicture* picture = static_cast<IPicture*>(made);
  if (FAILED(result)) {
    if (picture) picture->Release();
    return nullptr;
  }
  return picture;
}

struct HimetricSize {
  OLE_XSIZE_HIMETRIC width = 0;
  OLE_YSIZE_HIMETRIC height = 0;
};

HimetricSize SizeOf(IPicture* picture) {
  HimetricSize size;
  picture->get_Width(&size.width);
  picture->get_Height(&size.height);
  return size;
}

// Pixels of the current device context, rounded to the nearest.
int32_t ToPixelsX(OLE_XSIZE_HIMETRIC himetric) {
  return MulDiv(himetric, GetDeviceCaps(plotState.CurrentDc, LOGPIXELSX), 2540);
}
int32_t ToPixelsY(OLE_YSIZE_HIMETRIC himetric) {
  return MulDiv(himetric, GetDeviceCaps(plotState.CurrentDc, LOGPIXELSY), 2540);
}

// The whole picture, upright (its HIMETRIC origin is the bottom-left), into
// the device rectangle.
void Render(IPicture* picture, const HimetricSize& size, const DeviceArea& to) {
  picture->Render(plotState.CurrentDc, to.left, to.top, to.width, to.height, 0, size.height,
                  size.width, -size.height, nullptr);
}

}  // namespace
}  // namespace vorda

using namespace vorda;

extern "C" int __cdecl MSLoadPictureFile(HostObject host, const char* fileName) {
  if (!fileName) return ReportError(host, FileStep(PictureFileStep::kOpen));
  OwnedFile file(CreateFileA(fileName, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return ReportError(host, FileStep(PictureFileStep::kOpen));

  // The loader takes the size as a signed 32-bit count: refuse larger files
  // rather than hand it a wrong one.
  DWORD high = 0;
  DWORD size = GetFileSize(file.get(), &high);
  if (size == INVALID_FILE_SIZE || high != 0 || size > INT32_MAX)
    return ReportError(host, FileStep(PictureFileStep::kSize));

  OwnedGlobal block(GlobalAlloc(GMEM_MOVEABLE, size));
  if (!block) return ReportError(host, FileStep(PictureFileStep::kAllocate));
  {
    LockedGlobal bytes(block.get());
    if (!bytes.get()) return ReportError(host, FileStep(PictureFileStep::kLock));
    DWORD read = 0;
    // A short read would hand the loader bytes that were never read.
    if (!ReadFile(file.get(), bytes.get(), size, &read, nullptr) || read != size)
      return ReportError(host, FileStep(PictureFileStep::kRead));
    if (!BmpBytesComplete(static_cast<const uint8_t*>(bytes.get()), size))
      return ReportError(host, FileStep(PictureFileStep::kLoad));
  }
  file.close();

  OwnedCom<IStream> stream(StreamOver(block));
  if (!stream) return ReportError(host, FileStep(PictureFileStep::kStream));
  OwnedCom<IPicture> picture(LoadPicture(stream.get(), size));
  if (!picture) return ReportError(host, FileStep(PictureFileStep::kLoad));
  stream.reset();

  HimetricSize himetric = SizeOf(picture.get());
  DeviceArea natural{0, 0, ToPixelsX(himetric.width), ToPixelsY(himetric.height)};
  if (natural.width != 0 && natural.height != 0) Render(picture.get(), himetric, natural);
  return 1;
}

extern "C" int __cdecl MSLoadPicture(HostObject host, const void* bytes, unsigned count) {
  // A channel without bytes holds no picture.
  if (!bytes) return ReportError(host, NotAPicture());
  if (!BmpBytesComplete(static_cast<const uint8_t*>(bytes), count))
    return ReportError(host, NotAPicture());

  OwnedGlobal block(GlobalAlloc(GMEM_MOVEABLE, count));
  if (!block) return ReportError(host, BytesStep(PictureBytesStep::kAllocate));
  {
    LockedGlobal copy(block.get());
    if (!copy.get()) return ReportError(host, BytesStep(PictureBytesStep::kLock));
    std::memcpy(copy.get(), bytes, count);
  }

  OwnedCom<IStream> stream(StreamOver(block));
  if (!stream) return ReportError(host, BytesStep(PictureBytesStep::kStream));
  OwnedCom<IPicture> picture(LoadPicture(stream.get(), count));
  if (!picture) return ReportError(host, NotAPicture());
  stream.reset();

  HimetricSize himetric = SizeOf(picture.get());
  DeviceArea placed;
  // The transform alone places the unit square, whatever the axis types.
  if (FitPicture(ToPixelsX(himetric.width), ToPixelsY(himetric.height),
                 UnitSquareArea(plotState.Transform), &placed))
    Render(picture.get(), himetric, placed);
  return 1;
}

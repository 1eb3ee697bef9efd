#include "png_writer.h"

#include <objbase.h>
#include <wincodec.h>

#include <cstdio>
#include <vector>

#include "gdi_object.h"

namespace chart {
namespace {

// One reference to a COM object, released when it goes.
template <typename T>
class Com {
 public:
  Com() = default;
  Com(const Com&) = delete;
  Com& operator=(const Com&) = delete;
  ~Com() {
    if (p_) p_->Release();
  }
  T** put() { return &p_; }
  T* operator->() const { return p_; }
  T* get() const { return p_; }

 private:
  T* p_ = nullptr;
};

// COM for this thread while the encoder works; a thread that already had
// it keeps it as it was.
class ComScope {
 public:
  ComScope() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  ~ComScope() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  bool usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }
  HRESULT result() const { return result_; }

 private:
  HRESULT result_;
};

std::string Hex(HRESULT hr) {
  char b[16];
  std::snprintf(b, sizeof b, "0x%08lX", static_cast<unsigned long>(hr));
  return b;
}

// The bitmap's pixels as rows of blue, green, red from the top, each row
// padded to four bytes as WIC takes them.
bool ReadPixels(HBITMAP bitmap, int* width, int* height, std::vector<BYTE>* rows, std::string* error) {
  BITMAP info{};
  if (!GetObjectA(bitmap, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0) {
    *error = "the chart's bitmap cannot be read";
    return false;
  }
  *width = info.bmWidth;
  *height = info.bmHeight;
  BITMAPINFO header{};
  header.bmiHeader.biSize = sizeof header.bmiHeader;
  header.bmiHeader.biWidth = info.bmWidth;
  header.bmiHeader.biHeight = -info.bmHeight;  // top row first
  header.bmiHeader.biPlanes = 1;
  header.bmiHeader.biBitCount = 24;
  header.bmiHeader.biCompression = BI_RGB;
  const size_t stride = (static_cast<size_t>(info.bmWidth) * 3 + 3) & ~size_t{3};
  rows->assign(stride * static_cast<size_t>(info.bmHeight), 0);
  HDC screen = GetDC(nullptr);
  int got = screen ? GetDIBits(screen, bitmap, 0, static_cast<UINT>(info.bmHeight), rows->data(), &header,
                               DIB_RGB_COLORS)
                   : 0;
  if (screen) ReleaseDC(nullptr, screen);
  if (got != info.bmHeight) {
    *error = "the chart's pixels cannot be read (GetDIBits failed)";
    return false;
  }
  return true;
}

bool Encode(const std::string& path, int width, int height, std::vector<BYTE>& rows, std::string* error) {
  ComScope com;
  if (!com.usable()) {
    *error = "COM cannot start (" + Hex(com.result()) + ")";
    return false;
  }
  std::wstring wide(path.size() + 1, L'\0');
  int n = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
  if (n <= 0) {
    *error = "the file name cannot be converted";
    return false;
  }
  Com<IWICImagingFactory> factory;
  Com<IWICStream> stream;
  Com<IWICBitmapEncoder> encoder;
  Com<IWICBitmapFrameEncode> frame;
  Com<IPropertyBag2> options;
  WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
  const UINT stride = static_cast<UINT>(rows.size() / static_cast<size_t>(height));
  HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                reinterpret_cast<void**>(factory.put()));
  const char* step = "making the imaging factory";
  if (SUCCEEDED(hr)) step = "opening the file", hr = factory->CreateStream(stream.put());
  if (SUCCEEDED(hr)) hr = stream->InitializeFromFilename(wide.c_str(), GENERIC_WRITE);
  if (SUCCEEDED(hr)) step = "making the PNG encoder", hr = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.put());
  if (SUCCEEDED(hr)) hr = encoder->Initialize(stream.get(), WICBitmapEncoderNoCache);
  if (SUCCEEDED(hr)) step = "encoding the image", hr = encoder->CreateNewFrame(frame.put(), options.put());
  if (SUCCEEDED(hr)) hr = frame->Initialize(options.get());
  if (SUCCEEDED(hr)) hr = frame->SetSize(static_cast<UINT>(width), static_cast<UINT>(height));
  if (SUCCEEDED(hr)) hr = frame->SetPixelFormat(&format);
  // The encoder could ask for another layout of pixels; this one is the
  // only one the rows are in.
  if (SUCCEEDED(hr) && !IsEqualGUID(format, GUID_WICPixelFormat24bppBGR)) hr = WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT;
  if (SUCCEEDED(hr)) hr = frame->WritePixels(static_cast<UINT>(height), stride, static_cast<UINT>(rows.size()), rows.data());
  if (SUCCEEDED(hr)) step = "finishing the file", hr = frame->Commit();
  if (SUCCEEDED(hr)) hr = encoder->Commit();
  if (FAILED(hr)) {
    *error = std::string("the PNG encoder failed ") + step + " (" + Hex(hr) + ")";
    return false;
  }
  return true;
}

}  // namespace

bool SavePngAndEndSurface(HDC dc, const std::string& path, std::string* error) {
  Bitmap bitmap(static_cast<HBITMAP>(GetCurrentObject(dc, OBJ_BITMAP)));
  // Deleting the device context lets go of its bitmap, which may only be
  // read while no device context holds it.
  DeleteDC(dc);
  int width = 0, height = 0;
  std::vector<BYTE> rows;
  if (!bitmap.handle) {
    *error = "the surface has no bitmap";
    return false;
  }
  if (!ReadPixels(static_cast<HBITMAP>(bitmap.handle), &width, &height, &rows, error)) return false;
  if (Encode(path, width, height, rows, error)) return true;
  DeleteFileA(path.c_str());
  return false;
}

}  // namespace chart

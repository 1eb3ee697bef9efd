#include "surface.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace vorda_test {

DibSurface::DibSurface(int width, int height, int bitsPerPixel)
    : width_(width), height_(height), bits_(bitsPerPixel) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = static_cast<WORD>(bitsPerPixel);
  info.bmiHeader.biCompression = BI_RGB;
  dc_ = CreateCompatibleDC(nullptr);
  bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &pixels_, nullptr, 0);
  if (!dc_ || !bitmap_) throw std::runtime_error("cannot make a DIB surface");
  previous_ = SelectObject(dc_, bitmap_);
  Fill(RGB(255, 255, 255));
}

DibSurface::~DibSurface() {
  SelectObject(dc_, previous_);
  DeleteObject(bitmap_);
  DeleteDC(dc_);
}

void DibSurface::Fill(COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  RECT all{0, 0, width_, height_};
  FillRect(dc_, &all, brush);
  DeleteObject(brush);
  GdiFlush();
}

COLORREF DibSurface::Pixel(int x, int y) const {
  GdiFlush();
  int stride = ((width_ * bits_ + 31) / 32) * 4;
  const uint8_t* row = static_cast<const uint8_t*>(pixels_) + static_cast<size_t>(y) * stride;
  switch (bits_) {
    case 32:
    case 24: {
      const uint8_t* p = row + x * (bits_ / 8);
      return RGB(p[2], p[1], p[0]);
    }
    case 16: {  // 5-5-5, widened so that full intensity reads as 255
      uint16_t v = static_cast<uint16_t>(row[x * 2] | (row[x * 2 + 1] << 8));
      auto widen = [](int c) { return static_cast<BYTE>((c << 3) | (c >> 2)); };
      return RGB(widen((v >> 10) & 31), widen((v >> 5) & 31), widen(v & 31));
    }
    default:
      throw std::runtime_error("unsupported depth");
  }
}

int DibSurface::Count(COLORREF colour) const {
  int n = 0;
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) n += Pixel(x, y) == colour;
  return n;
}

std::string Bmp24(int width, int height, const std::function<COLORREF(int, int)>& pixel) {
  const int stride = (width * 3 + 3) & ~3;
  const uint32_t pixelBytes = static_cast<uint32_t>(stride * height);
  std::string file(54 + pixelBytes, '\0');
  auto put = [&file](size_t at, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) file[at + i] = static_cast<char>(v >> (8 * i));
  };
  file[0] = 'B';
  file[1] = 'M';
  put(2, static_cast<uint32_t>(file.size()), 4);
  put(10, 54, 4);
  put(14, 40, 4);
  put(18, static_cast<uint32_t>(width), 4);
  put(22, static_cast<uint32_t>(height), 4);
  put(26, 1, 2);
  put(28, 24, 2);
  put(34, pixelBytes, 4);
  for (int y = 0; y < height; ++y) {
    size_t row = 54 + static_cast<size_t>(height - 1 - y) * stride;
    for (int x = 0; x < width; ++x) {
      COLORREF c = pixel(x, y);
      file[row + 3 * x] = static_cast<char>(GetBValue(c));
      file[row + 3 * x + 1] = static_cast<char>(GetGValue(c));
      file[row + 3 * x + 2] = static_cast<char>(GetRValue(c));
    }
  }
  return file;
}

const char* WineVersion() {
  using Version = const char*(CDECL*)();
  static const auto version = reinterpret_cast<Version>(
      GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version"));
  return version ? version() : nullptr;
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::string ReadText(const std::string& path) {
  std::string text;
  for (uint8_t c : ReadBytes(path))
    if (c != '\r') text.push_back(static_cast<char>(c));
  return text;
}

bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

namespace {

// The scratch directory of a test, or of the program outside its tests.
std::string ScratchDirectory(const ::testing::TestInfo* test) {
  std::string name = test ? std::string(test->test_suite_name()) + "." + test->name() : "program";
  for (char& c : name)
    if (c == '/') c = '-';  // parameterised tests
  char dir[MAX_PATH];
  GetTempPathA(MAX_PATH, dir);
  return std::string(dir) + "vorda-" + std::to_string(GetCurrentProcessId()) + "-" + name;
}

class RemoveScratch : public ::testing::EmptyTestEventListener {
  static void Remove(const ::testing::TestInfo* test) {
    std::error_code ignored;
    std::filesystem::remove_all(ScratchDirectory(test), ignored);
  }
  void OnTestEnd(const ::testing::TestInfo& test) override { Remove(&test); }
  void OnTestProgramEnd(const ::testing::UnitTest&) override { Remove(nullptr); }
};

// Registered with the first use of this file, before any test runs.
const bool kScratchRemoved =
    (::testing::UnitTest::GetInstance()->listeners().Append(new RemoveScratch), true);

}  // namespace

std::string TempPath(const std::string& name) {
  const std::string dir =
      ScratchDirectory(::testing::UnitTest::GetInstance()->current_test_info());
  CreateDirectoryA(dir.c_str(), nullptr);
  return dir + "\\" + name;
}

}  // namespace vorda_test

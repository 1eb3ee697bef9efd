// The off-screen bitmap surface and the BMP files written from it, read
// back byte by byte.
#include <fstream>

#include "host_test.h"
#include "chain_hook.h"
#include "file_readers.h"
#include "ledger.h"
#include "surface.h"

namespace vorda_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class BitmapTest : public HostTest {};

// A memory device context holding a DIB section of the given depth, with
// an asymmetric picture: red top-left, green top-right, blue bottom-left.
HDC AsymmetricSurface(int width, int height, int bits) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = static_cast<WORD>(bits);
  HDC dc = CreateCompatibleDC(nullptr);
  void* pixels = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
  SelectObject(dc, bitmap);
  PatBlt(dc, 0, 0, width, height, WHITENESS);
  SetPixel(dc, 0, 0, RGB(255, 0, 0));
  SetPixel(dc, width - 1, 0, RGB(0, 255, 0));
  SetPixel(dc, 0, height - 1, RGB(0, 0, 255));
  GdiFlush();
  return dc;
}

TEST_F(BitmapTest, InchSizesBecomeTruncatedPixelsAndTheSurfaceIsWhite) {
  Ledger ledger;
  struct Case {
    double wi, hi;
    int wp, hp;
    int expectW, expectH;
  } cases[] = {
      {2.0, 1.5, 7, 7, 192, 144},
      {2.01, 1.5, 7, 7, 192, 144},  // 192.96 truncates
      {0.0, 1.5, 30, 20, 30, 20},   // one zero inch value: the pixel sizes count
      {1.0, 0.0, 30, 20, 30, 20},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.wi);
    int w = c.wp, h = c.hp;
    HDC dc = MSCreateBitmapDC(host_, &c.wi, &c.hi, &w, &h);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(w, c.expectW);
    EXPECT_EQ(h, c.expectH);
    HBITMAP bitmap = static_cast<HBITMAP>(GetCurrentObject(dc, OBJ_BITMAP));
    BITMAP bm{};
    ASSERT_TRUE(GetObjectA(bitmap, sizeof bm, &bm));
    EXPECT_EQ(bm.bmWidth, c.expectW);
    EXPECT_EQ(bm.bmHeight, c.expectH);
    EXPECT_EQ(bm.bmBitsPixel, GetDeviceCaps(dc, BITSPIXEL)) << "the screen's depth";
    for (int y = 0; y < c.expectH; y += 7)
      for (int x = 0; x < c.expectW; x += 5) ASSERT_EQ(GetPixel(dc, x, y), RGB(255, 255, 255));
    ASSERT_EQ(MSSaveBitmapFile(host_, dc, TempPath("inch.bmp").c_str()), 1);
  }
  EXPECT_EQ(ledger.Leaks(), "");
  EXPECT_THAT(Messages(), IsEmpty());
}

// The bytes of the file written for a tiny asymmetric surface.
struct Expected {
  int bits;
  uint32_t sizeImage;
  uint16_t storedBits;
};

TEST_F(BitmapTest, SavedFilesHoldTheHeaderAndPaddedBottomUpRows) {
  for (Expected e : {Expected{32, 24, 32}, Expected{24, 24, 24}, Expected{16, 16, 16}}) {
    SCOPED_TRACE(e.bits);
    std::string path = TempPath("asym" + std::to_string(e.bits) + ".bmp");
    HDC dc = AsymmetricSurface(3, 2, e.bits);
    HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
    Ledger ledger;
    ASSERT_EQ(MSSaveBitmapFile(host_, dc, path.c_str()), 1);
    EXPECT_EQ(ledger.Leaks(), "");
    EXPECT_EQ(GetObjectType(dc), 0u) << "the device context is gone";
    EXPECT_EQ(GetObjectType(bitmap), 0u) << "the bitmap is gone";

    BmpFile f;
    ASSERT_TRUE(f.Load(path)) << "a BMP file with its headers and rows";
    uint32_t clrUsed = f.info.biClrUsed;
    // Windows keeps the 65536 entries asked for 16 bits; Wine's fetch sets
    // the count back to 0. Either way the file must agree with itself.
    if (e.bits == 16) {
      EXPECT_TRUE(clrUsed == 0 || clrUsed == 65536) << clrUsed;
      if (clrUsed == 0) std::printf("platform: the 16-bit fetch reset biClrUsed to 0 (Wine)\n");
    } else {
      EXPECT_EQ(clrUsed, 0u);
    }
    uint32_t offset = 14 + 40 + 4 * clrUsed;
    EXPECT_EQ(f.file.bfSize, offset + e.sizeImage) << "file size";
    EXPECT_EQ(f.bytes.size(), offset + e.sizeImage);
    EXPECT_EQ(f.file.bfReserved1 | f.file.bfReserved2, 0) << "reserved";
    EXPECT_EQ(f.file.bfOffBits, offset);
    EXPECT_EQ(f.info.biSize, 40u);
    EXPECT_EQ(f.info.biWidth, 3);
    EXPECT_EQ(f.info.biHeight, 2);
    EXPECT_EQ(f.info.biPlanes, 1);
    EXPECT_EQ(f.info.biBitCount, e.storedBits);
    EXPECT_EQ(f.info.biCompression, 0u) << "uncompressed";
    EXPECT_EQ(f.info.biSizeImage, e.sizeImage);

    // Rows bottom-up: row 0 of the file is the picture's bottom row. The
    // unused top bit of a 5-5-5 pixel is whatever the fill left there.
    auto pixel = [&](int x, int fileRow) { return f.Stored(x, fileRow) & (e.bits == 16 ? 0x7FFFu : ~0u); };
    const uint32_t red = e.bits == 16 ? 0x7C00 : 0xFF0000, green = e.bits == 16 ? 0x03E0 : 0x00FF00,
                   blue = e.bits == 16 ? 0x001F : 0x0000FF, white = e.bits == 16 ? 0x7FFF : 0xFFFFFF;
    EXPECT_EQ(pixel(0, 1), red);
    EXPECT_EQ(pixel(2, 1), green);
    EXPECT_EQ(pixel(0, 0), blue);
    EXPECT_EQ(pixel(1, 0), white);
    EXPECT_EQ(pixel(2, 0), white);
    if (e.bits == 24) {
      // 9 bytes of a row padded with zeros to 12.
      for (int pad = 9; pad < 12; ++pad) EXPECT_EQ(f.bytes[offset + pad], 0) << pad;
    }
    if (e.bits == 32) {
      EXPECT_EQ(f.bytes[offset + 3], 0) << "the fourth byte is 0";
    }
  }
  EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(BitmapTest, AnExistingFileIsReplaced) {
  std::string path = TempPath("replace.bmp");
  {
    std::ofstream junk(path, std::ios::binary);
    junk << std::string(5000, 'x');
  }
  ASSERT_EQ(MSSaveBitmapFile(host_, AsymmetricSurface(3, 2, 32), path.c_str()), 1);
  BmpFile f;
  EXPECT_TRUE(f.Load(path));
  EXPECT_EQ(f.bytes.size(), 78u);
}

TEST_F(BitmapTest, SurfaceCreationFailuresReportTheErrorCodeAndLeakNothing) {
  tarn::host().SetErrorResult(1);  // 0 comes back whatever the host says
  int w = 10, h = 10;
  Ledger ledger;
  {
    VORDA_HOOK(fail, "gdi32.dll", CreateCompatibleDC, [](HDC) -> HDC {
      SetLastError(1234);
      return nullptr;
    });
    EXPECT_EQ(MSCreateBitmapDC(host_, nullptr, nullptr, &w, &h), nullptr);
  }
  {
    VORDA_HOOK(fail, "gdi32.dll", CreateCompatibleBitmap, [](HDC, int, int) -> HBITMAP {
      SetLastError(8);
      return nullptr;
    });
    EXPECT_EQ(MSCreateBitmapDC(host_, nullptr, nullptr, &w, &h), nullptr);
  }
  {
    VORDA_HOOK(fail, "gdi32.dll", SelectObject, [](HDC, HGDIOBJ) -> HGDIOBJ {
      SetLastError(6);
      return nullptr;
    });
    EXPECT_EQ(MSCreateBitmapDC(host_, nullptr, nullptr, &w, &h), nullptr);
  }
  {
    VORDA_HOOK(fail, "gdi32.dll", BitBlt,
               [](HDC, int, int, int, int, HDC, int, int, DWORD) -> BOOL {
                 SetLastError(5);
                 return 0;
               });
    EXPECT_EQ(MSCreateBitmapDC(host_, nullptr, nullptr, &w, &h), nullptr);
  }
  // A size the platform cannot make.
  int huge = 1 << 30;
  EXPECT_EQ(MSCreateBitmapDC(host_, nullptr, nullptr, &huge, &huge), nullptr);
  EXPECT_EQ(MSCreateBitmapDC(host_, nullptr, nullptr, nullptr, &h), nullptr);
  EXPECT_EQ(ledger.Leaks(), "");
  std::vector<std::string> m = Messages();
  ASSERT_EQ(m.size(), 6u);
  EXPECT_EQ(m[0], "CreateCompatibleDC failed error code 1234\n");
  EXPECT_EQ(m[1], "CreateCompatibleBitmap failed error code 8\n");
  EXPECT_EQ(m[2], "SelectObject failed error code 6\n");
  EXPECT_EQ(m[3], "BitBlt failed error code 5\n");
  EXPECT_THAT(m[4], ::testing::StartsWith("CreateCompatibleBitmap failed error code "));
  EXPECT_EQ(m[5], "CreateCompatibleBitmap failed error code 87\n");
}

TEST_F(BitmapTest, SaveRefusesSurfacesItCannotWrite) {
  tarn::host().SetErrorResult(4);
  std::string path = TempPath("refused.bmp");
  // 8 bits per pixel: nothing is written and the surface stays.
  HDC dc8 = AsymmetricSurface(3, 2, 8);
  EXPECT_EQ(MSSaveBitmapFile(host_, dc8, path.c_str()), 4);
  EXPECT_FALSE(FileExists(path));
  EXPECT_NE(GetObjectType(dc8), 0u);
  HGDIOBJ bitmap8 = GetCurrentObject(dc8, OBJ_BITMAP);
  DeleteDC(dc8);
  DeleteObject(bitmap8);

  HDC dc = AsymmetricSurface(3, 2, 32);
  {
    VORDA_HOOK(fail, "gdi32.dll", GetCurrentObject, [](HDC, UINT) -> HGDIOBJ {
      SetLastError(6);
      return nullptr;
    });
    EXPECT_EQ(MSSaveBitmapFile(host_, dc, path.c_str()), 4);
  }
  {
    VORDA_HOOK(fail, "gdi32.dll", GetObjectA, [](HANDLE, int, LPVOID) -> int { return 0; });
    EXPECT_EQ(MSSaveBitmapFile(host_, dc, path.c_str()), 0) << "no message for this one";
  }
  EXPECT_THAT(Messages(), ElementsAre("Your monitor must be set to display to at least 16 bit color.",
                                      "GetCurrentObject failed error code 6\n"));
  EXPECT_FALSE(FileExists(path));
  ASSERT_EQ(MSSaveBitmapFile(host_, dc, path.c_str()), 1);
}

TEST_F(BitmapTest, EveryWriterStepReportsItsLineAndReleasesWhatItMade) {
  std::string path = TempPath("writer.bmp");
  auto run = [&](int line, auto&& arrange) {
    SCOPED_TRACE(line);
    tarn::host().ClearErrors();
    HDC dc = AsymmetricSurface(3, 2, 32);
    Ledger ledger;
    {
      auto hook = arrange();
      EXPECT_EQ(MSSaveBitmapFile(host_, dc, path.c_str()), 0);
    }
    EXPECT_EQ(ledger.Leaks(), "");
    EXPECT_THAT(Messages(), ElementsAre("Error in CreateBMPFile line " + std::to_string(line) + "\n"));
    EXPECT_NE(GetObjectType(dc), 0u) << "a failed save keeps the surface";
    ASSERT_EQ(MSSaveBitmapFile(host_, dc, TempPath("after.bmp").c_str()), 1);
  };
  using Hook = std::unique_ptr<AnyHook>;
  run(148, [] { return Hook(FailNth<decltype(GlobalAlloc)>("kernel32.dll", "GlobalAlloc", 1, nullptr)); });
  run(155, [] { return Hook(FailNth<decltype(GetDIBits)>("gdi32.dll", "GetDIBits", 1, 0)); });
  run(164, [] {
    return Hook(FailNth<decltype(CreateFileA)>("kernel32.dll", "CreateFileA", 1, INVALID_HANDLE_VALUE));
  });
  for (int failing : {1, 2, 3}) {
    run(failing == 1 ? 179 : failing == 2 ? 185 : 193, [failing] {
      return Hook(FailNth<decltype(WriteFile)>("kernel32.dll", "WriteFile", failing, FALSE));
    });
  }
  run(199, [] {
    return Hook(Chain<decltype(CloseHandle)>("kernel32.dll", "CloseHandle",
                                             [](auto original, HANDLE f) -> BOOL {
                                               original(f);  // close it, then say it failed
                                               return FALSE;
                                             }));
  });
  // A short write counts as a failure too.
  run(193, [] {
    return Hook(Chain<decltype(WriteFile)>(
        "kernel32.dll", "WriteFile",
        [](auto original, HANDLE f, LPCVOID b, DWORD n, LPDWORD w, LPOVERLAPPED o) -> BOOL {
          // Only the 24 bytes of pixels come up one short.
          return original(f, b, n == 24 ? n - 1 : n, w, o);
        }));
  });
  // A pixel size beyond 32 bits is refused before anything is allocated.
  run(148, [] {
    return Hook(new ImportHook<decltype(GetObjectA)>("gdi32.dll",
                                                     "GetObjectA", [](HANDLE, int, LPVOID out) -> int {
                                                       BITMAP big{};
                                                       big.bmWidth = 100000;
                                                       big.bmHeight = 100000;
                                                       big.bmPlanes = 1;
                                                       big.bmBitsPixel = 32;
                                                       *static_cast<BITMAP*>(out) = big;
                                                       return sizeof big;
                                                     }));
  });
}

TEST_F(BitmapTest, AWriterFailureTheHostWaivesStillDestroysTheSurface) {
  tarn::host().SetErrorResult(2);
  HDC dc = AsymmetricSurface(3, 2, 32);
  {
    VORDA_HOOK(fail, "gdi32.dll", GetDIBits,
               [](HDC, HBITMAP, UINT, UINT, LPVOID, LPBITMAPINFO, UINT) -> int { return 0; });
    EXPECT_EQ(MSSaveBitmapFile(host_, dc, TempPath("waived.bmp").c_str()), 1);
  }
  EXPECT_EQ(GetObjectType(dc), 0u);
  EXPECT_THAT(Messages(), ElementsAre("Error in CreateBMPFile line 155\n"));
}

}  // namespace
}  // namespace vorda_test

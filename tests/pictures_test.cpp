// Pictures drawn at their natural size from a file and fitted from memory
// into the area of the model unit square, read back from the pixels; and
// every failure reported with its line, drawing nothing and leaking nothing.
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <memory>

#include "host_test.h"
#include "import_hook.h"
#include "ledger.h"
#include "surface.h"
#include "surfaces/picture_bytes.h"
#include "surfaces/picture_fit.h"

namespace vorda_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using vorda::DeviceArea;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kYellow = RGB(255, 255, 0);

// Test pictures have four quadrants: red top-left, green top-right, blue
// bottom-left, yellow bottom-right; so a picture drawn mirrored, upside
// down, cropped or shifted shows it in its corners.
COLORREF QuadrantColour(int x, int y, int width, int height) {
  bool right = x >= width / 2, bottom = y >= height / 2;
  return bottom ? (right ? kYellow : kBlue) : (right ? kGreen : kRed);
}

constexpr COLORREF kMagenta = RGB(255, 0, 255);

// A 24-bit bottom-up BMP file of the quadrant picture, optionally with a
// magenta edge one pixel wide that shows whether all of it was drawn.
std::string QuadrantBmp(int width, int height, bool edged = false) {
  return Bmp24(width, height, [=](int x, int y) {
    bool edge = x == 0 || y == 0 || x == width - 1 || y == height - 1;
    return edged && edge ? kMagenta : QuadrantColour(x, y, width, height);
  });
}

std::string WriteTemp(const std::string& name, const std::string& bytes) {
  std::string path = TempPath(name);
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) throw std::runtime_error("cannot write " + path);
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
  return path;
}

bool Near(COLORREF a, COLORREF b, int tolerance) {
  return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
         std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
         std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

int CountNotNearWhite(const DibSurface& s, int tolerance) {
  int n = 0;
  for (int y = 0; y < s.height(); ++y)
    for (int x = 0; x < s.width(); ++x) n += !Near(s.Pixel(x, y), kWhite, tolerance);
  return n;
}

// The quadrant picture lies exactly on `at`: its four corner pixels and
// quadrant centres have their colours, the pixels just outside are white,
// and nothing else is drawn. Lossy formats get a colour tolerance.
void ExpectPictureAt(const DibSurface& s, const DeviceArea& at, int tolerance = 0) {
  const int l = at.left, t = at.top, r = at.left + at.width - 1, b = at.top + at.height - 1;
  struct Probe {
    int x, y;
    COLORREF colour;
  };
  const Probe inside[] = {
      {l, t, kRed},     {r, t, kGreen},   {l, b, kBlue},    {r, b, kYellow},
      {l + at.width / 4, t + at.height / 4, kRed},
      {l + 3 * at.width / 4, t + at.height / 4, kGreen},
      {l + at.width / 4, t + 3 * at.height / 4, kBlue},
      {l + 3 * at.width / 4, t + 3 * at.height / 4, kYellow},
  };
  for (const Probe& p : inside)
    EXPECT_TRUE(Near(s.Pixel(p.x, p.y), p.colour, tolerance))
        << "at (" << p.x << ", " << p.y << ") 0x" << std::hex << s.Pixel(p.x, p.y);
  const Probe outside[] = {{l - 1, t, kWhite}, {r + 1, t, kWhite}, {l, t - 1, kWhite},
                           {l, b + 1, kWhite}, {r, b + 1, kWhite}, {r + 1, b, kWhite}};
  for (const Probe& p : outside) {
    if (p.x < 0 || p.y < 0 || p.x >= s.width() || p.y >= s.height()) continue;
    EXPECT_EQ(s.Pixel(p.x, p.y), kWhite) << "at (" << p.x << ", " << p.y << ")";
  }
  EXPECT_EQ(CountNotNearWhite(s, tolerance ? 48 : 0), at.width * at.height);
}

// ---------------------------------------------------------------------------
// The fit itself, on plain numbers.

TEST(PictureFit, KeepsTheAspectRatioAndCentresWithTheOddPixelAfter) {
  struct Case {
    int pw, ph;
    DeviceArea area, placed;
  } cases[] = {
      {200, 100, {10, 20, 300, 300}, {10, 95, 300, 150}},  // wider: fills the width
      {200, 100, {10, 20, 300, 301}, {10, 95, 300, 150}},  // margin 151 halves to 75
      {100, 200, {10, 20, 300, 300}, {85, 20, 150, 300}},  // taller: fills the height
      {100, 200, {10, 20, 301, 300}, {85, 20, 150, 300}},
      {100, 100, {10, 20, 300, 300}, {10, 20, 300, 300}},  // equal ratios fill the height
      {300, 100, {0, 0, 100, 50}, {0, 8, 100, 33}},        // 33.33 truncates to 33
      {1, 3, {0, 0, 100, 100}, {33, 0, 33, 100}},  // margin 67 halves to 33
  };
  for (const Case& c : cases) {
    DeviceArea placed{-1, -1, -1, -1};
    ASSERT_TRUE(vorda::FitPicture(c.pw, c.ph, c.area, &placed)) << c.pw << "x" << c.ph;
    EXPECT_EQ(placed.left, c.placed.left) << c.pw << "x" << c.ph;
    EXPECT_EQ(placed.top, c.placed.top) << c.pw << "x" << c.ph;
    EXPECT_EQ(placed.width, c.placed.width) << c.pw << "x" << c.ph;
    EXPECT_EQ(placed.height, c.placed.height) << c.pw << "x" << c.ph;
  }
}

TEST(PictureFit, ZeroExtentsAndUnrepresentablePlacementsDrawNothing) {
  struct Case {
    int pw, ph;
    DeviceArea area;
  } cases[] = {
      {0, 100, {0, 0, 300, 300}}, {100, 0, {0, 0, 300, 300}},  {0, 0, {0, 0, 300, 300}},
      {200, 100, {5, 5, 0, 300}}, {200, 100, {5, 5, 300, 0}},
      // A mirrored area with a very tall picture: the height would not fit 32 bits.
      {1, 2000000000, {0, 0, -300, 300}},
  };
  for (const Case& c : cases) {
    DeviceArea placed{7, 7, 7, 7};
    EXPECT_FALSE(vorda::FitPicture(c.pw, c.ph, c.area, &placed))
        << c.pw << "x" << c.ph << " into " << c.area.width << "x" << c.area.height;
    EXPECT_EQ(placed.left, 7);
  }
}

TEST(PictureFit, TheUnitSquareAreaIgnoresLogAxesAndIsClamped) {
  // Device x 10 + 300u, device y 320 - 300v: the square spans 10..310, 20..320.
  DeviceArea a = vorda::UnitSquareArea({300, -300, 10, 320});
  EXPECT_EQ(a.left, 10);
  EXPECT_EQ(a.top, 20);
  EXPECT_EQ(a.width, 300);
  EXPECT_EQ(a.height, 300);
  // Corners beyond the device range are clamped first: -50 to 0, 20000 to 16383.
  a = vorda::UnitSquareArea({20050, -300, -50, 320});
  EXPECT_EQ(a.left, 0);
  EXPECT_EQ(a.width, 16383);
}

// ---------------------------------------------------------------------------
// Through the exports.

class PictureTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    // The background brush is made once per process: make it before any
    // ledger looks.
    ASSERT_EQ(MSEnable(host_, surface_.dc()), 1);
    ASSERT_EQ(GetDeviceCaps(surface_.dc(), LOGPIXELSX), 96) << "the sizes below assume 96 dpi";
    ASSERT_EQ(GetDeviceCaps(surface_.dc(), LOGPIXELSY), 96);
  }
  // The unit square onto device x left..right, y top..bottom.
  void SetArea(int left, int right, int top, int bottom, const char* axes = "LINEAR") {
    ASSERT_EQ(MSSetXForm(host_, 0, axes, axes, left, right, top, bottom, 0, 1, 1, 0), 1);
  }
  static std::string Generated(const char* name) { return std::string("pictures/") + name; }

  DibSurface surface_{400, 400};
};

TEST_F(PictureTest, FileIsDrawnAtItsNaturalSizeInTheTopLeftCorner) {
  // 96 x 48 pixels is 2540 x 1270 HIMETRIC, 96 x 48 pixels again at 96 dpi.
  for (auto [w, h] : {std::pair{96, 48}, std::pair{200, 100}, std::pair{33, 77}}) {
    surface_.Fill(kWhite);
    std::string path = WriteTemp("natural.bmp", QuadrantBmp(w, h));
    {
      Ledger ledger;
      EXPECT_EQ(MSLoadPictureFile(host_, path.c_str()), 1);
      EXPECT_EQ(ledger.Leaks(), "");
      EXPECT_EQ(ledger.Made("OleLoadPicture"), 1);
      EXPECT_EQ(ledger.Made("CreateStreamOnHGlobal"), 1);
    }
    SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
    ExpectPictureAt(surface_, {0, 0, w, h});
  }
  // One to one, the whole picture comes out upright: every pixel of its edge
  // lands on the device's, none is cut off or doubled.
  surface_.Fill(kWhite);
  std::string path = WriteTemp("edged.bmp", QuadrantBmp(37, 21, true));
  EXPECT_EQ(MSLoadPictureFile(host_, path.c_str()), 1);
  EXPECT_EQ(surface_.Count(kMagenta), 2 * 37 + 2 * 21 - 4);
  for (int x = 0; x < 37; ++x) {
    EXPECT_EQ(surface_.Pixel(x, 0), kMagenta) << x;
    EXPECT_EQ(surface_.Pixel(x, 20), kMagenta) << x;
  }
  for (int y = 0; y < 21; ++y) {
    EXPECT_EQ(surface_.Pixel(0, y), kMagenta) << y;
    EXPECT_EQ(surface_.Pixel(36, y), kMagenta) << y;
  }
  EXPECT_EQ(surface_.Pixel(1, 1), kRed);
  EXPECT_EQ(surface_.Pixel(35, 19), kYellow);
  EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(PictureTest, MemoryPictureIsFittedIntoTheUnitSquare) {
  struct Case {
    int pw, ph;
    int left, right, top, bottom;  // device corners of the unit square
    DeviceArea placed;
    const char* axes;
  } cases[] = {
      {200, 100, 10, 310, 20, 320, {10, 95, 300, 150}, "LINEAR"},
      {200, 100, 10, 310, 20, 321, {10, 95, 300, 150}, "LINEAR"},
      {100, 200, 10, 310, 20, 320, {85, 20, 150, 300}, "LINEAR"},
      {100, 100, 10, 310, 20, 320, {10, 20, 300, 300}, "LINEAR"},
      // Clamped: the left edge at -50 becomes 0, leaving 250 x 250; margin 125 halves to 62.
      {200, 100, -50, 250, 20, 270, {0, 82, 250, 125}, "LINEAR"},
      // Log axes change nothing: the square is taken in axis units.
      {200, 100, 10, 310, 20, 320, {10, 95, 300, 150}, "LOG10"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.pw) + "x" + std::to_string(c.ph) + " into " +
                 std::to_string(c.right - c.left) + "x" + std::to_string(c.bottom - c.top) + " " +
                 c.axes);
    surface_.Fill(kWhite);
    if (std::string(c.axes) == "LOG10") {
      // Model 1..10 on log axes puts axis values 0..1 on the same pixels.
      ASSERT_EQ(MSSetXForm(host_, 0, "LOG10", "LOG10", c.left, c.right, c.top, c.bottom, 1, 10,
                           10, 1),
                1);
    } else {
      SetArea(c.left, c.right, c.top, c.bottom);
    }
    std::string bmp = QuadrantBmp(c.pw, c.ph);
    {
      Ledger ledger;
      EXPECT_EQ(MSLoadPicture(host_, bmp.data(), static_cast<unsigned>(bmp.size())), 1);
      EXPECT_EQ(ledger.Leaks(), "");
    }
    ExpectPictureAt(surface_, c.placed);
  }
  EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(PictureTest, JpegGifAndPngAreDrawnAndFitted) {
  const bool wine = WineVersion() != nullptr;
  std::cout << "platform: " << (wine ? "Wine" : "Windows") << "\n";
  struct Format {
    const char* file;
    int tolerance;
    bool read;  // whether the platform's loader reads it
  } formats[] = {
      {"quadrants.jpg", 40, true},
      {"quadrants.gif", 0, true},
      // Wine's loader reads PNG; Windows' does not.
      {"quadrants.png", 0, wine},
  };
  for (const Format& f : formats) {
    SCOPED_TRACE(f.file);
    std::string path = Generated(f.file);
    std::vector<uint8_t> bytes = ReadBytes(path);
    if (bytes.empty()) GTEST_SKIP() << path << " was not made (ImageMagick missing?)";
    tarn::host().ClearErrors();

    surface_.Fill(kWhite);
    Ledger ledger;
    if (!f.read) {
      EXPECT_EQ(MSLoadPictureFile(host_, path.c_str()), 0);
      EXPECT_THAT(Messages(), ElementsAre("Error in LoadPictureFile line 721\n"));
      EXPECT_EQ(surface_.NonWhite(), 0);
      EXPECT_EQ(ledger.Leaks(), "");
      continue;
    }
    EXPECT_EQ(MSLoadPictureFile(host_, path.c_str()), 1);
    ExpectPictureAt(surface_, {0, 0, 200, 100}, f.tolerance);

    surface_.Fill(kWhite);
    SetArea(10, 310, 20, 321);
    EXPECT_EQ(MSLoadPicture(host_, bytes.data(), static_cast<unsigned>(bytes.size())), 1);
    ExpectPictureAt(surface_, {10, 95, 300, 150}, f.tolerance);
    EXPECT_EQ(ledger.Leaks(), "");
    EXPECT_THAT(Messages(), IsEmpty());
  }
}

TEST_F(PictureTest, AnAreaOfZeroWidthOrHeightDrawsNothingAndSucceeds) {
  std::string bmp = QuadrantBmp(200, 100);
  for (auto [right, bottom] : {std::pair{10, 320}, std::pair{310, 20}, std::pair{10, 20}}) {
    SetArea(10, right, 20, bottom);
    Ledger ledger;
    EXPECT_EQ(MSLoadPicture(host_, bmp.data(), static_cast<unsigned>(bmp.size())), 1);
    EXPECT_EQ(ledger.Leaks(), "");
    EXPECT_EQ(ledger.Made("OleLoadPicture"), 1);
  }
  // Both corners beyond the device's right edge clamp to the same column.
  SetArea(20000, 30000, 20, 320);
  EXPECT_EQ(MSLoadPicture(host_, bmp.data(), static_cast<unsigned>(bmp.size())), 1);
  EXPECT_EQ(surface_.NonWhite(), 0);
  EXPECT_THAT(Messages(), IsEmpty());
}

bool Complete(const std::string& bytes, size_t count) {
  return vorda::BmpBytesComplete(reinterpret_cast<const uint8_t*>(bytes.data()),
                                 static_cast<uint32_t>(count));
}
void Put32(std::string& bytes, size_t at, uint32_t value) {
  for (int k = 0; k < 4; ++k) bytes[at + k] = static_cast<char>(value >> (8 * k));
}

TEST(PictureBytes, ABmpIsCompleteOnlyWithEveryByteItDeclares) {
  const std::string bmp = QuadrantBmp(3, 2);
  EXPECT_TRUE(Complete(bmp, bmp.size()));
  for (size_t n = 2; n < bmp.size(); ++n) EXPECT_FALSE(Complete(bmp, n)) << n << " bytes";
  // The loader's wrapper around the same file.
  std::string wrapped = std::string("lt\0\0", 4) + std::string(4, '\0') + bmp;
  Put32(wrapped, 4, static_cast<uint32_t>(bmp.size()));
  EXPECT_TRUE(Complete(wrapped, wrapped.size()));
  EXPECT_FALSE(Complete(wrapped, wrapped.size() - 1));

  struct Case {
    const char* name;
    size_t at;
    uint32_t value;
    bool complete;
  } cases[] = {
      {"header of no known size", 14, 41, false},
      {"pixels said to start past the end", 10, 1000, false},
      {"top-down rows", 22, static_cast<uint32_t>(-2), true},
      {"more rows than bytes", 22, 3, false},
      {"a width and height whose product overflows", 18, 0x7fffffff, false},
      {"8 bits a pixel with a table that is not there", 28, 8, false},
      {"run-length coded rows, sized by the decoder", 30, 1, true},
  };
  for (const Case& c : cases) {
    std::string b = bmp;
    if (c.at == 28) {
      b[28] = static_cast<char>(c.value), b[29] = 0;
    } else {
      Put32(b, c.at, c.value);
    }
    if (c.at == 18) Put32(b, 22, 0x7fffffff);
    EXPECT_EQ(Complete(b, b.size()), c.complete) << c.name;
  }
  // Other formats are the loader's to bound.
  EXPECT_TRUE(Complete("GIF89a", 6));
  EXPECT_TRUE(Complete("B", 1));
}

TEST_F(PictureTest, BytesThatAreNoPictureAreReportedByBothOperations) {
  const std::string junk = "Channel 3: 1.25 V, 2.50 V, 3.75 V\r\n";
  std::string path = WriteTemp("junk.bmp", junk);
  tarn::host().SetErrorResult(42);
  SetArea(10, 310, 20, 320);
  Ledger ledger;
  EXPECT_EQ(MSLoadPictureFile(host_, path.c_str()), 42);
  EXPECT_EQ(MSLoadPicture(host_, junk.data(), static_cast<unsigned>(junk.size())), 42);
  // A truncated picture is no picture either, even one byte short.
  std::string bmp = QuadrantBmp(200, 100);
  EXPECT_EQ(MSLoadPicture(host_, bmp.data(), 30), 42);
  EXPECT_EQ(MSLoadPicture(host_, bmp.data(), static_cast<unsigned>(bmp.size() - 1)), 42);
  std::string shortFile = WriteTemp("short.bmp", bmp.substr(0, bmp.size() - 1));
  EXPECT_EQ(MSLoadPictureFile(host_, shortFile.c_str()), 42);
  EXPECT_THAT(Messages(), ElementsAre("Error in LoadPictureFile line 721\n",
                                      "This Message channel is not a valid picture channel.\n",
                                      "This Message channel is not a valid picture channel.\n",
                                      "This Message channel is not a valid picture channel.\n",
                                      "Error in LoadPictureFile line 721\n"));
  EXPECT_EQ(surface_.NonWhite(), 0);
  EXPECT_EQ(ledger.Leaks(), "");
}

// One failing step: a hook that makes a platform call fail (or none), and
// the message that names the step.
struct FailureCase {
  const char* step;
  std::function<std::unique_ptr<AnyHook>()> fault;
  const char* message;
};

template <typename Sig, typename F>
std::function<std::unique_ptr<AnyHook>()> Failing(const char* dll, const char* name, F handler) {
  return [=] { return std::make_unique<ImportHook<Sig>>(dll, name, handler); };
}

std::function<std::unique_ptr<AnyHook>()> NoFault() {
  return [] { return std::unique_ptr<AnyHook>(); };
}

auto FailGlobalAlloc() {
  return Failing<decltype(GlobalAlloc)>("kernel32.dll", "GlobalAlloc", [](UINT, SIZE_T) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return HGLOBAL(nullptr);
  });
}
auto FailGlobalLock() {
  return Failing<decltype(GlobalLock)>("kernel32.dll", "GlobalLock",
                                       [](HGLOBAL) { return static_cast<void*>(nullptr); });
}
auto FailStream(HRESULT result) {
  return Failing<decltype(CreateStreamOnHGlobal)>(
      "ole32.dll", "CreateStreamOnHGlobal", [result](HGLOBAL, BOOL, IStream** stream) {
        *stream = nullptr;
        return result;
      });
}

TEST_F(PictureTest, EveryFailingStepOfTheFileReadIsReportedAndReleasesWhatItMade) {
  const std::string good = WriteTemp("good.bmp", QuadrantBmp(20, 10));
  const FailureCase cases[] = {
      {"open", NoFault(), "Error in LoadPictureFile line 674\n"},
      {"size",
       Failing<decltype(GetFileSize)>("kernel32.dll", "GetFileSize",
                                      [](HANDLE, DWORD*) {
                                        SetLastError(ERROR_ACCESS_DENIED);
                                        return INVALID_FILE_SIZE;
                                      }),
       "Error in LoadPictureFile line 682\n"},
      {"size over 4 GiB",
       Failing<decltype(GetFileSize)>("kernel32.dll", "GetFileSize",
                                      [](HANDLE, DWORD* high) {
                                        *high = 1;
                                        return DWORD{100};
                                      }),
       "Error in LoadPictureFile line 682\n"},
      {"allocate", FailGlobalAlloc(), "Error in LoadPictureFile line 690\n"},
      {"lock", FailGlobalLock(), "Error in LoadPictureFile line 696\n"},
      {"read",
       Failing<decltype(ReadFile)>("kernel32.dll", "ReadFile",
                                   [](HANDLE, void*, DWORD, DWORD*, OVERLAPPED*) {
                                     SetLastError(ERROR_READ_FAULT);
                                     return FALSE;
                                   }),
       "Error in LoadPictureFile line 704\n"},
      {"stream", FailStream(E_OUTOFMEMORY), "Error in LoadPictureFile line 714\n"},
      {"no stream", FailStream(S_OK), "Error in LoadPictureFile line 714\n"},
  };
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(c.step);
    tarn::host().ClearErrors();
    tarn::host().SetErrorResult(-3);
    std::string path = std::string(c.step) == "open" ? TempPath("missing.bmp") : good;
    Ledger ledger;
    std::unique_ptr<AnyHook> fault = c.fault();
    EXPECT_EQ(MSLoadPictureFile(host_, path.c_str()), -3);
    fault.reset();
    EXPECT_THAT(Messages(), ElementsAre(c.message));
    EXPECT_EQ(ledger.Leaks(), "");
    EXPECT_EQ(surface_.NonWhite(), 0);
  }
  // The file was closed on every path: it opens unshared again.
  HANDLE reopened = CreateFileA(good.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(reopened, INVALID_HANDLE_VALUE);
  CloseHandle(reopened);

  tarn::host().ClearErrors();
  EXPECT_EQ(MSLoadPictureFile(host_, nullptr), -3);
  // An empty file gets a block of no bytes, which the platform cannot lock.
  const std::string empty = WriteTemp("empty.bmp", "");
  {
    Ledger ledger;
    EXPECT_EQ(MSLoadPictureFile(host_, empty.c_str()), -3);
    EXPECT_EQ(ledger.Leaks(), "");
  }
  EXPECT_THAT(Messages(), ElementsAre("Error in LoadPictureFile line 674\n",
                                      "Error in LoadPictureFile line 696\n"));
}

TEST_F(PictureTest, EveryFailingStepOfTheMemoryLoadIsReportedAndReleasesWhatItMade) {
  const std::string bmp = QuadrantBmp(20, 10);
  SetArea(10, 310, 20, 320);
  const FailureCase cases[] = {
      {"allocate", FailGlobalAlloc(), "Error in MSLoadPicture line 753\n"},
      {"lock", FailGlobalLock(), "Error in MSLoadPicture line 759\n"},
      {"stream", FailStream(E_OUTOFMEMORY), "Error in MSLoadPicture line 772\n"},
      {"no stream", FailStream(S_OK), "Error in MSLoadPicture line 772\n"},
  };
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(c.step);
    tarn::host().ClearErrors();
    tarn::host().SetErrorResult(9);
    Ledger ledger;
    std::unique_ptr<AnyHook> fault = c.fault();
    EXPECT_EQ(MSLoadPicture(host_, bmp.data(), static_cast<unsigned>(bmp.size())), 9);
    fault.reset();
    EXPECT_THAT(Messages(), ElementsAre(c.message));
    EXPECT_EQ(ledger.Leaks(), "");
    EXPECT_EQ(surface_.NonWhite(), 0);
  }

  // No bytes at all: refused before anything is made. An empty channel
  // gets a block of no bytes, which the platform cannot lock.
  tarn::host().ClearErrors();
  Ledger ledger;
  EXPECT_EQ(MSLoadPicture(host_, nullptr, 100), 9);
  EXPECT_EQ(ledger.Made("GlobalAlloc"), 0);
  EXPECT_EQ(MSLoadPicture(host_, bmp.data(), 0), 9);
  EXPECT_THAT(Messages(), ElementsAre("This Message channel is not a valid picture channel.\n",
                                      "Error in MSLoadPicture line 759\n"));
  EXPECT_EQ(ledger.Leaks(), "");
}

}  // namespace
}  // namespace vorda_test

// Runs vorda-chart.exe, the program beside the test, as a user would, and
// reads back the 32-bit BMP files it writes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "surface.h"

namespace {

using vorda_test::Le16;
using vorda_test::Le32;
using vorda_test::ReadBytes;

struct Result {
  int status = -1;
  std::string output;  // stdout and stderr together
};

std::string Directory() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string p(path, n);
  return p.substr(0, p.find_last_of("\\/") + 1);
}

// Runs vorda-chart.exe from beside this test with `args`, in `cwd`.
Result RunTool(const std::string& args, const std::string& cwd = "") {
  Result r;
  std::string capture = vorda_test::TempPath("chart-run.txt");
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  HANDLE out = CreateFileA(capture.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) return r;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  si.hStdOutput = out;
  si.hStdError = out;
  PROCESS_INFORMATION pi{};
  std::string command = "\"" + Directory() + "vorda-chart.exe\" " + args;
  std::vector<char> line(command.begin(), command.end());
  line.push_back(0);
  if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                     cwd.empty() ? nullptr : cwd.c_str(), &si, &pi)) {
    WaitForSingleObject(pi.hProcess, 120000);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    r.status = static_cast<int>(code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  CloseHandle(out);
  std::vector<uint8_t> bytes = ReadBytes(capture);
  for (uint8_t b : bytes)
    if (b != '\r') r.output.push_back(static_cast<char>(b));  // text-mode line ends
  DeleteFileA(capture.c_str());
  return r;
}

std::string Temp(const std::string& name) { return vorda_test::TempPath(name); }

void Write(const std::string& path, const std::string& text) {
  std::ofstream f(path, std::ios::binary);
  f << text;
}

// A 32-bit BMP as vorda writes it, bottom row first.
struct Bmp {
  int width = 0, height = 0;
  std::vector<uint8_t> bytes;
  size_t pixels = 0;
  bool Load(const std::string& path) {
    bytes = ReadBytes(path);
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M' || Le16(bytes, 28) != 32) return false;
    width = static_cast<int>(Le32(bytes, 18));
    height = static_cast<int>(Le32(bytes, 22));
    pixels = Le32(bytes, 10);
    return bytes.size() >= pixels + size_t(width) * height * 4;
  }
  COLORREF At(int x, int y) const {
    size_t at = pixels + (size_t(height - 1 - y) * width + x) * 4;
    return RGB(bytes[at + 2], bytes[at + 1], bytes[at]);
  }
  int Count(COLORREF c, int x0 = 0, int x1 = -1) const {
    if (x1 < 0) x1 = width;
    int n = 0;
    for (int y = 0; y < height; ++y)
      for (int x = x0; x < x1; ++x) n += At(x, y) == c;
    return n;
  }
  // The plot frame: the longest runs of the frame's grey.
  bool Frame(int* left, int* top, int* right, int* bottom) const {
    const COLORREF frame = RGB(51, 51, 51);
    int mid = height / 2;
    *left = *right = -1;
    for (int x = 0; x < width; ++x)
      if (At(x, mid) == frame) {
        if (*left < 0) *left = x;
        *right = x;
      }
    int cx = (*left + *right) / 2;
    *top = *bottom = -1;
    for (int y = 0; y < height; ++y)
      if (At(cx, y) == frame) {
        if (*top < 0) *top = y;
        *bottom = y;
      }
    return *left >= 0 && *top >= 0 && *right - *left > 50 && *bottom - *top > 50;
  }
};

}  // namespace

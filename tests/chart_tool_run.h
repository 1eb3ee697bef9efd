// Runs vorda-chart.exe, the program beside the test, as a user would, and
// finds the parts of the 32-bit BMP files it writes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "file_readers.h"
#include "surface.h"

namespace {

using vorda_test::BmpFile;
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

// Runs vorda-chart.exe from beside this test with `args`, in `cwd`; `args`
// are in the 8-bit code page, or UTF-8 with `utf8`, and standard input is
// the file `input` when one is named.
Result RunTool(const std::string& args, const std::string& cwd = "", bool utf8 = false,
               const std::string& input = "") {
  Result r;
  std::string capture = vorda_test::TempPath("chart-run.txt");
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  HANDLE out = CreateFileA(capture.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) return r;
  HANDLE in = input.empty() ? INVALID_HANDLE_VALUE
                            : CreateFileA(input.c_str(), GENERIC_READ, FILE_SHARE_READ, &sa, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = in != INVALID_HANDLE_VALUE ? in : GetStdHandle(STD_INPUT_HANDLE);
  si.hStdOutput = out;
  si.hStdError = out;
  PROCESS_INFORMATION pi{};
  std::string command = "\"" + Directory() + "vorda-chart.exe\" " + args;
  auto wide = [](const std::string& s, UINT page) {
    std::wstring w(static_cast<size_t>(MultiByteToWideChar(page, 0, s.c_str(), -1, nullptr, 0)), L'\0');
    MultiByteToWideChar(page, 0, s.c_str(), -1, w.data(), static_cast<int>(w.size()));
    return w;
  };
  std::wstring line = wide(command, utf8 ? CP_UTF8 : CP_ACP), dir = wide(cwd, CP_ACP);
  if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, cwd.empty() ? nullptr : dir.c_str(),
                     &si, &pi)) {
    WaitForSingleObject(pi.hProcess, 120000);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    r.status = static_cast<int>(code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  CloseHandle(out);
  if (in != INVALID_HANDLE_VALUE) CloseHandle(in);
  r.output = vorda_test::ReadText(capture);
  DeleteFileA(capture.c_str());
  return r;
}

std::string Temp(const std::string& name) { return vorda_test::TempPath(name); }

void Write(const std::string& path, const std::string& text) {
  std::ofstream f(path, std::ios::binary);
  f << text;
}

// A chart as vorda writes it: 32 bits a pixel.
inline bool Load(vorda_test::BmpFile* bmp, const std::string& path) {
  return bmp->Load(path) && bmp->info.biBitCount == 32;
}

// The plot frame of a chart: the longest runs of the frame's grey.
inline bool Frame(const vorda_test::BmpFile& bmp, int* left, int* top, int* right, int* bottom) {
  const COLORREF frame = RGB(51, 51, 51);
  const int width = bmp.info.biWidth, height = bmp.info.biHeight;
  int mid = height / 2;
  *left = *right = -1;
  for (int x = 0; x < width; ++x)
    if (bmp.At(x, mid) == frame) {
      if (*left < 0) *left = x;
      *right = x;
    }
  int cx = (*left + *right) / 2;
  *top = *bottom = -1;
  for (int y = 0; y < height; ++y)
    if (bmp.At(cx, y) == frame) {
      if (*top < 0) *top = y;
      *bottom = y;
    }
  return *left >= 0 && *top >= 0 && *right - *left > 50 && *bottom - *top > 50;
}

}  // namespace

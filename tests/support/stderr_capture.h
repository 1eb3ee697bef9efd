// What the code under test writes to stderr, collected in a file while
// the capture lives.
#pragma once

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "surface.h"

namespace vorda_test {

class StderrCapture {
 public:
  StderrCapture() : path_(TempPath("stderr.txt")) {
    std::fflush(stderr);
    saved_ = _dup(2);
    int fd = _open(path_.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC, 0600);
    _dup2(fd, 2);
    _close(fd);
  }
  std::string Text() {
    std::fflush(stderr);
    _dup2(saved_, 2);
    return ReadText(path_);
  }
  ~StderrCapture() {
    if (saved_ >= 0) {
      std::fflush(stderr);
      _dup2(saved_, 2);
      _close(saved_);
    }
    DeleteFileA(path_.c_str());
  }

 private:
  std::string path_;
  int saved_ = -1;
};

}  // namespace vorda_test

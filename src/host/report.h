// Failure reporting. A step of an operation that can fail gives a Failure:
// empty when the step succeeded, otherwise the catalogue message the host
// is to see. The export hands a failure to ReportError, which passes the
// message to the host's error call, and returns at once.
#pragma once

#include "host/messages.h"
#include "tarnapi.h"

namespace vorda {

// Where a message that carries a number is formatted before it is
// reported; each group of operations that formats messages owns one.
using MessageBuffer = char[512];

class [[nodiscard]] Failure {
 public:
  // The step succeeded.
  constexpr Failure() = default;
  // A fixed message (a catalogue text, or GL's text for an error).
  constexpr Failure(const char* message) : text_(message) {}
  // A message with one number, formatted into `buffer` when reported.
  constexpr Failure(MessageBuffer& buffer, FormattedMessage message, int number)
      : text_(message.format), buffer_(buffer), number_(number) {}

  // True when the step failed.
  constexpr explicit operator bool() const { return text_ != nullptr; }

 private:
  friend int ReportError(HostObject host, const Failure& failure);

  const char* text_ = nullptr;
  char* buffer_ = nullptr;
  int number_ = 0;
};

// Hands the failure's message to the host's error call (a numbered one
// first formatted, bounded and always terminated, into its buffer) and
// returns that call's result, which most exports return as their own.
int ReportError(HostObject host, const Failure& failure);

// For the exports that return 0 after reporting, whatever the host's error
// call returned: GLEnable, GLSetXForm, GLPolyLine and the trace drivers
// (MSCreateBitmapDC likewise gives a null handle).
inline int ReportThenZero(HostObject host, const Failure& failure) {
  ReportError(host, failure);
  return 0;
}

}  // namespace vorda

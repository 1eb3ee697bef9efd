// Failure reporting: every failing operation hands one message to the host
// and returns what the host's error call returned.
#pragma once

#include "tarnapi.h"

namespace vorda {

// Passes a fixed message to the host's error call and returns its result.
int ReportError(HostObject host, const char* message);

// Formats a message that carries one number into the caller's 512-byte
// buffer (bounded, always terminated) and reports it.
int ReportFormatted(HostObject host, char (&buffer)[512], const char* format, int value);

}  // namespace vorda

// The viewer's first pass over a long recording: a window that shows how
// far the summary has come and lets the person give up with Escape (or by
// closing it). Shown only once the pass has taken a moment, so a short
// recording or a kept summary opens without it.
#pragma once

#include <windows.h>

#include "chart_run.h"
#include "options.h"
#include "recording.h"

namespace view {

// How long the pass runs before the window appears.
inline constexpr double kSummaryWindowDelay = 0.3;

// Gives the recording its summaries; false when stopped or failed (said on
// stderr). `shown`, when given, gets the window while it is up (for tests,
// which press its keys), and null again once it is gone.
bool SummarizeInWindow(const chart::Options& options, chart::Recording* recording, HWND* shown = nullptr,
                       double delay = kSummaryWindowDelay);

}  // namespace view

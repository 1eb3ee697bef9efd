// The fault sweep: a scene calls one export; the sweep runs it with the
// k-th platform or host call vorda makes failing, for k = 0, 1, 2, ...,
// each failing call in each of the ways it can fail, until a run makes no
// k-th call (that last run is the clean one, and it counted the calls).
// Each k is also run once with every call from the k-th on failing, as a
// lasting fault (memory gone, a device lost) would: the failure paths'
// own calls are then swept as well.
// After each run: one of the scene's messages with one of its results (or
// success), nothing left in the Ledger, the caller's arrays unchanged.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "import_hook.h"
#include "ledger.h"

namespace vorda_test {

// What the hooks consult and record during one run.
struct FaultPlan {
  int failAt = -1;  // the call to fail, counted from 0; -1: none
  int way = 0;      // which of that function's failures to give
  bool onward = false;  // every call from failAt on fails, not only that one
  int calls = 0;    // calls seen so far in this run
  std::string failedFunction;
  std::string failedWay;
  int ways = 0;  // how many failures the failed function has
};

// Every import of vorda.dll that can fail, hooked to count calls and to fail
// the chosen one, while this lives. Make the Ledger first: the hooks then
// sit outside it, so a failed maker made nothing and a deleter that is told
// to fail has still freed (a failing free cannot be fixed by its caller).
class FaultHooks {
 public:
  explicit FaultHooks(FaultPlan& plan);
  FaultHooks(const FaultHooks&) = delete;
  FaultHooks& operator=(const FaultHooks&) = delete;
  ~FaultHooks();

  template <typename Sig>
  struct Way;

 private:
  template <typename Sig>
  void Add(const char* dll, const char* name, std::vector<Way<Sig>> ways);

  FaultPlan& plan_;
  std::vector<std::unique_ptr<AnyHook>> hooks_;
};

// vorda's imports (as "dll!function", dll in lower case) that the sweep
// neither counts nor fails and that are not listed as unable to fail: each
// new import must be given failures or be listed.
std::vector<std::string> UnclassifiedImports();

// A caller's array, checked byte for byte after the call.
struct CallerArray {
  const void* bytes;
  size_t size;
};

struct Scene {
  std::string name;
  // Before the counted call, outside the Ledger: surfaces, MSEnable, the
  // transform, files to read. Returns the caller's arrays to watch.
  std::function<std::vector<CallerArray>()> prepare;
  // The call swept.
  std::function<int()> call;
  // After the call, inside the Ledger: gives back what the call handed to
  // the host (telling the ledger), or lets vorda give back what it keeps
  // between calls. Called on every run.
  std::function<void(Ledger&, int result)> finish;
  // After the Ledger: what prepare made.
  std::function<void()> cleanUp;
  // The messages the export may report; a trailing '*' matches any rest.
  std::vector<std::string> messages;
  // Acceptable results after a report (the host's error call returns 7).
  std::vector<int> reportedResults{7};
  // Calls nested inside the export (a trace driver's "Draw" drawing) may
  // add their own report before the export's.
  size_t maxMessages = 1;
  std::function<bool(int)> succeeded = [](int r) { return r == 1; };
  // Failures the export rightly survives without a word and with success
  // (a size it cannot read becomes 0, say); besides these only a failing
  // close or free may pass silently. Any other failed call must be reported.
  std::vector<std::string> tolerated;
  // An export that reports nothing may fail silently with this result;
  // so may any export when one of the functions in silentWhen fails.
  bool reportsNothing = false;
  std::vector<std::string> silentWhen;
  int silentFailure = 0;
};

struct SweepResult {
  int pairs = 0;  // failing calls swept (call positions)
  int runs = 0;   // runs, the ways of failing and the clean run included
  int onwardRuns = 0;  // runs with every call from one on failing (a lasting fault)
  std::vector<std::string> failures;  // what went wrong, one line each
  std::vector<std::string> swept;     // "call k: Function (way) -> result, message"
};

// The host's error call returns this during a sweep.
constexpr int kSweepErrorResult = 7;

SweepResult Sweep(const Scene& scene);

// Totals over the whole program, printed at its end.
struct SweepTotals {
  int exports = 0;
  int pairs = 0;
  int runs = 0;
};
SweepTotals& Totals();

}  // namespace vorda_test

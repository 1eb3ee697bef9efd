// Hooks that pass calls on to whatever vorda called before (the platform,
// or a Ledger's hook), to record calls or to make chosen ones fail.
#pragma once

#include <functional>
#include <memory>

#include "import_hook.h"

namespace vorda_test {

// Hooks `function` of `dll`, of type Sig, with handler(original, args...):
// Chain<decltype(WriteFile)>("kernel32.dll", "WriteFile",
// [](auto original, auto... args) { ... }). Keep the result alive for as
// long as the hook should stay.
template <typename Sig, typename Handler>
std::unique_ptr<ImportHook<Sig>> Chain(const char* dll, const char* function, Handler handler) {
  auto original = std::make_shared<Sig*>(nullptr);
  auto hook = std::make_unique<ImportHook<Sig>>(
      dll, function, [original, handler](auto... args) { return handler(*original, args...); });
  *original = hook->Original();
  return hook;
}

// A predicate that is true at its n-th call (from 1) only.
inline auto NthCall(int n) {
  auto calls = std::make_shared<int>(0);
  return [calls, n] { return ++*calls == n; };
}

// Makes the n-th call (from 1) of `function` return `failure`. A "pretend"
// failure does the real work first and only reports failure, as a call
// that did its job but said otherwise would; the state stays consistent,
// so a test can check what was cleaned up.
template <typename Sig>
std::unique_ptr<ImportHook<Sig>> FailNth(const char* dll, const char* function, int n,
                                         typename FunctionOf<Sig>::Result failure,
                                         bool pretend = false) {
  return Chain<Sig>(dll, function, [fails = NthCall(n), failure, pretend](auto real, auto... args) {
    if (!fails()) return real(args...);
    if (pretend) real(args...);
    return failure;
  });
}

}  // namespace vorda_test

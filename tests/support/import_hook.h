// Swaps one of vorda.dll's imports for a test function while a hook lives:
// to record the calls vorda makes, with their arguments, or to make one
// fail. Only vorda's own calls go through the swapped entry.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

namespace vorda_test {

// The import address table entry through which `module` calls `function`
// of `dll` (names compared without regard to case); null when it has none.
void** FindImportSlot(HMODULE module, const char* dll, const char* function);

// Writes an import address table entry; returns the previous value.
void* PatchImportSlot(void** slot, void* replacement);

HMODULE VordaModule();

namespace detail {

// A fixed pool of plain functions per signature, each forwarding to its
// own std::function, so that a capturing lambda can stand in for an import.
template <typename Sig>
struct Trampolines;

template <typename R, typename... A>
struct Trampolines<R(A...)> {
  static constexpr int kCount = 32;
  static inline std::function<R(A...)> handlers[kCount];
  static inline bool used[kCount];

  template <int I>
  static R Call(A... args) {
    return handlers[I](args...);
  }
  template <int... I>
  static constexpr std::array<R (*)(A...), kCount> MakeTable(std::integer_sequence<int, I...>) {
    return {&Call<I>...};
  }
  static R (*Entry(int i))(A...) {
    static constexpr auto table = MakeTable(std::make_integer_sequence<int, kCount>{});
    return table[i];
  }
};

}  // namespace detail

// Lets hooks of different signatures be kept together.
class AnyHook {
 public:
  virtual ~AnyHook() = default;
};

template <typename Sig>
class ImportHook;

template <typename R, typename... A>
class ImportHook<R(A...)> : public AnyHook {
  using Pool = detail::Trampolines<R(A...)>;

 public:
  using Function = R (*)(A...);

  ImportHook(const char* dll, const char* function, std::function<R(A...)> handler)
      : name_(function) {
    slot_ = FindImportSlot(VordaModule(), dll, function);
    if (!slot_) throw std::runtime_error(std::string("vorda.dll does not import ") + function);
    for (index_ = 0; index_ < Pool::kCount && Pool::used[index_]; ++index_) {
    }
    if (index_ == Pool::kCount) throw std::runtime_error("too many hooks of one signature");
    Pool::used[index_] = true;
    Pool::handlers[index_] = std::move(handler);
    original_ = reinterpret_cast<Function>(
        PatchImportSlot(slot_, reinterpret_cast<void*>(Pool::Entry(index_))));
  }
  ImportHook(const ImportHook&) = delete;
  ImportHook& operator=(const ImportHook&) = delete;
  ~ImportHook() override {
    PatchImportSlot(slot_, reinterpret_cast<void*>(original_));
    Pool::handlers[index_] = nullptr;
    Pool::used[index_] = false;
  }

  // The function vorda called before the hook; call it to pass a call on.
  Function Original() const { return original_; }
  const std::string& Name() const { return name_; }

 private:
  std::string name_;
  void** slot_ = nullptr;
  int index_ = 0;
  Function original_ = nullptr;
};

// The C runtime's allocators, without the attributes their declarations
// carry (which a template argument cannot hold).
using MallocSig = void*(size_t);
using CallocSig = void*(size_t, size_t);
using ReallocSig = void*(void*, size_t);
using FreeSig = void(void*);

// Hooks a function by its declaration: VORDA_HOOK(h, "gdi32.dll", Polyline, lambda).
#define VORDA_HOOK(var, dll, fn, ...) \
  ::vorda_test::ImportHook<std::remove_pointer_t<decltype(&fn)>> var{dll, #fn, __VA_ARGS__}

}  // namespace vorda_test

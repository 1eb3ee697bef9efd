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

// The parts of an imported function's type. On 32-bit x86 the platform's
// functions are __stdcall (the callee clears its arguments off the stack)
// and the C runtime's __cdecl: a stand-in must be called exactly as the
// import it replaces, so each convention has its own trampolines. On
// x86_64 there is one convention and the stdcall form does not arise.
template <typename Sig>
struct FunctionOf;

template <typename R, typename... A>
struct FunctionOf<R(A...)> {
  using Result = R;
  // What a handler is called with: the arguments alone.
  using Plain = R(A...);
  // What a failure is called with: the original function, then the arguments.
  using WithOriginal = R(R (*)(A...), A...);
  template <typename Pool, int I>
  static R Call(A... args) {
    return Pool::handlers[I](args...);
  }
};

#if defined(__i386__)
template <typename R, typename... A>
struct FunctionOf<R __stdcall(A...)> {
  using Result = R;
  using Plain = R(A...);
  using WithOriginal = R(R(__stdcall*)(A...), A...);
  template <typename Pool, int I>
  static R __stdcall Call(A... args) {
    return Pool::handlers[I](args...);
  }
};
#endif

namespace detail {

// A fixed pool of plain functions per signature, each forwarding to its
// own std::function, so that a capturing lambda can stand in for an import.
template <typename Sig>
struct Trampolines {
  static constexpr int kCount = 32;
  static inline std::function<typename FunctionOf<Sig>::Plain> handlers[kCount];
  static inline bool used[kCount];

  template <int... I>
  static constexpr std::array<Sig*, kCount> MakeTable(std::integer_sequence<int, I...>) {
    return {&FunctionOf<Sig>::template Call<Trampolines, I>...};
  }
  static Sig* Entry(int i) {
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
class ImportHook : public AnyHook {
  using Pool = detail::Trampolines<Sig>;

 public:
  using Function = Sig*;
  using Handler = std::function<typename FunctionOf<Sig>::Plain>;

  ImportHook(const char* dll, const char* function, Handler handler) : name_(function) {
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

#include "fault_sweep.h"

#include "chain_hook.h"

#include <ole2.h>
#include <olectl.h>
#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>
#include <sstream>

#include "host_probe.h"
#include "tarn.h"
#include "vorda.h"
#include "tarnapi.h"

namespace vorda_test {

template <typename Sig>
struct FaultHooks::Way {
  const char* label;
  std::function<typename FunctionOf<Sig>::WithOriginal> fail;
};

namespace {

// The ways of failing, by what the failed call gives back.
template <typename Sig>
struct Ways {
  using Way = FaultHooks::Way<Sig>;
  using R = typename FunctionOf<Sig>::Result;
  // Returns `value` without calling the platform.
  static Way Returns(const char* label, R value) {
    return {label, [value](auto, auto...) { return value; }};
  }
  // Does the work, then says it failed: for closing and freeing calls, whose
  // caller can do nothing about a failure but must not crash or misreport.
  static Way DoesThenReturns(const char* label, R value) {
    return {label, [value](auto original, auto... args) {
              original(args...);
              return value;
            }};
  }
};

#define SIG(fn) std::remove_pointer_t<decltype(&fn)>
// The call gives back null, 0 or FALSE (its type's zero) without working.
#define FAILS_ZERO(dll, fn) Add<SIG(fn)>(dll, #fn, {Ways<SIG(fn)>::Returns("0", {})})
// The call gives back its failure value without working.
#define FAILS_AS(dll, fn, value) Add<SIG(fn)>(dll, #fn, {Ways<SIG(fn)>::Returns(#value, value)})
// The call works, then reports failure.
#define CLOSE_FAILS(dll, fn, value) \
  Add<SIG(fn)>(dll, #fn, {Ways<SIG(fn)>::DoesThenReturns(#value, value)})

// Imports that cannot fail or whose failure is not vorda's to handle: the
// runtime's own locks and thread storage, text conversion, formatting,
// string and memory functions, the last-error code, freeing heap memory
// (void), and the host's error call, which is the reporting itself.
const char* const kCannotFail[] = {
    "kernel32.dll!DeleteCriticalSection", "kernel32.dll!EnterCriticalSection",
    "kernel32.dll!InitializeCriticalSection", "kernel32.dll!LeaveCriticalSection",
    "kernel32.dll!TlsGetValue", "kernel32.dll!VirtualProtect", "kernel32.dll!VirtualQuery",
    "kernel32.dll!Sleep", "kernel32.dll!IsDBCSLeadByteEx", "kernel32.dll!MultiByteToWideChar",
    "kernel32.dll!WideCharToMultiByte", "kernel32.dll!GetLastError", "kernel32.dll!SetLastError",
    "msvcrt.dll!___lc_codepage_func", "msvcrt.dll!___mb_cur_max_func", "msvcrt.dll!__iob_func",
    "msvcrt.dll!_amsg_exit", "msvcrt.dll!_errno", "msvcrt.dll!_initterm", "msvcrt.dll!_lock",
    "msvcrt.dll!_unlock", "msvcrt.dll!abort", "msvcrt.dll!fputc", "msvcrt.dll!fwrite",
    "msvcrt.dll!localeconv", "msvcrt.dll!log10", "msvcrt.dll!memcpy", "msvcrt.dll!memmove",
    "msvcrt.dll!memset", "msvcrt.dll!memcmp", "msvcrt.dll!strcmp", "msvcrt.dll!strerror",
    "msvcrt.dll!strlen", "msvcrt.dll!strncmp", "msvcrt.dll!vfprintf", "msvcrt.dll!wcslen",
    "msvcrt.dll!free", "msvcrt.dll!fabs", "msvcrt.dll!floor", "msvcrt.dll!ceil",
    "msvcrt.dll!sqrt", "msvcrt.dll!sin", "msvcrt.dll!cos", "msvcrt.dll!pow", "msvcrt.dll!exp",
    "msvcrt.dll!log", "msvcrt.dll!_snprintf", "msvcrt.dll!_vsnprintf", "msvcrt.dll!snprintf",
    "msvcrt.dll!vsnprintf", "msvcrt.dll!strchr", "msvcrt.dll!strncpy", "msvcrt.dll!strcpy",
    "tarnapi.dll!tarnObjectError",
    // The 32-bit runtime's own: registering its unwind tables when the DLL
    // loads (which looks for the shared libgcc first), finding the code
    // page from the locale, and its stream and multibyte tables, which are
    // data, not calls.
    "kernel32.dll!FreeLibrary", "kernel32.dll!GetModuleHandleA", "kernel32.dll!GetModuleHandleW",
    "kernel32.dll!GetProcAddress", "kernel32.dll!LoadLibraryA", "msvcrt.dll!setlocale",
    "msvcrt.dll!atoi", "msvcrt.dll!_iob", "msvcrt.dll!__mb_cur_max",
    // OpenGL calls without a result: their failures surface in glGetError,
    // which is swept.
    "glu32.dll!gluOrtho2D", "opengl32.dll!glCallLists", "opengl32.dll!glClear",
    "opengl32.dll!glClearColor", "opengl32.dll!glClearDepth", "opengl32.dll!glColor3d",
    "opengl32.dll!glDeleteLists", "opengl32.dll!glDisable", "opengl32.dll!glDrawArrays",
    "opengl32.dll!glEnable", "opengl32.dll!glEnableClientState", "opengl32.dll!glFlush",
    "opengl32.dll!glLineWidth", "opengl32.dll!glListBase", "opengl32.dll!glLoadIdentity",
    "opengl32.dll!glMatrixMode", "opengl32.dll!glRasterPos2f", "opengl32.dll!glScaled",
    "opengl32.dll!glScissor", "opengl32.dll!glTranslated", "opengl32.dll!glVertexPointer",
    "opengl32.dll!glViewport", "opengl32.dll!glIsEnabled",
};

std::set<std::string>& SweptImports() {
  static std::set<std::string> names;
  return names;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

template <typename Sig>
void FaultHooks::Add(const char* dll, const char* name, std::vector<Way<Sig>> ways) {
  SweptImports().insert(Lower(dll) + "!" + name);
  if (!FindImportSlot(VordaModule(), dll, name)) return;
  FaultPlan* plan = &plan_;
  hooks_.push_back(Chain<Sig>(dll, name, [plan, name, ways](auto original, auto... args) {
    int k = plan->calls++;
    if (k == plan->failAt || (plan->onward && plan->failAt >= 0 && k > plan->failAt)) {
      if (k > plan->failAt) {
        // Later calls of a lasting fault fail in their first way.
        return ways[0].fail(original, args...);
      }
      plan->failedFunction = name;
      plan->ways = static_cast<int>(ways.size());
      const auto& way = ways[static_cast<size_t>(plan->way) % ways.size()];
      plan->failedWay = way.label;
      return way.fail(original, args...);
    }
    return original(args...);
  }));
}

FaultHooks::FaultHooks(FaultPlan& plan) : plan_(plan) {
  // GDI.
  FAILS_ZERO("gdi32.dll", BitBlt);
  FAILS_AS("gdi32.dll", CloseEnhMetaFile, nullptr);
  FAILS_ZERO("gdi32.dll", CreateCompatibleBitmap);
  FAILS_ZERO("gdi32.dll", CreateCompatibleDC);
  FAILS_ZERO("gdi32.dll", CreateEnhMetaFileA);
  FAILS_ZERO("gdi32.dll", CreatePen);
  FAILS_ZERO("gdi32.dll", CreateRectRgn);
  FAILS_ZERO("gdi32.dll", CreateSolidBrush);
  FAILS_ZERO("gdi32.dll", CreateFontA);
  FAILS_ZERO("gdi32.dll", CreateFontIndirectA);
  CLOSE_FAILS("gdi32.dll", DeleteDC, FALSE);
  CLOSE_FAILS("gdi32.dll", DeleteEnhMetaFile, FALSE);
  CLOSE_FAILS("gdi32.dll", DeleteObject, FALSE);
  FAILS_ZERO("gdi32.dll", GetCurrentObject);
  FAILS_ZERO("gdi32.dll", GetDIBits);
  FAILS_ZERO("gdi32.dll", GetDeviceCaps);
  FAILS_ZERO("gdi32.dll", GetObjectA);
  FAILS_ZERO("gdi32.dll", GetObjectType);
  FAILS_ZERO("gdi32.dll", GetROP2);
  FAILS_ZERO("gdi32.dll", GetMapMode);
  FAILS_ZERO("gdi32.dll", GetWorldTransform);
  FAILS_ZERO("gdi32.dll", EndPath);
  FAILS_ZERO("gdi32.dll", LineTo);
  FAILS_ZERO("gdi32.dll", MoveToEx);
  FAILS_ZERO("gdi32.dll", Polyline);
  FAILS_ZERO("gdi32.dll", Rectangle);
  FAILS_ZERO("gdi32.dll", Ellipse);
  FAILS_ZERO("gdi32.dll", FillRgn);
  FAILS_ZERO("gdi32.dll", TextOutA);
  FAILS_ZERO("gdi32.dll", GetTextExtentPoint32A);
  FAILS_ZERO("gdi32.dll", SetRectRgn);
  FAILS_ZERO("gdi32.dll", SaveDC);
  FAILS_ZERO("gdi32.dll", RestoreDC);
  FAILS_ZERO("gdi32.dll", ChoosePixelFormat);
  FAILS_ZERO("gdi32.dll", SetPixelFormat);
  FAILS_ZERO("gdi32.dll", DescribePixelFormat);
  FAILS_ZERO("gdi32.dll", GetPixelFormat);
  FAILS_ZERO("gdi32.dll", SwapBuffers);
  FAILS_AS("gdi32.dll", SelectClipRgn, ERROR);
  Add<SIG(SelectObject)>("gdi32.dll", "SelectObject",
                         {Ways<SIG(SelectObject)>::Returns("null", nullptr),
                          Ways<SIG(SelectObject)>::Returns("HGDI_ERROR", HGDI_ERROR)});
  FAILS_AS("gdi32.dll", SetTextAlign, GDI_ERROR);
  FAILS_AS("gdi32.dll", SetTextColor, CLR_INVALID);
  FAILS_ZERO("gdi32.dll", SetBkMode);
  FAILS_AS("gdi32.dll", SetBkColor, CLR_INVALID);
  FAILS_ZERO("gdi32.dll", SetROP2);
  FAILS_ZERO("gdi32.dll", GetTextMetricsA);
  FAILS_AS("gdi32.dll", GetClipRgn, -1);

  // OpenGL.
  FAILS_ZERO("opengl32.dll", wglCreateContext);
  FAILS_ZERO("opengl32.dll", wglMakeCurrent);
  FAILS_ZERO("opengl32.dll", wglUseFontBitmapsA);
  FAILS_ZERO("opengl32.dll", glGenLists);
  FAILS_AS("opengl32.dll", glGetError, GL_OUT_OF_MEMORY);
  FAILS_AS("glu32.dll", gluErrorString, nullptr);

  // USER.
  FAILS_ZERO("user32.dll", GetDC);
  CLOSE_FAILS("user32.dll", ReleaseDC, 0);
  FAILS_ZERO("user32.dll", InvertRect);
  FAILS_ZERO("user32.dll", FillRect);

  // Kernel: files, global memory, arithmetic.
  CLOSE_FAILS("kernel32.dll", CloseHandle, FALSE);
  FAILS_AS("kernel32.dll", CreateFileA, INVALID_HANDLE_VALUE);
  Add<SIG(GetFileSize)>(
      "kernel32.dll", "GetFileSize",
      {Ways<SIG(GetFileSize)>::Returns("INVALID_FILE_SIZE", INVALID_FILE_SIZE),
       {"over 4 GiB", [](SIG(GetFileSize)* original, HANDLE file, DWORD* high) {
          DWORD low = original(file, high);
          if (high) *high = 1;
          return low;
        }}});
  FAILS_ZERO("kernel32.dll", GlobalAlloc);
  FAILS_ZERO("kernel32.dll", LocalAlloc);
  FAILS_ZERO("kernel32.dll", GlobalLock);
  Add<SIG(GlobalFree)>("kernel32.dll", "GlobalFree",
                       {{"the block back", [](SIG(GlobalFree)* original, HGLOBAL block) {
                          original(block);
                          return block;
                        }}});
  Add<SIG(LocalFree)>("kernel32.dll", "LocalFree",
                      {{"the block back", [](SIG(LocalFree)* original, HLOCAL block) {
                         original(block);
                         return block;
                       }}});
  CLOSE_FAILS("kernel32.dll", GlobalUnlock, FALSE);
  FAILS_AS("kernel32.dll", MulDiv, -1);
  Add<SIG(ReadFile)>(
      "kernel32.dll", "ReadFile",
      {Ways<SIG(ReadFile)>::Returns("FALSE", FALSE),
       {"short read", [](SIG(ReadFile)* original, HANDLE file, void* to, DWORD count,
                         DWORD* read, OVERLAPPED* overlapped) {
          return original(file, to, count / 2, read, overlapped);
        }}});
  Add<SIG(WriteFile)>(
      "kernel32.dll", "WriteFile",
      {Ways<SIG(WriteFile)>::Returns("FALSE", FALSE),
       {"short write", [](SIG(WriteFile)* original, HANDLE file, const void* from, DWORD count,
                          DWORD* written, OVERLAPPED* overlapped) {
          return original(file, from, count / 2, written, overlapped);
        }}});

  // The C runtime's allocations.
  Add<MallocSig>("msvcrt.dll", "malloc", {Ways<MallocSig>::Returns("null", nullptr)});
  Add<CallocSig>("msvcrt.dll", "calloc", {Ways<CallocSig>::Returns("null", nullptr)});
  Add<ReallocSig>("msvcrt.dll", "realloc", {Ways<ReallocSig>::Returns("null", nullptr)});

  // OLE.
  Add<SIG(CreateStreamOnHGlobal)>(
      "ole32.dll", "CreateStreamOnHGlobal",
      {{"E_OUTOFMEMORY", [](SIG(CreateStreamOnHGlobal)*, HGLOBAL, BOOL, IStream** stream) {
          if (stream) *stream = nullptr;
          return static_cast<HRESULT>(E_OUTOFMEMORY);
        }}});
  Add<SIG(OleLoadPicture)>(
      "oleaut32.dll", "OleLoadPicture",
      {{"CTL_E_INVALIDPICTURE", [](SIG(OleLoadPicture)*, IStream*, LONG, BOOL, REFIID,
                                   void** object) {
          if (object) *object = nullptr;
          return static_cast<HRESULT>(CTL_E_INVALIDPICTURE);
        }}});

  // The host's operations: a failure is a zero result with nothing written.
  FAILS_ZERO("tarnapi.dll", tarnObjectGetObject);
  FAILS_ZERO("tarnapi.dll", tarnObjectGetLong);
  FAILS_ZERO("tarnapi.dll", tarnObjectGetDouble);
  FAILS_ZERO("tarnapi.dll", tarnObjectGetSize);
  FAILS_ZERO("tarnapi.dll", tarnObjectSetLong);
  FAILS_ZERO("tarnapi.dll", tarnObjectSetString);
  FAILS_ZERO("tarnapi.dll", tarnObjectSetCString);
  FAILS_ZERO("tarnapi.dll", tarnObjectCallSub);
  CLOSE_FAILS("tarnapi.dll", tarnObjectDelete, 0);
  FAILS_ZERO("tarnapi.dll", tarnChannelDataSeek);
  Add<SIG(tarnChannelGetDataDouble)>(
      "tarnapi.dll", "tarnChannelGetDataDouble",
      {Ways<SIG(tarnChannelGetDataDouble)>::Returns("0", 0),
       {"short read", [](SIG(tarnChannelGetDataDouble)* original, HostObject channel, int count,
                         double* to) { return original(channel, count / 2, to); }}});
  FAILS_ZERO("tarnapi.dll", tarnProgressNew);
  FAILS_ZERO("tarnapi.dll", tarnProgress);
}

FaultHooks::~FaultHooks() {
  while (!hooks_.empty()) hooks_.pop_back();
}

std::vector<std::string> UnclassifiedImports() {
  { FaultPlan plan; FaultHooks listing(plan); }  // fills SweptImports()
  std::set<std::string> known(SweptImports());
  for (const char* name : kCannotFail) known.insert(name);
  std::vector<std::string> unknown;
  auto* base = reinterpret_cast<unsigned char*>(VordaModule());
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(
      base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  for (auto* desc = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
       desc->Name != 0; ++desc) {
    std::string dll = Lower(reinterpret_cast<const char*>(base + desc->Name));
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(
        base + (desc->OriginalFirstThunk ? desc->OriginalFirstThunk : desc->FirstThunk));
    for (; names->u1.AddressOfData != 0; ++names) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      std::string full = dll + "!" + reinterpret_cast<const char*>(byName->Name);
      if (!known.count(full)) unknown.push_back(full);
    }
  }
  return unknown;
}

namespace {

// The case being run, for a crash to name it.
std::string currentCase;

LONG WINAPI NameTheCrash(EXCEPTION_POINTERS* info) {
  std::fprintf(stderr, "\nfault sweep: crash 0x%08lx while running %s\n",
               info->ExceptionRecord->ExceptionCode, currentCase.c_str());
  std::fflush(stderr);
  return EXCEPTION_CONTINUE_SEARCH;
}

// Closing and freeing calls: their caller can do nothing about a failure.
const char* const kClosingCalls[] = {"DeleteObject", "DeleteDC", "DeleteEnhMetaFile",
                                     "CloseHandle", "GlobalFree", "LocalFree", "GlobalUnlock",
                                     "ReleaseDC", "tarnObjectDelete"};

bool Tolerated(const Scene& scene, const std::string& function) {
  for (const char* name : kClosingCalls)
    if (function == name) return true;
  return std::find(scene.tolerated.begin(), scene.tolerated.end(), function) !=
         scene.tolerated.end();
}

bool Listed(const Scene& scene, const std::string& message) {
  for (const std::string& m : scene.messages) {
    if (!m.empty() && m.back() == '*') {
      if (message.compare(0, m.size() - 1, m, 0, m.size() - 1) == 0) return true;
    } else if (message == m) {
      return true;
    }
  }
  return false;
}

std::string Printable(const std::string& s) {
  std::string out;
  for (char c : s) out += c == '\n' ? std::string("\\n") : std::string(1, c);
  return out;
}

struct Run {
  bool failedACall = false;
  int calls = 0;
  int result = 0;
  std::string function, way;
  int ways = 0;
  std::vector<std::string> messages;
  std::string leaks;
  bool arraysChanged = false;
};

Run RunOnce(const Scene& scene, int failAt, int way, bool onward) {
  tarn::host().ClearErrors();
  probe().ClearFaults();
  tarn::host().SetErrorResult(kSweepErrorResult);
  std::vector<CallerArray> arrays = scene.prepare ? scene.prepare() : std::vector<CallerArray>{};
  std::vector<std::vector<unsigned char>> before;
  for (const CallerArray& a : arrays) {
    auto* p = static_cast<const unsigned char*>(a.bytes);
    before.emplace_back(p, p + a.size);
  }
  Run run;
  {
    Ledger ledger;
    FaultPlan plan;
    plan.failAt = failAt;
    plan.way = way;
    plan.onward = onward;
    {
      FaultHooks hooks(plan);
      run.result = scene.call();
    }
    run.failedACall = !plan.failedFunction.empty();
    run.calls = plan.calls;
    run.function = plan.failedFunction;
    run.way = plan.failedWay;
    run.ways = plan.ways;
    if (scene.finish) scene.finish(ledger, run.result);
    run.leaks = ledger.Leaks();
  }
  run.messages = tarn::host().Messages();
  for (size_t i = 0; i < arrays.size(); ++i)
    if (std::memcmp(arrays[i].bytes, before[i].data(), arrays[i].size) != 0)
      run.arraysChanged = true;
  if (scene.cleanUp) scene.cleanUp();
  tarn::host().SetErrorResult(0);
  return run;
}

}  // namespace

SweepResult Sweep(const Scene& scene) {
  static bool filterSet = false;
  if (!filterSet) {
    SetUnhandledExceptionFilter(NameTheCrash);
    filterSet = true;
  }
  SweepResult out;
  // A bound on the calls one scene may make, should a run never end.
  constexpr int kMaxCalls = 20000;
  for (int k = 0; k < kMaxCalls; ++k) {
    for (int way = 0;; ++way) {
      // After the ways of failing call k alone: call k and all after it.
      const bool onward = way < 0;
      currentCase = scene.name + ", call " + std::to_string(k) + " failing (" +
                    (onward ? std::string("and every call after it") : "way " + std::to_string(way)) + ")";
      Run run = RunOnce(scene, k, onward ? 0 : way, onward);
      ++out.runs;
      if (onward) ++out.onwardRuns;
      std::string what = run.failedACall ? "call " + std::to_string(k) + ": " + run.function +
                                               " (" + run.way + (onward ? ", and onward" : "") + ")"
                                         : "clean run (" + std::to_string(run.calls) + " calls)";
      std::string seen = what + " -> " + std::to_string(run.result);
      for (const std::string& m : run.messages) seen += ", \"" + Printable(m) + "\"";
      out.swept.push_back(seen);
      auto fail = [&](const std::string& why) {
        out.failures.push_back(scene.name + ", " + seen + ": " + why);
      };
      if (!run.leaks.empty()) fail("left behind:\n" + run.leaks);
      if (run.arraysChanged) fail("the caller's array was written");
      if (!run.failedACall) {
        if (!scene.succeeded(run.result)) fail("the clean run did not succeed");
        if (!run.messages.empty()) fail("the clean run reported");
        return out;
      }
      if (run.messages.size() > scene.maxMessages) fail("too many messages");
      if (!run.messages.empty()) {
        for (const std::string& m : run.messages)
          if (!Listed(scene, m)) fail("a message the export does not have");
        if (std::find(scene.reportedResults.begin(), scene.reportedResults.end(), run.result) ==
            scene.reportedResults.end())
          fail("after its report it returned " + std::to_string(run.result));
      } else if (scene.succeeded(run.result)) {
        if (!Tolerated(scene, run.function)) fail("a failure passed over as success");
      } else {
        bool mayBeSilent =
            scene.reportsNothing || std::find(scene.silentWhen.begin(), scene.silentWhen.end(),
                                              run.function) != scene.silentWhen.end();
        if (!(mayBeSilent && run.result == scene.silentFailure))
          fail("failed without a message");
      }
      if (onward) break;
      if (way == 0) ++out.pairs;
      if (way + 1 >= run.ways) way = -2;  // then the onward run

    }
  }
  out.failures.push_back(scene.name + ": more than " + std::to_string(kMaxCalls) + " calls");
  return out;
}

SweepTotals& Totals() {
  static SweepTotals totals;
  return totals;
}

}  // namespace vorda_test

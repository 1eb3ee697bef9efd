#include "ledger.h"

#include <ole2.h>
#include <olectl.h>
#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace vorda_test {

namespace {

template <typename T>
const void* AsKey(T v) {
  return reinterpret_cast<const void*>(v);
}

// Whether a deleter's result means the handle is gone.
bool Deleted(BOOL result) { return result != 0; }
bool FreedGlobal(HGLOBAL result) { return result == nullptr; }

}  // namespace

template <typename Sig>
void Ledger::Maker(const char* dll, const char* name) {
  if (!FindImportSlot(VordaModule(), dll, name)) return;
  auto original = std::make_shared<Sig*>(nullptr);
  auto hook = std::make_unique<ImportHook<Sig>>(dll, name, [this, original, name](auto... args) {
    auto made = (*original)(args...);
    // CreateFileA fails with INVALID_HANDLE_VALUE rather than null.
    if (made && AsKey(made) != INVALID_HANDLE_VALUE) Add(AsKey(made), name);
    return made;
  });
  *original = hook->Original();
  hooks_.push_back(std::move(hook));
}

template <typename Sig>
void Ledger::Deleter(const char* dll, const char* name) {
  if (!FindImportSlot(VordaModule(), dll, name)) return;
  auto original = std::make_shared<Sig*>(nullptr);
  auto hook = std::make_unique<ImportHook<Sig>>(dll, name, [this, original](auto handle) {
    auto result = (*original)(handle);
    if (Deleted(result)) Remove(AsKey(handle));
    return result;
  });
  *original = hook->Original();
  hooks_.push_back(std::move(hook));
}

Ledger::Ledger() {
  Maker<decltype(CreatePen)>("gdi32.dll", "CreatePen");
  Maker<decltype(CreatePenIndirect)>("gdi32.dll", "CreatePenIndirect");
  Maker<decltype(CreateSolidBrush)>("gdi32.dll", "CreateSolidBrush");
  Maker<decltype(CreateBrushIndirect)>("gdi32.dll", "CreateBrushIndirect");
  Maker<decltype(CreateRectRgn)>("gdi32.dll", "CreateRectRgn");
  Maker<decltype(CreateRectRgnIndirect)>("gdi32.dll", "CreateRectRgnIndirect");
  Maker<decltype(CreateCompatibleBitmap)>("gdi32.dll", "CreateCompatibleBitmap");
  Maker<decltype(CreateBitmap)>("gdi32.dll", "CreateBitmap");
  Maker<decltype(CreateDIBSection)>("gdi32.dll", "CreateDIBSection");
  Maker<decltype(CreateFontA)>("gdi32.dll", "CreateFontA");
  Maker<decltype(CreateFontIndirectA)>("gdi32.dll", "CreateFontIndirectA");
  Maker<decltype(CreateCompatibleDC)>("gdi32.dll", "CreateCompatibleDC");
  Maker<decltype(CreateEnhMetaFileA)>("gdi32.dll", "CreateEnhMetaFileA");
  Maker<decltype(GetDC)>("user32.dll", "GetDC");
  Maker<decltype(CreateFileA)>("kernel32.dll", "CreateFileA");
  Maker<decltype(GlobalAlloc)>("kernel32.dll", "GlobalAlloc");
  Maker<decltype(LocalAlloc)>("kernel32.dll", "LocalAlloc");
  Maker<MallocSig>("msvcrt.dll", "malloc");
  Maker<CallocSig>("msvcrt.dll", "calloc");

  Deleter<decltype(DeleteObject)>("gdi32.dll", "DeleteObject");
  Deleter<decltype(DeleteDC)>("gdi32.dll", "DeleteDC");
  Deleter<decltype(DeleteEnhMetaFile)>("gdi32.dll", "DeleteEnhMetaFile");
  Deleter<decltype(CloseHandle)>("kernel32.dll", "CloseHandle");

  // Deleters whose result or arguments do not fit the pattern above.
  if (FindImportSlot(VordaModule(), "user32.dll", "ReleaseDC")) {
    auto original = std::make_shared<decltype(&ReleaseDC)>(nullptr);
    auto hook = std::make_unique<ImportHook<decltype(ReleaseDC)>>(
        "user32.dll", "ReleaseDC", [this, original](HWND window, HDC dc) {
          int result = (*original)(window, dc);
          if (result) Remove(dc);
          return result;
        });
    *original = hook->Original();
    hooks_.push_back(std::move(hook));
  }
  if (FindImportSlot(VordaModule(), "gdi32.dll", "CloseEnhMetaFile")) {
    auto original = std::make_shared<decltype(&CloseEnhMetaFile)>(nullptr);
    auto hook = std::make_unique<ImportHook<decltype(CloseEnhMetaFile)>>(
        "gdi32.dll", "CloseEnhMetaFile", [this, original](HDC dc) {
          HENHMETAFILE metafile = (*original)(dc);
          if (metafile) {
            Remove(dc);
            Add(metafile, "CloseEnhMetaFile");
          }
          return metafile;
        });
    *original = hook->Original();
    hooks_.push_back(std::move(hook));
  }
  if (FindImportSlot(VordaModule(), "ole32.dll", "CreateStreamOnHGlobal")) {
    auto original = std::make_shared<decltype(&CreateStreamOnHGlobal)>(nullptr);
    auto hook = std::make_unique<ImportHook<decltype(CreateStreamOnHGlobal)>>(
        "ole32.dll", "CreateStreamOnHGlobal",
        [this, original](HGLOBAL block, BOOL deleteOnRelease, IStream** stream) {
          HRESULT result = (*original)(block, deleteOnRelease, stream);
          if (SUCCEEDED(result) && stream && *stream) {
            // The stream frees the block when it goes.
            if (deleteOnRelease && block) Remove(block);
            Track(*stream, "CreateStreamOnHGlobal");
          }
          return result;
        });
    *original = hook->Original();
    hooks_.push_back(std::move(hook));
  }
  // Display lists count as one block per reserved range, keyed by its base.
  if (FindImportSlot(VordaModule(), "opengl32.dll", "glGenLists")) {
    auto original = std::make_shared<decltype(&glGenLists)>(nullptr);
    auto hook = std::make_unique<ImportHook<decltype(glGenLists)>>(
        "opengl32.dll", "glGenLists", [this, original](GLsizei range) {
          GLuint base = (*original)(range);
          if (base) Add(reinterpret_cast<const void*>(uintptr_t{base}), "glGenLists");
          return base;
        });
    *original = hook->Original();
    hooks_.push_back(std::move(hook));
  }
  if (FindImportSlot(VordaModule(), "oleaut32.dll", "OleLoadPicture")) {
    auto original = std::make_shared<decltype(&OleLoadPicture)>(nullptr);
    auto hook = std::make_unique<ImportHook<decltype(OleLoadPicture)>>(
        "oleaut32.dll", "OleLoadPicture",
        [this, original](IStream* stream, LONG size, BOOL runMode, REFIID iid, void** object) {
          HRESULT result = (*original)(stream, size, runMode, iid, object);
          if (object && *object) Track(static_cast<IUnknown*>(*object), "OleLoadPicture");
          return result;
        });
    *original = hook->Original();
    hooks_.push_back(std::move(hook));
  }
  if (FindImportSlot(VordaModule(), "opengl32.dll", "glDeleteLists")) {
    auto original = std::make_shared<decltype(&glDeleteLists)>(nullptr);
    auto hook = std::make_unique<ImportHook<decltype(glDeleteLists)>>(
        "opengl32.dll", "glDeleteLists", [this, original](GLuint base, GLsizei range) {
          (*original)(base, range);
          Remove(reinterpret_cast<const void*>(uintptr_t{base}));
        });
    *original = hook->Original();
    hooks_.push_back(std::move(hook));
  }
  for (const char* name : {"GlobalFree", "LocalFree"}) {
    if (!FindImportSlot(VordaModule(), "kernel32.dll", name)) continue;
    auto original = std::make_shared<decltype(&GlobalFree)>(nullptr);
    auto hook = std::make_unique<ImportHook<decltype(GlobalFree)>>(
        "kernel32.dll", name, [this, original](HGLOBAL block) {
          HGLOBAL result = (*original)(block);
          if (FreedGlobal(result)) Remove(block);
          return result;
        });
    *original = hook->Original();
    hooks_.push_back(std::move(hook));
  }
  if (FindImportSlot(VordaModule(), "msvcrt.dll", "free")) {
    auto original = std::make_shared<FreeSig*>(nullptr);
    auto hook = std::make_unique<ImportHook<FreeSig>>("msvcrt.dll", "free",
                                                             [this, original](void* block) {
                                                               (*original)(block);
                                                               if (block) Remove(block);
                                                             });
    *original = hook->Original();
    hooks_.push_back(std::move(hook));
  }
  if (FindImportSlot(VordaModule(), "msvcrt.dll", "realloc")) {
    auto original = std::make_shared<ReallocSig*>(nullptr);
    auto hook = std::make_unique<ImportHook<ReallocSig>>(
        "msvcrt.dll", "realloc", [this, original](void* block, size_t bytes) {
          void* moved = (*original)(block, bytes);
          if (moved || bytes == 0) {
            if (block) Remove(block);
            if (moved) Add(moved, "realloc");
          }
          return moved;
        });
    *original = hook->Original();
    hooks_.push_back(std::move(hook));
  }
}

Ledger::~Ledger() {
  // Unhook in the reverse order of hooking.
  while (!hooks_.empty()) hooks_.pop_back();
  for (auto& [object, maker] : com_) object->Release();
}

void Ledger::Add(const void* handle, const char* maker) {
  alive_[reinterpret_cast<uintptr_t>(handle)] = maker;
  ++made_[maker];
}

void Ledger::Track(IUnknown* object, const char* maker) {
  object->AddRef();
  com_.emplace_back(object, maker);
  ++made_[maker];
}

void Ledger::Remove(const void* handle) { alive_.erase(reinterpret_cast<uintptr_t>(handle)); }

int Ledger::Made(const std::string& maker) const {
  auto it = made_.find(maker);
  return it == made_.end() ? 0 : it->second;
}

std::string Ledger::Leaks() const {
  std::ostringstream out;
  for (const auto& [handle, maker] : alive_)
    out << maker << " 0x" << std::hex << handle << std::dec << "\n";
  for (const auto& [object, maker] : com_) {
    // Besides the ledger's own reference and the one taken to look, any
    // reference left is one that vorda never gave up.
    ULONG references = object->AddRef();
    object->Release();
    if (references > 2)
      out << maker << " " << object << " holds " << references - 2 << " reference(s)\n";
  }
  return out.str();
}

}  // namespace vorda_test

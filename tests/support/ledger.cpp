#include "ledger.h"

#include "chain_hook.h"

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

template <typename Sig, typename Handler>
void Ledger::Watch(const char* dll, const char* name, Handler handler) {
  if (FindImportSlot(VordaModule(), dll, name)) hooks_.push_back(Chain<Sig>(dll, name, handler));
}

template <typename Sig>
void Ledger::Maker(const char* dll, const char* name) {
  Watch<Sig>(dll, name, [this, name](auto original, auto... args) {
    auto made = original(args...);
    // CreateFileA fails with INVALID_HANDLE_VALUE rather than null.
    if (made && AsKey(made) != INVALID_HANDLE_VALUE) Add(AsKey(made), name);
    return made;
  });
}

template <typename Sig>
void Ledger::Deleter(const char* dll, const char* name) {
  Watch<Sig>(dll, name, [this](auto original, auto handle) {
    auto result = original(handle);
    if (Deleted(result)) Remove(AsKey(handle));
    return result;
  });
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

  // Makers and deleters whose results or arguments do not fit the above.
  Watch<decltype(ReleaseDC)>("user32.dll", "ReleaseDC", [this](auto original, HWND window, HDC dc) {
    int result = original(window, dc);
    if (result) Remove(dc);
    return result;
  });
  Watch<decltype(CloseEnhMetaFile)>("gdi32.dll", "CloseEnhMetaFile", [this](auto original, HDC dc) {
    HENHMETAFILE metafile = original(dc);
    if (metafile) {
      Remove(dc);
      Add(metafile, "CloseEnhMetaFile");
    }
    return metafile;
  });
  Watch<decltype(CreateStreamOnHGlobal)>(
      "ole32.dll", "CreateStreamOnHGlobal",
      [this](auto original, HGLOBAL block, BOOL deleteOnRelease, IStream** stream) {
        HRESULT result = original(block, deleteOnRelease, stream);
        if (SUCCEEDED(result) && stream && *stream) {
          // The stream frees the block when it goes.
          if (deleteOnRelease && block) Remove(block);
          Track(*stream, "CreateStreamOnHGlobal");
        }
        return result;
      });
  Watch<decltype(OleLoadPicture)>(
      "oleaut32.dll", "OleLoadPicture",
      [this](auto original, IStream* stream, LONG size, BOOL runMode, REFIID iid, void** object) {
        HRESULT result = original(stream, size, runMode, iid, object);
        if (object && *object) Track(static_cast<IUnknown*>(*object), "OleLoadPicture");
        return result;
      });
  // Display lists count as one block per reserved range, keyed by its base.
  Watch<decltype(glGenLists)>("opengl32.dll", "glGenLists", [this](auto original, GLsizei range) {
    GLuint base = original(range);
    if (base) Add(AsKey(uintptr_t{base}), "glGenLists");
    return base;
  });
  Watch<decltype(glDeleteLists)>("opengl32.dll", "glDeleteLists",
                                 [this](auto original, GLuint base, GLsizei range) {
                                   original(base, range);
                                   Remove(AsKey(uintptr_t{base}));
                                 });
  for (const char* name : {"GlobalFree", "LocalFree"}) {
    Watch<decltype(GlobalFree)>("kernel32.dll", name, [this](auto original, HGLOBAL block) {
      HGLOBAL result = original(block);
      if (FreedGlobal(result)) Remove(block);
      return result;
    });
  }
  Watch<FreeSig>("msvcrt.dll", "free", [this](auto original, void* block) {
    original(block);
    if (block) Remove(block);
  });
  Watch<ReallocSig>("msvcrt.dll", "realloc", [this](auto original, void* block, size_t bytes) {
    void* moved = original(block, bytes);
    if (moved || bytes == 0) {
      if (block) Remove(block);
      if (moved) Add(moved, "realloc");
    }
    return moved;
  });
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

int Ledger::Keep(const std::string& maker) {
  int kept = 0;
  for (auto it = alive_.begin(); it != alive_.end();) {
    if (it->second == maker) {
      it = alive_.erase(it);
      ++kept;
    } else {
      ++it;
    }
  }
  return kept;
}

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

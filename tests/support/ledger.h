// Accounts for what vorda makes and gives back while a Ledger lives: GDI
// objects, device contexts, metafiles, heap and global blocks, files, and
// the COM objects vorda gets from the OLE loader (streams, pictures).
// Everything is seen through vorda's own imports, so the test's own
// objects never count.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "import_hook.h"

namespace vorda_test {

class Ledger {
 public:
  Ledger();
  Ledger(const Ledger&) = delete;
  Ledger& operator=(const Ledger&) = delete;
  ~Ledger();

  // What was made and not given back, one "maker handle" a line; empty
  // when nothing is left.
  std::string Leaks() const;
  // How many handles or blocks the named maker ("CreatePen", "malloc")
  // has made so far.
  int Made(const std::string& maker) const;
  int Alive() const { return static_cast<int>(alive_.size()); }

  // Used by the hooks.
  void Add(const void* handle, const char* maker);
  void Remove(const void* handle);
  // A COM object is released by vorda when it gives up every reference it
  // got; the ledger keeps one of its own to look at the count later.
  void Track(IUnknown* object, const char* maker);

 private:
  template <typename Sig, typename Handler>
  void Watch(const char* dll, const char* name, Handler handler);
  template <typename Sig>
  void Maker(const char* dll, const char* name);
  template <typename Sig>
  void Deleter(const char* dll, const char* name);

  std::map<uintptr_t, std::string> alive_;
  std::map<std::string, int> made_;
  std::vector<std::unique_ptr<AnyHook>> hooks_;
  std::vector<std::pair<IUnknown*, std::string>> com_;
};

}  // namespace vorda_test

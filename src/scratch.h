// Scratch memory that fails like malloc: no exception can come out of it,
// and the guard frees it on every path out of the operation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace vorda {

struct FreeDeleter {
  void operator()(void* p) const { std::free(p); }
};

template <typename T>
using Scratch = std::unique_ptr<T[], FreeDeleter>;

// count * size in bytes, or false when the product does not fit size_t.
inline bool CheckedBytes(uint64_t count, size_t size, size_t* bytes) {
  if (size != 0 && count > SIZE_MAX / size) return false;
  *bytes = static_cast<size_t>(count) * size;
  return true;
}

// An array of `count` T, or null when it cannot be had (or would overflow).
template <typename T>
Scratch<T> AllocateScratch(uint64_t count) {
  size_t bytes = 0;
  if (!CheckedBytes(count, sizeof(T), &bytes)) return Scratch<T>();
  // malloc(0) may return null; ask for one byte so that an empty array
  // is not mistaken for a failed allocation.
  return Scratch<T>(static_cast<T*>(std::malloc(bytes ? bytes : 1)));
}

// A scratch copy of the caller's `count` T, or null when it cannot be
// made: no memory, or no array to copy from.
template <typename T>
Scratch<T> CopyToScratch(const T* data, uint64_t count) {
  if (count != 0 && !data) return Scratch<T>();
  Scratch<T> copy = AllocateScratch<T>(count);
  if (copy && count != 0) std::memcpy(copy.get(), data, sizeof(T) * static_cast<size_t>(count));
  return copy;
}

}  // namespace vorda

// Keyword arguments: zero-terminated strings compared whole and
// case-sensitively. A null string matches no keyword.
#pragma once

#include <cstring>

namespace vorda {

inline bool IsKeyword(const char* text, const char* keyword) {
  return text != nullptr && std::strcmp(text, keyword) == 0;
}

template <typename Value>
struct KeywordEntry {
  const char* keyword;
  Value value;
};

// Looks text up in a table, first match wins; returns false when absent.
template <typename Value, size_t N>
bool FindKeyword(const KeywordEntry<Value> (&table)[N], const char* text, Value* out) {
  for (const KeywordEntry<Value>& e : table) {
    if (IsKeyword(text, e.keyword)) {
      *out = e.value;
      return true;
    }
  }
  return false;
}

}  // namespace vorda

// Keyword arguments ("round", "center", ...) resolved by their hash, as call
// names are.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "arguments.h"

struct Keyword {
  uint64_t hash;
  int value;
};

inline const Keyword* findKeyword(std::span<const Keyword> table, std::string_view word) {
  uint64_t hash = nameHash64(word);
  for (const Keyword& k : table)
    if (k.hash == hash) return &k;
  return nullptr;
}

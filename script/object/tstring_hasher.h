// Hashing for TString keys in the standard unordered containers (case-sensitive). A name whose
// hash is already known (a script's tokens carry theirs) is looked up as a HashedName, without
// hashing it again.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

#include "foundation/text/tstring.h"

namespace vk2 {

inline size_t HashName(const TString& s) {
  return std::hash<std::u16string_view>{}(std::u16string_view(s.c_str(), s.Length()));
}

// The name of the argument array, made once.
const TString& ParamsName();

struct HashedName {
  const TString& name;
  size_t hash;
};

struct TStringHasher {
  using is_transparent = void;
  size_t operator()(const TString& s) const { return HashName(s); }
  size_t operator()(const HashedName& h) const { return h.hash; }
};

struct TStringEqual {
  using is_transparent = void;
  bool operator()(const TString& a, const TString& b) const { return a == b; }
  bool operator()(const HashedName& a, const TString& b) const { return a.name == b; }
  bool operator()(const TString& a, const HashedName& b) const { return a == b.name; }
};

}  // namespace vk2

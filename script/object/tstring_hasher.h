// Hashing for TString keys in the standard unordered containers (case-sensitive).
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

#include "foundation/text/tstring.h"

namespace vk2 {

struct TStringHasher {
  size_t operator()(const TString& s) const {
    return std::hash<std::u16string_view>{}(std::u16string_view(s.c_str(), s.Length()));
  }
};

}  // namespace vk2

// The one case folding of the system: ASCII letters only. Every case-insensitive compare, find,
// wildcard match and hash folds through here, so a key that compares equal also hashes equal.
#pragma once

#include <type_traits>

namespace vk2 {

// Lower-cases A-Z; every other unit, including letters beyond ASCII, stays as it is.
template <class CharT>
constexpr CharT FoldAscii(CharT c) {
  return (c >= CharT('A') && c <= CharT('Z')) ? static_cast<CharT>(c + ('a' - 'A')) : c;
}

// The unit as an unsigned code for ordering: narrow bytes compare as unsigned, like strcmp.
template <class CharT>
constexpr unsigned UnitCode(CharT c, bool fold) {
  using U = std::make_unsigned_t<CharT>;
  return static_cast<U>(fold ? FoldAscii(c) : c);
}

}  // namespace vk2

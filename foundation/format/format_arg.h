// Typed arguments for the printf-style formatter.
//
// C++ callers never pass C varargs: every argument is packed with its kind, and a conversion
// that meets an argument of the wrong kind prints nothing instead of reading garbage.
#pragma once

#include <cstdint>
#include <span>
#include <type_traits>

namespace vk2 {

struct FormatArg {
  enum class Kind : uint8_t { kSigned, kUnsigned, kDouble, kWideText, kNarrowText, kPointer };
  Kind kind;
  union {
    int64_t i;
    uint64_t u;
    double d;
    const char16_t* wide;
    const char* narrow;
    const void* pointer;
  };
};

using FormatArgs = std::span<const FormatArg>;

template <class T>
  requires(std::is_integral_v<T> && std::is_signed_v<T>)
inline FormatArg MakeFormatArg(T v) {
  FormatArg a{FormatArg::Kind::kSigned, {}};
  a.i = v;
  return a;
}
template <class T>
  requires(std::is_integral_v<T> && std::is_unsigned_v<T>)
inline FormatArg MakeFormatArg(T v) {
  FormatArg a{FormatArg::Kind::kUnsigned, {}};
  a.u = v;
  return a;
}
template <class T>
  requires std::is_enum_v<T>
inline FormatArg MakeFormatArg(T v) {
  return MakeFormatArg(static_cast<std::underlying_type_t<T>>(v));
}
inline FormatArg MakeFormatArg(double v) {
  FormatArg a{FormatArg::Kind::kDouble, {}};
  a.d = v;
  return a;
}
inline FormatArg MakeFormatArg(float v) { return MakeFormatArg(static_cast<double>(v)); }
inline FormatArg MakeFormatArg(const char16_t* v) {
  FormatArg a{FormatArg::Kind::kWideText, {}};
  a.wide = v;
  return a;
}
inline FormatArg MakeFormatArg(const char* v) {
  FormatArg a{FormatArg::Kind::kNarrowText, {}};
  a.narrow = v;
  return a;
}
inline FormatArg MakeFormatArg(std::nullptr_t) {
  FormatArg a{FormatArg::Kind::kPointer, {}};
  a.pointer = nullptr;
  return a;
}
template <class T>
  requires(!std::is_same_v<std::remove_cv_t<T>, char> &&
           !std::is_same_v<std::remove_cv_t<T>, char16_t>)
inline FormatArg MakeFormatArg(T* v) {
  FormatArg a{FormatArg::Kind::kPointer, {}};
  a.pointer = v;
  return a;
}

}  // namespace vk2

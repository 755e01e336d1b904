// `UnpackScriptArgs`: checks and converts the arguments of a native call in one step, driven by
// the handler's signature, e.g. UnpackScriptArgs(args, u"Wi", &name, &count).
//
// Format: descriptors of an optional decimal count and a letter; upper case required, lower case
// optional, required ones first. A count n > 1 asks for an array argument of exactly n values.
//   W  TString        the text as it stands
//   A  NarrowString   the text as UTF-8
//   B  bool           "0" or "false" (any case) false, other text true, empty text fails
//   I  int32_t        ParseIntegerText: "0x" hexadecimal, else decimal, 32-bit saturation
//   U  uint32_t       TString::ParseUnsigned
//   D  double         ParseNumberText: "0x" hexadecimal integer, else a decimal real
//   T  table, int32_t the value of the row whose name matches the text (FindNamedValue); the
//                     table is a const NamedItemArray* or a constant NamedValue table
//   M  Guid           registry form, with or without braces
// I, U, D and T take an array output for counts above 1: int32_t (*)[n], std::array<int32_t, n>*
// or std::span<int32_t>. Array element j is converted into output element j; the elements are
// walked from the last to the first, so when one fails the ones after it are already written.
//
// Result: the number of arguments converted (all of them), or -1 when there are fewer than the
// required or more than the format has, an argument has the wrong shape, or a conversion fails.
// Outputs converted before a failure keep their new values; outputs of absent optional arguments
// are not touched.
//
// A call with no arguments returns 0 whatever the format requires and touches no output:
// handlers give every output its default before the call and treat only a negative result as
// failure.
//
// The typed front end checks at compile time that every output's type matches its letter and
// that the format holds nothing but descriptors. The slot-based core checks the same at run time
// (returning -1, even for a call without arguments, when outputs and format disagree).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <type_traits>

#include "component/script/script_arg_format.h"
#include "component/script/script_arg_list.h"
#include "foundation/containers/named_item_array.h"
#include "foundation/text/tstring.h"
#include "foundation/util/guid.h"

namespace vk2 {

// One output: what it is, where it is, and how many elements (rows for a constant name table).
struct ScriptArgSlot {
  ScriptArgKind kind = ScriptArgKind::kNone;
  void* target = nullptr;
  uint32_t size = 1;
};

// The core over an array of output slots (T takes a table slot, then an int32 slot).
int32_t UnpackScriptArgsSlots(const ScriptArgList& args, const char16_t* format,
                              const ScriptArgSlot* slots, uint32_t slotCount);

// ---- Typed front end ---------------------------------------------------------------------------

template <class T>
struct ScriptArgOutput;  // not an output type the unpacker knows

namespace script_args_detail {
template <ScriptArgKind K, class T>
struct ScalarOutput {
  static constexpr ScriptArgKind kKind = K;
  static constexpr uint32_t kSize = 1;
  static ScriptArgSlot Slot(T* p) { return {K, p, 1}; }
};
template <ScriptArgKind K, class T, size_t N>
struct ArrayOutput {
  static constexpr ScriptArgKind kKind = K;
  static constexpr uint32_t kSize = N;
  template <class P>
  static ScriptArgSlot Slot(P p) {
    return {K, p ? static_cast<void*>(std::data(*p)) : nullptr, static_cast<uint32_t>(N)};
  }
};
template <ScriptArgKind K, class T>
struct SpanOutput {
  static constexpr ScriptArgKind kKind = K;
  static constexpr uint32_t kSize = kUnknownSize;
  static ScriptArgSlot Slot(std::span<T> s) {
    return {K, s.data(), s.size() < kUnknownSize ? static_cast<uint32_t>(s.size()) : 0};
  }
};
template <class T>
inline constexpr ScriptArgKind kNumberKind = std::is_same_v<T, int32_t>    ? ScriptArgKind::kInt32
                                             : std::is_same_v<T, uint32_t> ? ScriptArgKind::kUint32
                                             : std::is_same_v<T, double>   ? ScriptArgKind::kDouble
                                                                           : ScriptArgKind::kNone;
template <class T>
concept Number = kNumberKind<T>
!= ScriptArgKind::kNone;
}  // namespace script_args_detail

template <>
struct ScriptArgOutput<TString*> : script_args_detail::ScalarOutput<ScriptArgKind::kText, TString> {
};
template <>
struct ScriptArgOutput<NarrowString*>
    : script_args_detail::ScalarOutput<ScriptArgKind::kNarrowText, NarrowString> {};
template <>
struct ScriptArgOutput<bool*> : script_args_detail::ScalarOutput<ScriptArgKind::kBool, bool> {};
template <>
struct ScriptArgOutput<Guid*> : script_args_detail::ScalarOutput<ScriptArgKind::kGuid, Guid> {};
template <script_args_detail::Number T>
struct ScriptArgOutput<T*>
    : script_args_detail::ScalarOutput<script_args_detail::kNumberKind<T>, T> {};
template <script_args_detail::Number T, size_t N>
struct ScriptArgOutput<T (*)[N]>
    : script_args_detail::ArrayOutput<script_args_detail::kNumberKind<T>, T, N> {};
template <script_args_detail::Number T, size_t N>
struct ScriptArgOutput<std::array<T, N>*>
    : script_args_detail::ArrayOutput<script_args_detail::kNumberKind<T>, T, N> {};
template <script_args_detail::Number T>
struct ScriptArgOutput<std::span<T>>
    : script_args_detail::SpanOutput<script_args_detail::kNumberKind<T>, T> {};
template <>
struct ScriptArgOutput<const NamedItemArray*> {
  static constexpr ScriptArgKind kKind = ScriptArgKind::kNameTable;
  static constexpr uint32_t kSize = 1;
  static ScriptArgSlot Slot(const NamedItemArray* t) {
    return {kKind, const_cast<NamedItemArray*>(t), 1};
  }
};
template <size_t N>
struct ScriptArgOutput<const NamedValue (*)[N]> {
  static constexpr ScriptArgKind kKind = ScriptArgKind::kNameRows;
  static constexpr uint32_t kSize = 1;
  static ScriptArgSlot Slot(const NamedValue (*t)[N]) {
    return {kKind, t ? const_cast<NamedValue*>(*t) : nullptr, static_cast<uint32_t>(N)};
  }
};
template <>
struct ScriptArgOutput<std::span<const NamedValue>> {
  static constexpr ScriptArgKind kKind = ScriptArgKind::kNameRows;
  static constexpr uint32_t kSize = 1;
  static ScriptArgSlot Slot(std::span<const NamedValue> t) {
    return {kKind, const_cast<NamedValue*>(t.data()), static_cast<uint32_t>(t.size())};
  }
};
// A table built at run time is passed as a pointer to const or not.
template <>
struct ScriptArgOutput<NamedItemArray*> : ScriptArgOutput<const NamedItemArray*> {};

// Reached in a constant expression only when a format and its outputs disagree: the compiler
// names this function in its error.
void ScriptArgOutputsDoNotMatchFormat();

// A format whose outputs were checked when the call was compiled.
template <class... Outs>
class ScriptArgFormat {
 public:
  consteval ScriptArgFormat(const char16_t* text)  // NOLINT(google-explicit-constructor)
      : text_(text) {
    constexpr ScriptArgKind kinds[] = {ScriptArgOutput<Outs>::kKind..., ScriptArgKind::kNone};
    constexpr uint32_t sizes[] = {ScriptArgOutput<Outs>::kSize..., 0};
    if (!script_args_detail::OutputsMatch(text, kinds, sizes, sizeof...(Outs), true)) {
      ScriptArgOutputsDoNotMatchFormat();
    }
  }
  const char16_t* Text() const { return text_; }

 private:
  const char16_t* text_;
};

template <class... Outs>
int32_t UnpackScriptArgs(const ScriptArgList& args,
                         ScriptArgFormat<std::type_identity_t<Outs>...> format, Outs... outs) {
  const ScriptArgSlot slots[] = {ScriptArgOutput<Outs>::Slot(outs)..., ScriptArgSlot{}};
  return UnpackScriptArgsSlots(args, format.Text(), slots, sizeof...(Outs));
}

}  // namespace vk2

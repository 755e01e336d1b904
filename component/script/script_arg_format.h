// Reading unpacker formats: a sequence of descriptors, each an optional decimal count and one
// letter. Upper-case letters are required arguments, lower-case ones optional, and all required
// ones come first. Shared by the run-time unpacker and the compile-time check of its typed front
// end, so both read a format the same way.
#pragma once

#include <cstdint>

namespace vk2 {

// What an output slot is. kNameTable and kNameRows are the two forms of a T letter's table.
enum class ScriptArgKind : uint8_t {
  kNone,
  kText,        // TString
  kNarrowText,  // NarrowString
  kBool,        // bool
  kInt32,       // int32_t or an array of them
  kUint32,      // uint32_t or an array of them
  kDouble,      // double or an array of them
  kNameTable,   // const NamedItemArray
  kNameRows,    // const NamedValue[rows]
  kGuid,        // Guid
};

namespace script_args_detail {

// Counts above this are not a signature anyone writes; they fail the check.
inline constexpr uint32_t kMaxCount = 4096;
// An output array whose length is only known at run time.
inline constexpr uint32_t kUnknownSize = UINT32_MAX;

constexpr bool IsDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}
constexpr char16_t Upper(char16_t c) {
  return c >= u'a' && c <= u'z' ? c - (u'a' - u'A') : c;
}
constexpr bool IsArgLetter(char16_t upper) {
  switch (upper) {
    case u'W':
    case u'A':
    case u'B':
    case u'I':
    case u'U':
    case u'D':
    case u'T':
    case u'M':
      return true;
    default:
      return false;
  }
}
constexpr bool IsRequiredLetter(char16_t c) {
  return IsArgLetter(c);
}
constexpr bool IsOptionalLetter(char16_t c) {
  return c >= u'a' && c <= u'z' && IsArgLetter(Upper(c));
}

struct Counts {
  uint32_t required = 0;
  uint32_t total = 0;
};

// Required letters up to the first other character (digits skipped), then optional letters up
// to the next other character. Anything after that is not part of the signature.
constexpr Counts CountDescriptors(const char16_t* format) {
  Counts counts;
  const char16_t* p = format;
  for (; *p; ++p) {
    if (IsDigit(*p)) continue;
    if (!IsRequiredLetter(*p)) break;
    ++counts.required;
  }
  counts.total = counts.required;
  for (; *p; ++p) {
    if (IsDigit(*p)) continue;
    if (!IsOptionalLetter(*p)) break;
    ++counts.total;
  }
  return counts;
}

struct Descriptor {
  uint32_t count = 1;   // values the argument carries; above kMaxCount when absurd
  char16_t letter = 0;  // upper-cased
};

// Reads the descriptor at *p and moves past it. Only called for counted descriptors.
constexpr Descriptor NextDescriptor(const char16_t*& p) {
  Descriptor d;
  if (IsDigit(*p)) {
    uint32_t count = 0;
    for (; IsDigit(*p); ++p) {
      if (count <= kMaxCount) count = count * 10 + static_cast<uint32_t>(*p - u'0');
    }
    d.count = count;
  }
  d.letter = Upper(*p);
  if (*p) ++p;
  return d;
}

// Checks that `kinds`/`sizes` (one per output, T taking two) are the outputs the format's
// counted descriptors need. kUnknownSize is not checked. `strict` also refuses text outside the
// signature and counts of 0, which the run-time walk would merely ignore or never match.
constexpr bool OutputsMatch(const char16_t* format, const ScriptArgKind* kinds,
                            const uint32_t* sizes, uint32_t outputs, bool strict) {
  if (!format) return false;
  const Counts counts = CountDescriptors(format);
  const char16_t* p = format;
  uint32_t slot = 0;
  for (uint32_t i = 0; i < counts.total; ++i) {
    const Descriptor d = NextDescriptor(p);
    if (d.count > kMaxCount || (strict && d.count == 0)) return false;
    if (d.letter == u'T') {
      if (slot >= outputs) return false;
      if (kinds[slot] != ScriptArgKind::kNameTable && kinds[slot] != ScriptArgKind::kNameRows) {
        return false;
      }
      ++slot;
    }
    if (slot >= outputs) return false;
    const ScriptArgKind kind = kinds[slot];
    const uint32_t size = sizes[slot];
    ++slot;
    switch (d.letter) {
      case u'W':
        if (kind != ScriptArgKind::kText || d.count != 1) return false;
        break;
      case u'A':
        if (kind != ScriptArgKind::kNarrowText || d.count != 1) return false;
        break;
      case u'B':
        if (kind != ScriptArgKind::kBool || d.count != 1) return false;
        break;
      case u'M':
        if (kind != ScriptArgKind::kGuid || d.count != 1) return false;
        break;
      case u'I':
      case u'T':
        if (kind != ScriptArgKind::kInt32) return false;
        break;
      case u'U':
        if (kind != ScriptArgKind::kUint32) return false;
        break;
      case u'D':
        if (kind != ScriptArgKind::kDouble) return false;
        break;
      default:
        return false;
    }
    if (size != kUnknownSize && size < d.count) return false;
  }
  if (slot != outputs) return false;
  return !strict || *p == 0;
}

}  // namespace script_args_detail
}  // namespace vk2

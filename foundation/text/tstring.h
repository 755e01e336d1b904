// Reference-counted, copy-on-write strings: `TString` (UTF-16) and its narrow twin
// `NarrowString` (bytes; UTF-8 at the OS boundary).
//
// A string object is one pointer to the first character; a header in front of the characters
// holds the reference count, the length (including the terminator), the capacity and the
// allocator that owns the block. A null pointer is the empty string. Copies share the buffer;
// every write copies a shared buffer first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "foundation/format/format_arg.h"

namespace vk2 {

// Resizes the block that lies in front of *chars to `bytes` + header bytes (null *chars: a new
// block), stores the new character pointer, frees the block when `bytes` is 0. Nonzero on success.
using StringAllocator = int (*)(void** chars, uint32_t bytes);
int DefaultStringAllocator(void** chars, uint32_t bytes);
// Bytes of the header in front of the characters (reference count, length, capacity, allocator).
inline constexpr uint32_t kStringHeaderBytes = 24;

template <class CharT>
class BasicTString {
 public:
  using Char = CharT;
  using View = std::basic_string_view<CharT>;

  BasicTString() = default;
  BasicTString(const CharT* text);  // NOLINT(google-explicit-constructor): strings flow freely
  BasicTString(View text);          // NOLINT(google-explicit-constructor)
  BasicTString(const BasicTString& other);
  BasicTString(BasicTString&& other) noexcept : chars_(other.chars_) { other.chars_ = nullptr; }
  ~BasicTString() { Release(); }
  BasicTString& operator=(const BasicTString& other);
  BasicTString& operator=(BasicTString&& other) noexcept;
  BasicTString& operator=(const CharT* text);

  // Drops this holder's reference; the last one frees the block through its own allocator.
  void Release();
  // Visible length (0 for a null string).
  uint32_t Length() const;
  bool IsEmpty() const { return Length() == 0; }
  // Never null: "" for an empty string.
  const CharT* c_str() const;
  View view() const { return View(c_str(), Length()); }
  CharT operator[](uint32_t i) const { return c_str()[i]; }
  // Writable characters; makes the buffer unique first. Do not copy the string while writing.
  CharT* WritableData();
  // The raw character pointer (null for a null string); identity of the shared buffer.
  const CharT* RawPointer() const { return chars_; }

  // Copies `text` up to its terminator or `maximum` characters (-1: no maximum). `replace`
  // overwrites, otherwise appends. Null text with `replace` releases; without it changes nothing.
  bool Assign(const CharT* text, int32_t maximum = -1, bool replace = true,
              StringAllocator allocator = nullptr);
  // Room for n characters including the terminator; the length becomes n. A shared buffer is
  // copied first (capacity exactly n, through `allocator`); an own buffer is kept while
  // capacity/2 <= n <= capacity, else grows to max(2 x capacity, n) or shrinks to exactly n.
  // Characters past the old text read as zeros. n 0 releases the string: no block exists
  // without room for its terminator. False (string unchanged) when the block cannot be had.
  bool Reserve(uint32_t n, StringAllocator allocator = nullptr);
  // Copies a shared buffer so that this holder owns it alone.
  bool MakeUnique();

  BasicTString& Append(const BasicTString& other);
  BasicTString& Append(const CharT* text);
  BasicTString& AppendPart(const CharT* text, int32_t count);
  BasicTString& operator+=(const BasicTString& other) { return Append(other); }
  BasicTString& operator+=(const CharT* text) { return Append(text); }
  BasicTString& operator+=(CharT c) { return AppendPart(&c, 1); }
  BasicTString Concat(const BasicTString& other) const;
  BasicTString ConcatText(const CharT* text) const;

  // Negative start counts from the end (-1 is the end); negative count counts back from the end
  // (-1: to the end). Out-of-range values are clamped.
  BasicTString Mid(int32_t start, int32_t count = -1) const;
  // Index of the first occurrence at or after `start`, or -1.
  int32_t Find(const CharT* needle, bool caseSensitive = true, int32_t start = 0) const;
  int32_t FindChar(CharT c, int32_t start = 0) const;
  // True when the lengths are equal and the characters match (length -1: measure `text`; null
  // text is the empty string).
  bool Equals(const CharT* text, bool caseSensitive = true, int32_t length = -1) const;
  bool Equals(const BasicTString& other, bool caseSensitive = true) const;
  bool operator==(const BasicTString& other) const { return Equals(other, true); }
  bool operator==(const CharT* text) const { return Equals(text, true); }

  // 0 for an empty string; else base 16 after exactly "0x", base 10 otherwise, with 32-bit
  // saturation. Stores the value and returns the characters consumed.
  int32_t ParseUnsigned(uint32_t* out) const;
  // True when any character is not white space (blank, tab, CR, LF).
  bool IsNotBlank() const;
  BasicTString Trimmed() const;

  // Formatted text through the system formatter. Printf replaces, AppendPrintf appends, Format
  // returns a new string; ReplacePrintf formats over [pos, pos+count) (-1: end / whole length;
  // a pos outside the text is the end, a count past the end reaches the end) and returns the
  // formatted length, or a negative measure with the string unchanged.
  int32_t ReplacePrintfArgs(int32_t pos, int32_t count, const CharT* format, FormatArgs args);
  template <class... A>
  int32_t ReplacePrintf(int32_t pos, int32_t count, const CharT* format, const A&... args) {
    const FormatArg packed[] = {MakeFormatArg(args)..., MakeFormatArg(0)};
    return ReplacePrintfArgs(pos, count, format, FormatArgs(packed, sizeof...(A)));
  }
  template <class... A>
  int32_t Printf(const CharT* format, const A&... args) {
    return ReplacePrintf(0, -1, format, args...);
  }
  template <class... A>
  int32_t AppendPrintf(const CharT* format, const A&... args) {
    return ReplacePrintf(-1, 0, format, args...);
  }
  template <class... A>
  static BasicTString Format(const CharT* format, const A&... args) {
    BasicTString s;
    s.Printf(format, args...);
    return s;
  }

 private:
  // True when another holder shares the buffer (a null string is not shared).
  bool IsShared() const;
  // Replaces or appends exactly `count` characters; `text` may point into this string.
  bool Put(const CharT* text, size_t count, bool replace, StringAllocator allocator);

  CharT* chars_ = nullptr;
};

using TString = BasicTString<char16_t>;
using NarrowString = BasicTString<char>;

extern template class BasicTString<char16_t>;
extern template class BasicTString<char>;

// Strings print through %s / %S.
inline FormatArg MakeFormatArg(const TString& s) {
  return MakeFormatArg(s.c_str());
}
inline FormatArg MakeFormatArg(const NarrowString& s) {
  return MakeFormatArg(s.c_str());
}

// ---- Conversions between the widths ----------------------------------------------------------
// Narrow text is UTF-8; bytes that do not form valid UTF-8 are read as Latin-1, so legacy
// single-byte text survives. Wide text is written as UTF-8 (lone surrogates as U+FFFD).
TString WideFromNarrow(const char* text, int32_t count = -1);
NarrowString NarrowFromWide(const char16_t* text, int32_t count = -1);

// Appends (replace=false) or assigns narrow text to a wide string.
bool AssignNarrow(TString& target, const char* text, int32_t maximum = -1, bool replace = true);
// Wide strings from narrow text; counts are bytes and stop early at a zero byte (-1: to the
// terminator). FromNarrowParts appends up to eight pieces in order, a null piece adds nothing.
TString FromNarrowText(const char* text);
TString FromNarrowString(const char* text, int32_t count);
TString FromNarrowParts(const char* p1, const char* p2 = nullptr, const char* p3 = nullptr,
                        const char* p4 = nullptr, const char* p5 = nullptr,
                        const char* p6 = nullptr, const char* p7 = nullptr,
                        const char* p8 = nullptr);
bool AssignWide(NarrowString& target, const char16_t* text, int32_t maximum = -1,
                bool replace = true);
NarrowString FromWide(const TString& text);
NarrowString FromWideN(const char16_t* text, int32_t count);

// u"..." <-> "..." helpers for literals and std strings at the OS boundary.
inline TString Utf16(std::string_view utf8) {
  return FromNarrowString(utf8.data(), static_cast<int32_t>(utf8.size()));
}
inline NarrowString Utf8(const TString& s) {
  return FromWide(s);
}

// ---- Comparison, hashing, matching -------------------------------------------------------------
// Same pointer 0; null a gives 1, null b gives -1; otherwise <0, 0, >0 over n characters
// (-1: whole). Case-insensitive compares fold ASCII only.
int WideCompare(const char16_t* a, const char16_t* b, bool caseSensitive = true, int32_t n = -1);
int NarrowCompare(const char* a, const char* b, bool caseSensitive = true, int32_t n = -1);
int CompareWideNarrow(const char16_t* wide, const char* narrow, bool caseSensitive = true,
                      int32_t n = -1);

// 0 when `pattern` ("*" any run, "?" any one character) matches `text`, else nonzero: 1, or -1
// for a null pattern (nulls as in WideCompare). A "*" in the pattern is always a wildcard.
// A limit >= 0 cuts the text to that many characters first. By design (a cheap early out) a
// pattern more than two characters longer than the text never matches, so "a***" fails on "a".
int WildcardCompare(const char16_t* text, const char16_t* pattern, bool caseSensitive = true,
                    int32_t limit = -1);

// ELF hash over 16-bit characters, folded to ASCII lower case when `fold` is set.
uint32_t ElfHash(const char16_t* text, bool fold);

}  // namespace vk2

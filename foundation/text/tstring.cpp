#include "foundation/text/tstring.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "foundation/text/ascii_case.h"
#include "foundation/text/number_parse.h"
#include "foundation/text/string_header.h"

namespace vk2 {

int DefaultStringAllocator(void** chars, uint32_t bytes) {
  char* block = *chars ? static_cast<char*>(*chars) - kStringHeaderBytes : nullptr;
  if (bytes == 0) {
    std::free(block);
    *chars = nullptr;
    return 1;
  }
  void* resized = std::realloc(block, size_t{bytes} + kStringHeaderBytes);
  if (!resized) return 0;
  *chars = static_cast<char*>(resized) + kStringHeaderBytes;
  return 1;
}

namespace {

template <class CharT>
constexpr CharT kEmptyText[1] = {0};

// Largest capacity, in characters, whose byte count the allocator's 32-bit size can carry.
template <class CharT>
constexpr uint32_t kMaxCapacity = (UINT32_MAX - kStringHeaderBytes) / sizeof(CharT);

template <class CharT>
bool IsWhite(CharT c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Characters up to the terminator or `maximum` (-1: no maximum).
template <class CharT>
size_t MeasureText(const CharT* text, int32_t maximum) {
  if (maximum < 0) return std::char_traits<CharT>::length(text);
  size_t n = 0;
  while (n < static_cast<size_t>(maximum) && text[n])
    ++n;
  return n;
}

template <class CharT>
CharT* NewBlock(uint32_t capacity, StringAllocator allocator) {
  void* chars = nullptr;
  if (!allocator(&chars, capacity * static_cast<uint32_t>(sizeof(CharT)))) return nullptr;
  StringHeader* h = HeaderOf(static_cast<CharT*>(chars));
  h->refs = 1;
  h->length = 0;
  h->capacity = capacity;
  h->reserved = 0;
  h->allocator = allocator;
  return static_cast<CharT*>(chars);
}

template <class CharT>
bool EqualUnits(const CharT* a, const CharT* b, size_t n, bool fold) {
  for (size_t i = 0; i < n; ++i) {
    if (UnitCode(a[i], fold) != UnitCode(b[i], fold)) return false;
  }
  return true;
}

}  // namespace

template <class CharT>
BasicTString<CharT>::BasicTString(const CharT* text) {
  Assign(text);
}

template <class CharT>
BasicTString<CharT>::BasicTString(View text) {
  if (!text.empty()) Put(text.data(), text.size(), true, nullptr);
}

template <class CharT>
BasicTString<CharT>::BasicTString(const BasicTString& other) : chars_(other.chars_) {
  if (chars_) RefsOf(HeaderOf(chars_)).fetch_add(1, std::memory_order_relaxed);
}

template <class CharT>
BasicTString<CharT>& BasicTString<CharT>::operator=(const BasicTString& other) {
  if (other.chars_ != chars_) {
    if (other.chars_) RefsOf(HeaderOf(other.chars_)).fetch_add(1, std::memory_order_relaxed);
    Release();
    chars_ = other.chars_;
  }
  return *this;
}

template <class CharT>
BasicTString<CharT>& BasicTString<CharT>::operator=(BasicTString&& other) noexcept {
  if (this != &other) {
    Release();
    chars_ = other.chars_;
    other.chars_ = nullptr;
  }
  return *this;
}

template <class CharT>
BasicTString<CharT>& BasicTString<CharT>::operator=(const CharT* text) {
  Assign(text);
  return *this;
}

template <class CharT>
void BasicTString<CharT>::Release() {
  if (!chars_) return;
  StringHeader* h = HeaderOf(chars_);
  if (RefsOf(h).fetch_sub(1, std::memory_order_acq_rel) == 1) {
    void* chars = chars_;
    h->allocator(&chars, 0);
  }
  chars_ = nullptr;
}

template <class CharT>
uint32_t BasicTString<CharT>::Length() const {
  return chars_ ? HeaderOf(chars_)->length - 1 : 0;
}

template <class CharT>
const CharT* BasicTString<CharT>::c_str() const {
  return chars_ ? chars_ : kEmptyText<CharT>;
}

template <class CharT>
CharT* BasicTString<CharT>::WritableData() {
  MakeUnique();
  return chars_;
}

template <class CharT>
bool BasicTString<CharT>::IsShared() const {
  return chars_ && RefsOf(HeaderOf(chars_)).load(std::memory_order_acquire) != 1;
}

template <class CharT>
bool BasicTString<CharT>::Reserve(uint32_t n, StringAllocator allocator) {
  // No room even for the terminator: the only such string is the null (empty) one.
  if (n == 0) {
    Release();
    return true;
  }
  if (n > kMaxCapacity<CharT>) return false;
  if (!allocator) allocator = DefaultStringAllocator;
  // Visible characters that survive; new room past them reads as zeros until written.
  // (A length of 0 never occurs in a live block; guard it anyway, it would wrap to 4 GiB.)
  const uint32_t oldLength = chars_ ? HeaderOf(chars_)->length : 0;
  const uint32_t kept = oldLength ? std::min(n, oldLength) - 1 : 0;
  if (IsShared()) {
    CharT* fresh = NewBlock<CharT>(n, allocator);
    if (!fresh) return false;
    if (kept) std::memcpy(fresh, chars_, kept * sizeof(CharT));
    Release();
    chars_ = fresh;
  } else {
    const uint32_t capacity = chars_ ? HeaderOf(chars_)->capacity : 0;
    // Keep the block while the need stays within [capacity/2, capacity]: small edits do not
    // reallocate, and a string shrinks only below half its capacity.
    if (n > capacity || n < capacity / 2) {
      const uint32_t grown =
          n > capacity ? std::max<uint32_t>(
                             n, std::min<uint64_t>(uint64_t{capacity} * 2, kMaxCapacity<CharT>))
                       : n;
      const uint32_t bytes = grown * static_cast<uint32_t>(sizeof(CharT));
      if (chars_) {
        void* chars = chars_;
        if (HeaderOf(chars_)->allocator(&chars, bytes)) {
          chars_ = static_cast<CharT*>(chars);
          HeaderOf(chars_)->capacity = grown;
        } else if (n > capacity) {
          return false;  // a failed shrink keeps the larger block
        }
      } else {
        chars_ = NewBlock<CharT>(grown, allocator);
        if (!chars_) return false;
      }
    }
  }
  HeaderOf(chars_)->length = n;
  std::fill(chars_ + kept, chars_ + n, CharT(0));
  return true;
}

template <class CharT>
bool BasicTString<CharT>::MakeUnique() {
  if (!IsShared()) return true;
  return Reserve(HeaderOf(chars_)->length);
}

template <class CharT>
bool BasicTString<CharT>::Put(const CharT* text, size_t count, bool replace,
                              StringAllocator allocator) {
  if (chars_) {
    // Text from our own block would move or vanish under the resize: copy it out first.
    const auto at = reinterpret_cast<uintptr_t>(text);
    const auto begin = reinterpret_cast<uintptr_t>(chars_);
    if (at >= begin && at < begin + HeaderOf(chars_)->capacity * sizeof(CharT)) {
      const BasicTString copy(View(text, count));
      if (count && !copy.chars_) return false;
      return Put(copy.chars_, count, replace, allocator);
    }
    // A shared block is about to be replaced whole; do not copy its characters first.
    if (replace && IsShared()) Release();
  }
  const uint32_t old = replace ? 0 : Length();
  if (count >= kMaxCapacity<CharT> - old) return false;
  if (!Reserve(old + static_cast<uint32_t>(count) + 1, allocator)) return false;
  if (count) std::memcpy(chars_ + old, text, count * sizeof(CharT));
  return true;
}

template <class CharT>
bool BasicTString<CharT>::Assign(const CharT* text, int32_t maximum, bool replace,
                                 StringAllocator allocator) {
  if (!text) {
    if (replace) Release();
    return true;
  }
  return Put(text, MeasureText(text, maximum), replace, allocator);
}

template <class CharT>
BasicTString<CharT>& BasicTString<CharT>::Append(const BasicTString& other) {
  if (!chars_ || Length() == 0) {
    if (other.Length()) *this = other;  // appending to nothing shares the other buffer
  } else if (other.Length()) {
    Put(other.chars_, other.Length(), false, nullptr);
  }
  return *this;
}

template <class CharT>
BasicTString<CharT>& BasicTString<CharT>::Append(const CharT* text) {
  Assign(text, -1, false);
  return *this;
}

template <class CharT>
BasicTString<CharT>& BasicTString<CharT>::AppendPart(const CharT* text, int32_t count) {
  Assign(text, count, false);
  return *this;
}

template <class CharT>
BasicTString<CharT> BasicTString<CharT>::Concat(const BasicTString& other) const {
  BasicTString result(*this);
  result.Append(other);
  return result;
}

template <class CharT>
BasicTString<CharT> BasicTString<CharT>::ConcatText(const CharT* text) const {
  BasicTString result(*this);
  result.Append(text);
  return result;
}

template <class CharT>
BasicTString<CharT> BasicTString<CharT>::Mid(int32_t start, int32_t count) const {
  const int64_t length = Length();
  int64_t first = start < 0 ? start + length + 1 : start;
  first = std::clamp<int64_t>(first, 0, length);
  int64_t n = count < 0 ? count + (length - first) + 1 : count;
  n = std::clamp<int64_t>(n, 0, length - first);
  if (first == 0 && n == length) return *this;
  return BasicTString(View(c_str() + first, static_cast<size_t>(n)));
}

template <class CharT>
int32_t BasicTString<CharT>::Find(const CharT* needle, bool caseSensitive, int32_t start) const {
  const size_t length = Length();
  if (!needle || length == 0) return -1;
  const size_t from = start < 0 ? 0 : static_cast<size_t>(start);
  if (from > length) return -1;
  const size_t n = std::char_traits<CharT>::length(needle);
  if (n > length - from) return -1;
  for (size_t i = from; i + n <= length; ++i) {
    if (EqualUnits(chars_ + i, needle, n, !caseSensitive)) return static_cast<int32_t>(i);
  }
  return -1;
}

template <class CharT>
int32_t BasicTString<CharT>::FindChar(CharT c, int32_t start) const {
  const size_t length = Length();
  const size_t from = start < 0 ? 0 : static_cast<size_t>(start);
  for (size_t i = from; i < length; ++i) {
    if (chars_[i] == c) return static_cast<int32_t>(i);
  }
  return -1;
}

template <class CharT>
bool BasicTString<CharT>::Equals(const CharT* text, bool caseSensitive, int32_t length) const {
  if (!text) text = kEmptyText<CharT>;
  const size_t n = length < 0 ? std::char_traits<CharT>::length(text) : static_cast<size_t>(length);
  return n == Length() && EqualUnits(c_str(), text, n, !caseSensitive);
}

template <class CharT>
bool BasicTString<CharT>::Equals(const BasicTString& other, bool caseSensitive) const {
  if (chars_ == other.chars_) return true;
  return Length() == other.Length() && EqualUnits(c_str(), other.c_str(), Length(), !caseSensitive);
}

template <class CharT>
int32_t BasicTString<CharT>::ParseUnsigned(uint32_t* out) const {
  if (Length() == 0) return 0;
  return ParseUnsignedText(chars_, out);
}

template <class CharT>
bool BasicTString<CharT>::IsNotBlank() const {
  const View v = view();
  return std::any_of(v.begin(), v.end(), [](CharT c) { return !IsWhite(c); });
}

template <class CharT>
BasicTString<CharT> BasicTString<CharT>::Trimmed() const {
  const View v = view();
  size_t first = 0;
  size_t last = v.size();
  while (first < last && IsWhite(v[first]))
    ++first;
  while (last > first && IsWhite(v[last - 1]))
    --last;
  if (first == 0 && last == v.size()) return *this;
  return BasicTString(v.substr(first, last - first));
}

template class BasicTString<char16_t>;
template class BasicTString<char>;

}  // namespace vk2

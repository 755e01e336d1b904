// Ordering and hashing of text; case-insensitive variants fold ASCII only (ascii_case.h).
#include "foundation/text/ascii_case.h"
#include "foundation/text/tstring.h"

namespace vk2 {
namespace {

template <class CharT>
int CompareUnits(const CharT* a, const CharT* b, bool caseSensitive, int32_t n) {
  if (a == b) return 0;
  if (!a) return 1;
  if (!b) return -1;
  for (int64_t i = 0; n < 0 || i < n; ++i) {
    const unsigned ca = UnitCode(a[i], !caseSensitive);
    const unsigned cb = UnitCode(b[i], !caseSensitive);
    if (ca != cb) return ca < cb ? -1 : 1;
    if (ca == 0) break;
  }
  return 0;
}

}  // namespace

int WideCompare(const char16_t* a, const char16_t* b, bool caseSensitive, int32_t n) {
  return CompareUnits(a, b, caseSensitive, n);
}

int NarrowCompare(const char* a, const char* b, bool caseSensitive, int32_t n) {
  return CompareUnits(a, b, caseSensitive, n);
}

int CompareWideNarrow(const char16_t* wide, const char* narrow, bool caseSensitive, int32_t n) {
  if (!wide && !narrow) return 0;
  if (!wide) return 1;
  if (!narrow) return -1;
  const NarrowString converted = NarrowFromWide(wide);
  return NarrowCompare(converted.c_str(), narrow, caseSensitive, n);
}

uint32_t ElfHash(const char16_t* text, bool fold) {
  uint32_t h = 0;
  if (!text) return h;
  for (; *text; ++text) {
    h = (h << 4) + (fold ? FoldAscii(*text) : *text);
    const uint32_t g = h & 0xF0000000u;
    if (g) h = (h & ~0xF0000000u) ^ (g >> 24);
  }
  return h;
}

}  // namespace vk2

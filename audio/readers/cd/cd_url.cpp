#include "audio/readers/cd/cd_url.h"

#include <cstddef>

namespace vk2 {
namespace {

constexpr char16_t kCdAudioScheme[] = u"cdaudio://";
constexpr size_t kCdAudioSchemeLength = 10;
constexpr char16_t kFileScheme[] = u"file://";
constexpr size_t kFileSchemeLength = 7;
constexpr char16_t kCdaEnding[] = u".cda";
constexpr size_t kCdaEndingLength = 4;
// Track and drive numbers stay far below this; more digits are a malformed URL, not a wrap.
constexpr int32_t kMaxNumber = 999999;

size_t Length(const char16_t* s) {
  size_t n = 0;
  while (s[n])
    ++n;
  return n;
}

char16_t Lower(char16_t c) {
  return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool SameFolded(const char16_t* text, const char16_t* lowerPattern, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    if (Lower(text[i]) != lowerPattern[i]) return false;
  }
  return true;
}

bool IsDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}

bool IsCdaUrl(const char16_t* url, size_t length) {
  return length >= kFileSchemeLength + kCdaEndingLength &&
         SameFolded(url, kFileScheme, kFileSchemeLength) &&
         SameFolded(url + length - kCdaEndingLength, kCdaEnding, kCdaEndingLength);
}

bool IsCdAudioUrl(const char16_t* url, size_t length) {
  return length >= kCdAudioSchemeLength && SameFolded(url, kCdAudioScheme, kCdAudioSchemeLength);
}

// A decimal number at `*p`, which moves past it. False when there is none or it is too long.
bool ReadNumber(const char16_t*& p, int32_t* value) {
  if (!IsDigit(*p)) return false;
  int32_t v = 0;
  while (IsDigit(*p)) {
    v = v * 10 + (*p - u'0');
    if (v > kMaxNumber) return false;
    ++p;
  }
  *value = v;
  return true;
}

bool ParseCda(const char16_t* url, size_t length, CdTrackUrl* out) {
  // The two characters in front of ".cda", and none of them inside the scheme.
  if (length < kFileSchemeLength + 2 + kCdaEndingLength) return false;
  const char16_t* digits = url + length - kCdaEndingLength - 2;
  if (!IsDigit(digits[0]) || !IsDigit(digits[1])) return false;
  out->track = (digits[0] - u'0') * 10 + (digits[1] - u'0');
  const char16_t* path = url + kFileSchemeLength;
  const char16_t letter = Lower(path[0]);
  if (letter >= u'a' && letter <= u'z' && path[1] == u':') {
    // Drive letters before D: are never CD drives.
    if (letter < u'd') return false;
    out->drive = letter - u'd';
  } else {
    out->drive = -1;
  }
  return true;
}

bool ParseCdAudio(const char16_t* url, CdTrackUrl* out) {
  const char16_t* p = url + kCdAudioSchemeLength;
  int32_t first = 0;
  if (!ReadNumber(p, &first)) return false;
  out->drive = -1;
  out->track = first;
  if (*p == u'/') {
    ++p;
    int32_t second = 0;
    if (!ReadNumber(p, &second)) return false;
    out->drive = first;
    out->track = second;
  }
  if (*p == u'.') {
    ++p;
    int32_t third = 0;
    if (!ReadNumber(p, &third)) return false;
  }
  return *p == 0;
}

}  // namespace

bool IsCdTrackUrl(const char16_t* url) {
  if (!url) return false;
  const size_t length = Length(url);
  return IsCdAudioUrl(url, length) || IsCdaUrl(url, length);
}

bool ParseCdTrackUrl(const char16_t* url, CdTrackUrl* out) {
  if (!url || !out) return false;
  const size_t length = Length(url);
  CdTrackUrl parsed;
  bool ok = false;
  if (IsCdAudioUrl(url, length)) {
    ok = ParseCdAudio(url, &parsed);
  } else if (IsCdaUrl(url, length)) {
    ok = ParseCda(url, length, &parsed);
  }
  if (ok) *out = parsed;
  return ok;
}

std::string PickCdDrive(const CdTrackUrl& url, const std::vector<std::string>& drives) {
  const size_t index = url.drive < 0 ? 0 : static_cast<size_t>(url.drive);
  return index < drives.size() ? drives[index] : std::string();
}

}  // namespace vk2

#include "core/text/base64.h"

#include <limits>

#include "foundation/util/result.h"

namespace vk2 {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr uint8_t kInvalid = 255;

uint8_t ValueOf(char16_t c) {
  if (c >= u'A' && c <= u'Z') return static_cast<uint8_t>(c - u'A');
  if (c >= u'a' && c <= u'z') return static_cast<uint8_t>(c - u'a' + 26);
  if (c >= u'0' && c <= u'9') return static_cast<uint8_t>(c - u'0' + 52);
  if (c == u'+') return 62;
  if (c == u'/') return 63;
  return kInvalid;
}

}  // namespace

TString Base64Encode(const uint8_t* bytes, size_t count) {
  if (!bytes || count == 0) return TString();
  // A string holds at most 2^32 - 1 units including its terminator.
  const size_t chars = count / 3 * 4 + (count % 3 ? count % 3 + 1 : 0);
  if (chars >= std::numeric_limits<uint32_t>::max()) return TString();
  TString text;
  if (!text.Reserve(static_cast<uint32_t>(chars + 1))) return TString();
  char16_t* out = text.WritableData();
  size_t o = 0;
  uint32_t bits = 0;
  int held = 0;
  for (size_t i = 0; i < count; ++i) {
    bits = (bits << 8) | bytes[i];
    held += 8;
    while (held >= 6) {
      held -= 6;
      out[o++] = static_cast<char16_t>(kAlphabet[(bits >> held) & 63]);
    }
  }
  if (held > 0) out[o++] = static_cast<char16_t>(kAlphabet[(bits << (6 - held)) & 63]);
  out[o] = 0;
  return text;
}

int32_t Base64Decode(const char16_t* text, int32_t length, TArray<uint8_t>* out) {
  if (!out) return kErrMissingArg;
  out->Clear();
  if (!text) return 0;
  size_t n = 0;
  if (length < 0) {
    while (text[n])
      ++n;
  } else {
    n = static_cast<size_t>(length);
  }
  for (int pad = 0; pad < 2 && n > 0 && text[n - 1] == u'='; ++pad)
    --n;
  if (n <= 1) return 0;
  if (n % 4 == 1) return kErrBadBase64;
  const size_t bytes = n / 4 * 3 + (n % 4 ? n % 4 - 1 : 0);
  if (bytes > static_cast<size_t>(std::numeric_limits<int32_t>::max())) return kErrBadBase64;
  for (size_t i = 0; i < n; ++i) {
    if (ValueOf(text[i]) == kInvalid) return kErrBadBase64;
  }
  TArray<uint8_t> result;
  if (!result.Reserve(static_cast<uint32_t>(bytes))) return kErrOutOfMemory;
  uint32_t bits = 0;
  int held = 0;
  for (size_t i = 0; i < n; ++i) {
    bits = (bits << 6) | ValueOf(text[i]);
    held += 6;
    if (held >= 8) {
      held -= 8;
      result.Append(static_cast<uint8_t>(bits >> held));
    }
  }
  out->Swap(result);
  return static_cast<int32_t>(out->Count());
}

}  // namespace vk2

#include "core/module/text_scrambler.h"

#include <vector>

#include "core/text/base64.h"

namespace vk2 {
namespace {

constexpr uint8_t kInitialKey = 0x5A;

}  // namespace

TString ScrambleText(const TString& text) {
  std::vector<uint8_t> bytes;
  bytes.reserve(text.Length() * 2u);
  uint8_t key = kInitialKey;
  for (uint32_t i = 0; i < text.Length(); ++i) {
    const char16_t c = text[i];
    for (uint8_t b : {static_cast<uint8_t>(c & 0xFF), static_cast<uint8_t>(c >> 8)}) {
      bytes.push_back(static_cast<uint8_t>(b + key));
      key ^= b;
    }
  }
  return Base64Encode(bytes.data(), bytes.size());
}

TString UnscrambleText(const TString& scrambled) {
  TArray<uint8_t> bytes;
  if (Base64Decode(scrambled, &bytes) < 0) return TString();
  uint8_t key = kInitialKey;
  for (uint8_t& c : bytes) {
    c = static_cast<uint8_t>(c - key);
    key ^= c;
  }
  TString text;
  for (uint32_t i = 0; i + 1 < bytes.Count(); i += 2) {
    const char16_t c = static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
    if (c == 0) return TString();
    text += c;
  }
  return text;
}

}  // namespace vk2

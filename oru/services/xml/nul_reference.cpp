#include "oru/services/xml/nul_reference.h"

#include <cstdint>

namespace vk2::oru {
namespace {

// Where a markup section that the parser leaves undecoded ends, or npos when `at` starts none.
size_t SkipUndecoded(std::string_view text, size_t at) {
  auto skipTo = [&](std::string_view open, std::string_view close) -> size_t {
    if (text.substr(at, open.size()) != open) return std::string_view::npos;
    size_t end = text.find(close, at + open.size());
    return end == std::string_view::npos ? text.size() : end + close.size();
  };
  for (auto [open, close] : {std::pair<std::string_view, std::string_view>{"<!--", "-->"},
                             {"<![CDATA[", "]]>"},
                             {"<?", "?>"}}) {
    size_t end = skipTo(open, close);
    if (end != std::string_view::npos) return end;
  }
  if (text.substr(at, 2) != "<!") return std::string_view::npos;
  // A declaration such as a document type, whose internal subset nests in brackets.
  int depth = 0;
  for (size_t i = at + 2; i < text.size(); ++i) {
    if (text[i] == '[') ++depth;
    if (text[i] == ']' && depth > 0) --depth;
    if (text[i] == '>' && depth == 0) return i + 1;
  }
  return text.size();
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// True when the reference starting at `at` ("&#...;") is complete and decodes to zero.
bool IsNulReference(std::string_view text, size_t at) {
  size_t i = at + 2;
  const bool hex = i < text.size() && text[i] == 'x';
  if (hex) ++i;
  uint32_t value = 0;
  size_t digits = 0;
  for (; i < text.size(); ++i, ++digits) {
    const int digit =
        hex ? HexDigit(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
    if (digit < 0) break;
    value = value * (hex ? 16u : 10u) + static_cast<uint32_t>(digit);
  }
  return digits > 0 && i < text.size() && text[i] == ';' && value == 0;
}

}  // namespace

namespace {

// Where the tag starting at `at` ends (its '>', or the end of the text); a nul reference inside
// one of its quoted values is reported through `nul`.
size_t SkipTag(std::string_view text, size_t at, size_t* nul) {
  char quote = 0;
  size_t i = at + 1;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (quote) {
      if (c == quote) quote = 0;
      if (c == '&' && *nul == std::string_view::npos && IsNulReference(text, i)) *nul = i;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '>') {
      break;
    }
  }
  return i;
}

}  // namespace

size_t FindNulCharacterReference(std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '<') {
      const size_t end = SkipUndecoded(text, i);
      if (end != std::string_view::npos) {
        i = end - 1;
        continue;
      }
      // A tag: its quoted values are decoded, and what looks like markup inside them is not.
      size_t nul = std::string_view::npos;
      i = SkipTag(text, i, &nul);
      if (nul != std::string_view::npos) return nul;
      continue;
    }
    if (text[i] == '&' && IsNulReference(text, i)) return i;
  }
  return std::string_view::npos;
}

}  // namespace vk2::oru

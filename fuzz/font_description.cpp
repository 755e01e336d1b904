// The text form of font descriptions: any UTF-16 text parses or fails; what parses is in range.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "oru/graphics/fonts/font_description_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::u16string text(size / 2, u'\0');
  for (size_t i = 0; i < text.size(); ++i) {
    text[i] = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);
  }
  vk2::oru::ParsedFontDescription d;
  if (vk2::oru::ParseFontDescription(text, &d)) {
    if (d.face.empty() || d.size < 1 || d.size > 500 || (d.style & ~0x3Fu)) std::abort();
  }
  return 0;
}

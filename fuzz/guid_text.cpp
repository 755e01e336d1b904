// Identifier text: the narrow and wide readers agree, and whatever they accept formats back to
// the same identifier.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "foundation/util/guid_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view narrow(reinterpret_cast<const char*>(data), size);
  const std::u16string wide(narrow.begin(), narrow.end());
  vk2::Guid a, b;
  const bool okNarrow = vk2::ParseGuidText(narrow, &a);
  const bool okWide = vk2::ParseGuidText(std::u16string_view(wide), &b);
  if (okNarrow != okWide) std::abort();
  if (!okNarrow) return 0;
  if (!(a == b)) std::abort();
  vk2::Guid back;
  if (!vk2::ParseGuidText(vk2::FormatGuidText(a).view(), &back) || !(back == a)) std::abort();
  return 0;
}

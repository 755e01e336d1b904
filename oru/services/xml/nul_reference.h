// XML does not allow the nul character, yet the parser decodes "&#0;" into one, which cuts the
// text it lands in short: what is read and saved would no longer be what the document says.
// Such documents are refused at load instead.
#pragma once

#include <cstddef>
#include <string_view>

namespace vk2::oru {

// Offset of the first character reference in `text` that decodes to the nul character, outside
// comments, CDATA sections, processing instructions and declarations; npos when there is none.
// Numbers wrap at 32 bits as the parser's own decoding does, so "&#x100000000;" counts too.
size_t FindNulCharacterReference(std::string_view text);

}  // namespace vk2::oru

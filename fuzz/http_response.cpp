// Response heads and chunked bodies as servers send them.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/net/http_response.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const size_t end = vk2::FindHeadEnd(text);
  const auto head = vk2::ParseResponseHead(text.substr(0, end ? end : text.size()));
  if (head) (void)vk2::AnnouncedLength(*head);
  // The rest as a chunked body, fed in uneven pieces.
  vk2::ChunkedDecoder decoder;
  std::string_view body = text.substr(end);
  std::vector<char> out(body.size() + 1);
  size_t piece = 1;
  while (!body.empty()) {
    const size_t n = piece < body.size() ? piece : body.size();
    if (decoder.Feed(body.substr(0, n), out.data()) < 0) break;
    body.remove_prefix(n);
    piece = piece * 3 % 17 + 1;
  }
  return 0;
}

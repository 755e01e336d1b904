// Reads the input as a byte stream arriving on an instance socket, as the request server does:
// frames are parsed from the front of what has arrived (in chunks whose sizes come from the
// input), each complete one is consumed, and its bytes are read as DDE names where it says so.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/instance/request_frame.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vk2::instance;
  if (size < 1) return 0;
  const size_t chunk = 1 + data[0] % 64;
  const std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
  std::string buffer;
  for (size_t pos = 0; pos < input.size();) {
    const size_t n = input.size() - pos < chunk ? input.size() - pos : chunk;
    buffer.append(input.substr(pos, n));
    pos += n;
    for (;;) {
      Request request;
      size_t used = 0;
      const ParseStatus status = ParseRequest(buffer, &request, &used);
      if (status == ParseStatus::kNeedMore) break;
      if (status != ParseStatus::kReady) return 0;  // the server closes the connection here
      if (used > buffer.size() || request.bytes.size() > kMaxRequestBytes) std::abort();
      if (used != kRequestHeaderBytes + request.bytes.size()) std::abort();
      buffer.erase(0, used);
      if (request.kind == RequestKind::kDdeConnect) {
        std::string_view service, topic;
        if (ParseDdeNames(request.bytes, &service, &topic) &&
            service.size() + topic.size() + 1 != request.bytes.size()) {
          std::abort();
        }
      }
      // A parsed frame encodes back to the same bytes.
      std::string again;
      if (!EncodeRequest(request, &again) || again.size() != used) std::abort();
    }
    // Never more than one largest frame waits for its end.
    if (buffer.size() > kRequestHeaderBytes + kMaxRequestBytes + chunk) std::abort();
  }
  return 0;
}

// The frames the instance sockets carry. A request: a fixed 32-byte little-endian header
// (magic "VK2R", kind, message, wParam, lParam, byte count) and then its bytes; the answer: one
// 64-bit little-endian result. Requests over kMaxRequestBytes are refused before they are read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vk2::instance {

inline constexpr uint32_t kMaxRequestBytes = 64 * 1024;
inline constexpr size_t kRequestHeaderBytes = 32;
inline constexpr size_t kReplyBytes = 8;

enum class RequestKind : uint32_t {
  kWindowMessage = 1,  // a message to a hidden window (copy-data carries its bytes)
  kDdeConnect = 2,     // bytes: service, NUL, topic
  kDdeExecute = 3,     // bytes: the command text
  kDdeRequest = 4,
  kDdePoke = 5,
};

struct Request {
  RequestKind kind = RequestKind::kWindowMessage;
  uint32_t message = 0;
  uint64_t wParam = 0;
  int64_t lParam = 0;
  std::string bytes;
};

enum class ParseStatus {
  kNeedMore,  // the buffer holds only part of a frame
  kReady,     // one frame parsed; `used` bytes belong to it
  kBad,       // not a frame of ours, or an unknown kind
  kTooLarge,  // the byte count is over kMaxRequestBytes
};

// Appends the frame of `request` to `out`; false (nothing appended) when its bytes are too many.
bool EncodeRequest(const Request& request, std::string* out);
// Parses the first frame of `buffer`.
ParseStatus ParseRequest(std::string_view buffer, Request* out, size_t* used);

std::string EncodeReply(int64_t result);
int64_t DecodeReply(const char* bytes);  // kReplyBytes bytes

// DDE connect bytes: service and topic separated by one NUL. False when there is no NUL.
std::string EncodeDdeNames(std::string_view service, std::string_view topic);
bool ParseDdeNames(std::string_view bytes, std::string_view* service, std::string_view* topic);

}  // namespace vk2::instance

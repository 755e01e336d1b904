#include "platform/instance/request_frame.h"

namespace vk2::instance {
namespace {

constexpr uint32_t kMagic = 0x5232'4B56;  // "VK2R" read as little-endian

void PutLe(std::string* out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i)
    out->push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

uint64_t GetLe(const char* p, int bytes) {
  uint64_t value = 0;
  for (int i = bytes - 1; i >= 0; --i)
    value = (value << 8) | static_cast<unsigned char>(p[i]);
  return value;
}

bool IsKnownKind(uint32_t kind) {
  return kind >= static_cast<uint32_t>(RequestKind::kWindowMessage) &&
         kind <= static_cast<uint32_t>(RequestKind::kDdePoke);
}

}  // namespace

bool EncodeRequest(const Request& request, std::string* out) {
  if (request.bytes.size() > kMaxRequestBytes) return false;
  PutLe(out, kMagic, 4);
  PutLe(out, static_cast<uint32_t>(request.kind), 4);
  PutLe(out, request.message, 4);
  PutLe(out, request.wParam, 8);
  PutLe(out, static_cast<uint64_t>(request.lParam), 8);
  PutLe(out, request.bytes.size(), 4);
  out->append(request.bytes);
  return true;
}

ParseStatus ParseRequest(std::string_view buffer, Request* out, size_t* used) {
  *used = 0;
  // The magic and kind are checked as soon as they arrive, so a stranger is turned away early.
  if (buffer.size() >= 4 && GetLe(buffer.data(), 4) != kMagic) return ParseStatus::kBad;
  if (buffer.size() >= 8 && !IsKnownKind(static_cast<uint32_t>(GetLe(buffer.data() + 4, 4))))
    return ParseStatus::kBad;
  if (buffer.size() < kRequestHeaderBytes) return ParseStatus::kNeedMore;
  const uint64_t count = GetLe(buffer.data() + 28, 4);
  if (count > kMaxRequestBytes) return ParseStatus::kTooLarge;
  if (buffer.size() - kRequestHeaderBytes < count) return ParseStatus::kNeedMore;
  out->kind = static_cast<RequestKind>(GetLe(buffer.data() + 4, 4));
  out->message = static_cast<uint32_t>(GetLe(buffer.data() + 8, 4));
  out->wParam = GetLe(buffer.data() + 12, 8);
  out->lParam = static_cast<int64_t>(GetLe(buffer.data() + 20, 8));
  out->bytes.assign(buffer.data() + kRequestHeaderBytes, count);
  *used = kRequestHeaderBytes + count;
  return ParseStatus::kReady;
}

std::string EncodeReply(int64_t result) {
  std::string out;
  PutLe(&out, static_cast<uint64_t>(result), 8);
  return out;
}

int64_t DecodeReply(const char* bytes) {
  return static_cast<int64_t>(GetLe(bytes, 8));
}

std::string EncodeDdeNames(std::string_view service, std::string_view topic) {
  std::string out(service);
  out.push_back('\0');
  out.append(topic);
  return out;
}

bool ParseDdeNames(std::string_view bytes, std::string_view* service, std::string_view* topic) {
  const size_t nul = bytes.find('\0');
  if (nul == std::string_view::npos) return false;
  *service = bytes.substr(0, nul);
  *topic = bytes.substr(nul + 1);
  return true;
}

}  // namespace vk2::instance

#include "platform/net/ftp_reply.h"

namespace vk2 {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool StartsWithCode(std::string_view line) {
  return line.size() >= 3 && IsDigit(line[0]) && IsDigit(line[1]) && IsDigit(line[2]);
}

std::optional<uint32_t> Number(std::string_view text, uint32_t max) {
  if (text.empty() || text.size() > 5) return std::nullopt;
  uint32_t v = 0;
  for (char c : text) {
    if (!IsDigit(c)) return std::nullopt;
    v = v * 10 + static_cast<uint32_t>(c - '0');
  }
  if (v > max) return std::nullopt;
  return v;
}

}  // namespace

std::optional<FtpReply> TakeFtpReply(std::string& buffer) {
  size_t lineStart = 0;
  std::string_view firstCode;
  for (;;) {
    const size_t eol = buffer.find('\n', lineStart);
    if (eol == std::string::npos) return std::nullopt;
    std::string_view line(buffer.data() + lineStart, eol - lineStart);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const size_t next = eol + 1;
    if (lineStart == 0) {
      if (!StartsWithCode(line)) {
        buffer.erase(0, next);
        return FtpReply{-1, std::string(line)};
      }
      firstCode = line.substr(0, 3);
      if (line.size() == 3 || line[3] != '-') {
        FtpReply reply{(line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0'),
                       std::string(line.size() > 4 ? line.substr(4) : std::string_view())};
        buffer.erase(0, next);
        return reply;
      }
    } else if (line.size() >= 4 && line.substr(0, 3) == firstCode && line[3] == ' ') {
      FtpReply reply{(line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0'),
                     std::string(line.substr(4))};
      buffer.erase(0, next);
      return reply;
    }
    lineStart = next;
  }
}

std::optional<uint16_t> PassivePort(int32_t code, std::string_view text) {
  if (code == 229) {
    const size_t open = text.find("(|||");
    if (open == std::string_view::npos) return std::nullopt;
    const size_t close = text.find("|)", open + 4);
    if (close == std::string_view::npos) return std::nullopt;
    const auto port = Number(text.substr(open + 4, close - open - 4), 65535);
    if (!port || *port == 0) return std::nullopt;
    return static_cast<uint16_t>(*port);
  }
  if (code != 227) return std::nullopt;
  // Six numbers; the last two are the port's high and low byte.
  size_t p = text.find_first_of("0123456789");
  uint32_t values[6];
  for (int i = 0; i < 6; ++i) {
    if (p == std::string_view::npos || p >= text.size()) return std::nullopt;
    size_t end = p;
    while (end < text.size() && IsDigit(text[end]))
      ++end;
    const auto v = Number(text.substr(p, end - p), 255);
    if (!v) return std::nullopt;
    values[i] = *v;
    if (i < 5) {
      if (end >= text.size() || text[end] != ',') return std::nullopt;
      p = end + 1;
    }
  }
  const uint32_t port = values[4] * 256 + values[5];
  if (port == 0) return std::nullopt;
  return static_cast<uint16_t>(port);
}

}  // namespace vk2

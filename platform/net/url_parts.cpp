#include "platform/net/url_parts.h"

#include <algorithm>

namespace vk2 {
namespace {

char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsSchemeChar(char c, bool first) {
  const bool alpha = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  if (first) return alpha;
  return alpha || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

bool HasUnsafeChar(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) {
    const auto u = static_cast<unsigned char>(c);
    return u <= 0x20 || u == 0x7F;
  });
}

std::optional<uint16_t> ParsePort(std::string_view text) {
  if (text.empty() || text.size() > 5) return std::nullopt;
  uint32_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<uint32_t>(c - '0');
  }
  if (value == 0 || value > 65535) return std::nullopt;
  return static_cast<uint16_t>(value);
}

}  // namespace

uint16_t DefaultPort(std::string_view scheme) {
  if (scheme == "http") return 80;
  if (scheme == "ftp") return 21;
  return 0;
}

std::optional<UrlParts> ParseUrl(std::string_view url) {
  const size_t sep = url.find("://");
  if (sep == std::string_view::npos || sep == 0) return std::nullopt;
  UrlParts parts;
  for (size_t i = 0; i < sep; ++i) {
    if (!IsSchemeChar(url[i], i == 0)) return std::nullopt;
    parts.scheme.push_back(Lower(url[i]));
  }
  std::string_view rest = url.substr(sep + 3);
  const size_t pathStart = rest.find_first_of("/?#");
  std::string_view authority = rest.substr(0, pathStart);
  // The path may hold anything (it is escaped on the wire); the host part may not.
  if (HasUnsafeChar(authority)) return std::nullopt;
  std::string_view path =
      pathStart == std::string_view::npos ? std::string_view() : rest.substr(pathStart);
  // A fragment never goes to the server.
  path = path.substr(0, path.find('#'));
  // Built by appending: g++ 12 at -O3 sees a false overlap in string's inlined replace (from
  // assigning a literal or "/" + text) and -Werror=restrict stops the build.
  if (path.empty() || path[0] != '/') parts.path.push_back('/');
  parts.path.append(path);
  const size_t at = authority.rfind('@');
  if (at != std::string_view::npos) {
    std::string_view userInfo = authority.substr(0, at);
    authority = authority.substr(at + 1);
    const size_t colon = userInfo.find(':');
    parts.user = std::string(userInfo.substr(0, colon));
    if (colon != std::string_view::npos) parts.password = std::string(userInfo.substr(colon + 1));
  }
  std::string_view portText;
  if (!authority.empty() && authority[0] == '[') {
    const size_t close = authority.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    parts.host = std::string(authority.substr(1, close - 1));
    std::string_view after = authority.substr(close + 1);
    if (!after.empty()) {
      if (after[0] != ':') return std::nullopt;
      portText = after.substr(1);
      if (portText.empty()) return std::nullopt;
    }
  } else {
    const size_t colon = authority.rfind(':');
    parts.host = std::string(authority.substr(0, colon));
    if (colon != std::string_view::npos) {
      portText = authority.substr(colon + 1);
      if (portText.empty()) return std::nullopt;
    }
  }
  if (parts.host.empty()) return std::nullopt;
  if (!portText.empty()) {
    const auto port = ParsePort(portText);
    if (!port) return std::nullopt;
    parts.port = *port;
  } else {
    parts.port = DefaultPort(parts.scheme);
  }
  return parts;
}

std::optional<UrlParts> ResolveLocation(const UrlParts& base, std::string_view location) {
  if (location.find("://") != std::string_view::npos) return ParseUrl(location);
  if (location.empty()) return std::nullopt;
  UrlParts next = base;
  if (location.substr(0, 2) == "//") {
    std::string absolute = base.scheme + ":" + std::string(location);
    return ParseUrl(absolute);
  }
  if (location[0] == '/') {
    next.path = std::string(location);
  } else {
    std::string folder = base.path.substr(0, base.path.find('?'));
    folder = folder.substr(0, folder.rfind('/') + 1);
    next.path = folder + std::string(location);
  }
  next.path = next.path.substr(0, next.path.find('#'));
  return next;
}

std::string WirePath(std::string_view path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(path.size());
  for (char c : path) {
    const auto u = static_cast<unsigned char>(c);
    if (u <= 0x20 || u >= 0x7F) {
      out += '%';
      out += kHex[u >> 4];
      out += kHex[u & 0x0F];
    } else {
      out += c;
    }
  }
  return out;
}

std::string HostHeader(const UrlParts& url) {
  std::string host;
  if (url.host.find(':') != std::string::npos) {
    host.append("[").append(url.host).append("]");
  } else {
    host = url.host;
  }
  if (url.port != DefaultPort(url.scheme)) host.append(":").append(std::to_string(url.port));
  return host;
}

}  // namespace vk2

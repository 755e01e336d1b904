// A URL cut into the parts a connection needs: scheme, user, password, host, port and the rest
// (path and query) as it stands. Nothing is unescaped: the path goes on the wire as given.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vk2 {

struct UrlParts {
  std::string scheme;  // lower case
  std::string user;
  std::string password;
  std::string host;   // without the brackets of an IPv6 literal
  uint16_t port = 0;  // the scheme's default when the URL names none
  std::string path;   // from the first '/' after the host, "/" when absent
};

// The default port of "http" (80), "ftp" (21); 0 for others.
uint16_t DefaultPort(std::string_view scheme);

// "scheme://[user[:password]@]host[:port][/path]". Empty when the text is no such URL: no
// scheme, an empty host, a port that is not a number from 1 to 65535, or control characters
// or blanks before the path. The path is kept as given.
std::optional<UrlParts> ParseUrl(std::string_view url);

// The URL `location` names when found in a response to `base`: absolute, or relative to the
// host ("/path") or to the base path's folder. Empty when it makes no URL.
std::optional<UrlParts> ResolveLocation(const UrlParts& base, std::string_view location);

// The path as it goes into a request line: blanks, control characters and bytes beyond ASCII
// as %XX, everything else (escapes already there included) as it stands.
std::string WirePath(std::string_view path);

// "host" or "[v6]" with ":port" unless it is the scheme's default.
std::string HostHeader(const UrlParts& url);

}  // namespace vk2

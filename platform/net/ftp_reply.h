// FTP control replies: "ddd text" on one line, or "ddd-" lines up to a "ddd " line with the
// same code; and the data port of passive-mode replies.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vk2 {

struct FtpReply {
  int32_t code = 0;
  std::string text;  // the last line
};

// When `buffer` begins with a complete reply: takes it out and returns it. Empty while more
// is needed; a line that does not begin with three digits gives a reply with code -1.
std::optional<FtpReply> TakeFtpReply(std::string& buffer);

// The port of "227 Entering Passive Mode (h1,h2,h3,h4,p1,p2)" or of
// "229 Entering Extended Passive Mode (|||port|)"; empty when the text names none.
std::optional<uint16_t> PassivePort(int32_t code, std::string_view text);

}  // namespace vk2

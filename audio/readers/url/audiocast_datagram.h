// The text of an audiocast metadata datagram: header lines "name: value" separated by line
// feeds. Only "x-audiocast-" names count; the text after the last line feed is not a line.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace vk2 {

inline constexpr std::string_view kAudiocastPrefix = "x-audiocast-";

// Calls `line` for each "x-audiocast-" header of `datagram` in order, with the name (trailing
// blanks removed) and the value (leading blanks skipped). The datagram ends at its first zero
// byte. Lines without a colon and other names are skipped.
void ForEachAudiocastHeader(std::string_view datagram,
                            const std::function<void(std::string_view, std::string_view)>& line);

}  // namespace vk2

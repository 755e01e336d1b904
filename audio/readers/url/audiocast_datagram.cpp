#include "audio/readers/url/audiocast_datagram.h"

#include "platform/net/header_list.h"

namespace vk2 {

void ForEachAudiocastHeader(std::string_view datagram,
                            const std::function<void(std::string_view, std::string_view)>& line) {
  datagram = datagram.substr(0, datagram.find('\0'));
  for (;;) {
    const size_t eol = datagram.find('\n');
    if (eol == std::string_view::npos) return;
    const std::string_view text = datagram.substr(0, eol);
    datagram.remove_prefix(eol + 1);
    const size_t colon = text.find(':');
    if (colon == std::string_view::npos) continue;
    std::string_view name = text.substr(0, colon);
    while (!name.empty() && (name.back() == ' ' || name.back() == '\t'))
      name.remove_suffix(1);
    std::string_view value = text.substr(colon + 1);
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t'))
      value.remove_prefix(1);
    if (!value.empty() && value.back() == '\r') value.remove_suffix(1);
    if (name.size() < kAudiocastPrefix.size() ||
        !EqualsIgnoringCase(name.substr(0, kAudiocastPrefix.size()), kAudiocastPrefix)) {
      continue;
    }
    line(name, value);
  }
}

}  // namespace vk2

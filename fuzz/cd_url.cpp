// CD track URLs: whatever the text, the parser answers within its ranges, accepts only what
// the scheme test claims, and a track URL written back from its result reads the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "audio/readers/cd/cd_url.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Bytes as units, with the high half of the units reachable through a 0xFF prefix byte.
  std::u16string url;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0xFF && i + 1 < size) {
      url.push_back(static_cast<char16_t>(0x100 + data[++i] * 0xFF));
    } else {
      url.push_back(static_cast<char16_t>(data[i]));
    }
  }
  const std::u16string text(url.c_str());  // the URL ends at its first NUL
  vk2::CdTrackUrl parsed;
  if (!vk2::ParseCdTrackUrl(text.c_str(), &parsed)) return 0;
  if (!vk2::IsCdTrackUrl(text.c_str())) std::abort();
  if (parsed.track < 0 || parsed.track > 999999 || parsed.drive < -1) std::abort();
  const std::vector<std::string> drives = {"/dev/sr0", "/dev/sr1"};
  const std::string picked = vk2::PickCdDrive(parsed, drives);
  if (parsed.drive < 2 && picked.empty()) std::abort();
  if (parsed.drive >= 2 && !picked.empty()) std::abort();
  std::u16string again = u"cdaudio://";
  if (parsed.drive >= 0) {
    for (char c : std::to_string(parsed.drive))
      again.push_back(static_cast<char16_t>(c));
    again.push_back(u'/');
  }
  for (char c : std::to_string(parsed.track))
    again.push_back(static_cast<char16_t>(c));
  vk2::CdTrackUrl back;
  if (!vk2::ParseCdTrackUrl(again.c_str(), &back)) std::abort();
  if (back.track != parsed.track || back.drive != parsed.drive) std::abort();
  return 0;
}

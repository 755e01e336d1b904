// Display templates: any text expands or is refused without harm, against a song and a time;
// a refused template leaves the output as it was, and an accepted one never grows beyond what
// its fields and literals can give.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/script/display_template.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const vk2::TString text = vk2::FromNarrowString(reinterpret_cast<const char*>(data),
                                                  static_cast<int32_t>(size < 4096 ? size : 4096));
  vk2::PlayerInfo info;
  info.currentId = 7;
  info.state = 1;
  info.count = 12;
  info.index = 3;
  info.time = 3725.5;
  info.item.SetUrl(u"http://example.invalid/stream");
  info.item.SetTitle(u"A title");
  info.item.tokens.Append(vk2::ItemToken{u"genre", u"rock"});
  vk2::TimeContext time;
  time.seconds = 93784.25;
  const vk2::TString untouched(u"untouched");
  vk2::TString song = untouched, clock = untouched;
  const bool songOk = vk2::ExpandTemplate(
      text, [&](const vk2::TString& f) { return vk2::ResolveSongField(info, f); }, &song);
  const bool timeOk = vk2::ExpandTemplate(
      text, [&](const vk2::TString& f) { return vk2::ResolveTimeField(time, f); }, &clock);
  // The syntax does not depend on the context.
  if (songOk != timeOk) std::abort();
  if (!songOk && (song != untouched || clock != untouched)) std::abort();
  return 0;
}

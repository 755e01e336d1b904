// M3U reading: any bytes give records (M3U has no error but a failed stream); what was read
// writes back and reads again to as many records.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/formats/m3u.h"
#include "fuzz/playlist_round_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto read = [](vk2::FileStream* in, vk2::ItemInfoArray* items) {
    const int32_t n = vk2::ReadM3u(in, items);
    if (n < 0) std::abort();
    return n;
  };
  vk2::fuzz::CheckPlaylistRoundTrip(
      data, size, u"/m/x/list.m3u", read,
      [](vk2::FileStream* out, const vk2::ItemInfoArray& items, bool relative) {
        return vk2::WriteM3u(out, items, true, relative);
      });
  return 0;
}

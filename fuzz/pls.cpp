// PLS reading: any bytes give records or a clean error; what was read writes back and reads
// again to as many records.
#include <cstddef>
#include <cstdint>

#include "core/formats/pls.h"
#include "fuzz/playlist_documents.h"
#include "fuzz/playlist_round_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const vk2::PlaylistDocuments documents = vk2::fuzz::RuntimeDocuments();
  vk2::fuzz::CheckPlaylistRoundTrip(
      data, size, u"/m/x/list.pls",
      [&](vk2::FileStream* in, vk2::ItemInfoArray* items) {
        vk2::IsPlsFile(in);
        return vk2::ReadPls(in, items, documents);
      },
      [&](vk2::FileStream* out, const vk2::ItemInfoArray& items, bool relative) {
        return vk2::WritePls(out, items, true, relative, documents);
      });
  return 0;
}

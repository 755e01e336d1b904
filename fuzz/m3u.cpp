// M3U reading: any bytes give records or a clean error; what was read writes back and reads
// again to the same records.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/files/file_stream.h"
#include "core/formats/m3u.h"
#include "core/playlist/item_info.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vk2::FileStream in;
  in.OpenMemory(const_cast<uint8_t*>(data), size, true, nullptr, nullptr, u"/m/x/list.m3u");
  vk2::ItemInfoArray items;
  const int32_t n = vk2::ReadM3u(&in, &items);
  if (n < 0 || static_cast<uint32_t>(n) != items.Count()) std::abort();
  for (bool relative : {false, true}) {
    vk2::FileStream out;
    out.OpenBuffer(u"/m/x/list.m3u");
    if (vk2::WriteM3u(&out, items, true, relative) != n) std::abort();
    vk2::FileStream again;
    again.OpenMemory(const_cast<uint8_t*>(out.Buffer().data()), out.Buffer().size(), true, nullptr,
                     nullptr, u"/m/x/list.m3u");
    vk2::ItemInfoArray back;
    if (vk2::ReadM3u(&again, &back) != n) std::abort();
  }
  return 0;
}

// The check every playlist format's target makes: any bytes give records or a clean error (and a
// failed read leaves no records); what was read writes back, plainly and with relative paths, and
// reads again to as many records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/files/file_stream.h"
#include "core/playlist/item_info.h"

namespace vk2::fuzz {

// `read(stream, items)` and `write(stream, items, relative)` wrap the format's own functions.
template <class Read, class Write>
void CheckPlaylistRoundTrip(const uint8_t* data, size_t size, const char16_t* path, Read read,
                            Write write) {
  FileStream in;
  in.OpenMemory(const_cast<uint8_t*>(data), size, true, nullptr, nullptr, path);
  ItemInfoArray items;
  const int32_t n = read(&in, &items);
  if (n < 0) {
    if (items.Count() != 0) std::abort();
    return;
  }
  if (static_cast<uint32_t>(n) != items.Count()) std::abort();
  for (bool relative : {false, true}) {
    FileStream out;
    out.OpenBuffer(path);
    if (write(&out, items, relative) != n) std::abort();
    FileStream again;
    again.OpenMemory(const_cast<uint8_t*>(out.Buffer().data()), out.Buffer().size(), true, nullptr,
                     nullptr, path);
    ItemInfoArray back;
    if (read(&again, &back) != n) std::abort();
  }
}

}  // namespace vk2::fuzz

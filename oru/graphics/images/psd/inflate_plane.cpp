#include "oru/graphics/images/psd/inflate_plane.h"

#include <zlib.h>

#include <climits>

namespace vk2::oru {

bool InflatePlane(const uint8_t* data, size_t length, uint64_t size, std::vector<uint8_t>* out) {
  // Deflate reaches about 1032:1; a claim beyond that is refused before allocating.
  constexpr uint64_t kMaxRatio = 1032;
  if (!data || length == 0 || length > UINT_MAX || size > UINT_MAX) return false;
  if (size / kMaxRatio > length) return false;
  out->assign(static_cast<size_t>(size), 0);
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return false;
  z.next_in = const_cast<Bytef*>(data);
  z.avail_in = static_cast<uInt>(length);
  z.next_out = out->data();
  z.avail_out = static_cast<uInt>(size);
  const int r = inflate(&z, Z_FINISH);
  const bool whole = r == Z_STREAM_END && z.avail_out == 0;
  inflateEnd(&z);
  return whole;
}

void UndoRowDeltas(std::vector<uint8_t>* plane, int32_t width, int32_t height) {
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* row = plane->data() + static_cast<size_t>(y) * width;
    for (int32_t x = 1; x < width; ++x)
      row[x] = static_cast<uint8_t>(row[x] + row[x - 1]);
  }
}

}  // namespace vk2::oru

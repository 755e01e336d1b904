#include "audio/decoders/mpeg/core/xing_header.h"

#include <cstring>

namespace vk2 {

namespace {
uint32_t BigEndian32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}
}  // namespace

bool ParseXingHeader(const MpegFrameHeader& header, const uint8_t* frame, size_t length,
                     MpegXingHeader& out) {
  out = MpegXingHeader{};
  if (header.layer != 3) return false;
  // The record follows the side information; encoders that set the CRC flag put the CRC first.
  size_t offsets[2] = {4u + static_cast<size_t>(header.sideInfoLength),
                       6u + static_cast<size_t>(header.sideInfoLength)};
  for (size_t offset : offsets) {
    if (offset + 8 > length) continue;
    const uint8_t* p = frame + offset;
    bool xing = std::memcmp(p, "Xing", 4) == 0;
    bool info = std::memcmp(p, "Info", 4) == 0;
    if (!xing && !info) continue;
    size_t at = offset + 4;
    out.flags = BigEndian32(frame + at);
    at += 4;
    if (out.flags & 1) {
      if (at + 4 > length) return false;
      out.frames = BigEndian32(frame + at);
      at += 4;
    }
    if (out.flags & 2) {
      if (at + 4 > length) return false;
      out.bytes = BigEndian32(frame + at);
      at += 4;
    }
    if (out.flags & 4) {
      if (at + 100 > length) return false;
      std::memcpy(out.toc, frame + at, 100);
      out.hasToc = true;
      at += 100;
    }
    if (out.flags & 8) {
      if (at + 4 > length) return false;
      out.quality = BigEndian32(frame + at);
    }
    out.present = true;
    out.isInfo = info;
    return true;
  }
  return false;
}

}  // namespace vk2

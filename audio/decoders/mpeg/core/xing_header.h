#pragma once
// The Xing / Info record that VBR (and LAME CBR) files carry in their first frame.
#include <cstddef>
#include <cstdint>

#include "audio/decoders/mpeg/core/frame_header.h"

namespace vk2 {

struct MpegXingHeader {
  bool present = false;
  bool isInfo = false;  // "Info": written by CBR encoders, same layout
  uint32_t flags = 0;
  uint32_t frames = 0;  // audio frames, the tag frame not included
  uint32_t bytes = 0;
  bool hasToc = false;
  uint8_t toc[100] = {};
  uint32_t quality = 0xFFFFFFFFu;
};

// Looks for the record inside one whole frame (header included) of `header`'s kind.
bool ParseXingHeader(const MpegFrameHeader& header, const uint8_t* frame, size_t length,
                     MpegXingHeader& out);

}  // namespace vk2

// Structure walks of the foreign formats, run before a decoder sees the bytes: a file whose
// declared parts run past its end is truncated. The decoders underneath pad missing bytes with
// zeros instead of failing, so this is where a cut-off file is caught.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vk2::oru {

enum class ForeignFormat { kUnknown, kPng, kJpeg, kGif, kBmp, kTga };

// By the file's signature; TGA (which has none) when the header is a plausible one.
ForeignFormat SniffForeignFormat(const uint8_t* data, size_t size);

// True when every part the file declares lies inside it.
bool IsComplete(ForeignFormat format, const uint8_t* data, size_t size);

}  // namespace vk2::oru

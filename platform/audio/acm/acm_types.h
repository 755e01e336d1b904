// Result codes and flags of the audio compression stand-in.
#pragma once

#include <cstdint>

namespace vk2 {

inline constexpr int32_t kAcmOk = 0;
inline constexpr int32_t kAcmErrInvalParam = -11;
inline constexpr int32_t kAcmErrNoMem = -7;
inline constexpr int32_t kAcmErrNotPossible = -512;
inline constexpr int32_t kAcmErrUnprepared = -514;

// AcmFormatSuggest: the destination's field is a requirement, not a wish to be replaced.
inline constexpr uint32_t kAcmSuggestChannels = 0x00010000;
inline constexpr uint32_t kAcmSuggestSamplesPerSec = 0x00020000;
inline constexpr uint32_t kAcmSuggestBitsPerSample = 0x00040000;
inline constexpr uint32_t kAcmSuggestFormatTag = 0x00080000;

// AcmStream::Open: only ask whether the conversion is possible.
inline constexpr uint32_t kAcmStreamOpenQuery = 0x1;

// AcmStream::Size: what the given byte count is.
inline constexpr uint32_t kAcmSizeSource = 0x0;       // source bytes; answers destination bytes
inline constexpr uint32_t kAcmSizeDestination = 0x1;  // destination bytes; answers source bytes

// AcmStream::Convert.
inline constexpr uint32_t kAcmConvertBlockAlign = 0x04;
inline constexpr uint32_t kAcmConvertStart = 0x10;
inline constexpr uint32_t kAcmConvertEnd = 0x20;

// Header status.
inline constexpr uint32_t kAcmHeaderDone = 0x00010000;
inline constexpr uint32_t kAcmHeaderPrepared = 0x00020000;

struct AcmStreamHeader {
  uint32_t status = 0;
  uint8_t* source = nullptr;
  uint32_t sourceLength = 0;
  uint32_t sourceLengthUsed = 0;
  uint8_t* destination = nullptr;
  uint32_t destinationLength = 0;
  uint32_t destinationLengthUsed = 0;
};

}  // namespace vk2

// Audio packets of every PCM sample format for tests: test signals (doubles in [-1, 1]) turned
// into little-endian sample bytes and back, and counted format records and packets that live on
// the heap, independent of any packet pool.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/util/ref_ptr.h"
#include "interfaces/audio/audio_format.h"
#include "interfaces/audio/audio_packet.h"
#include "interfaces/ids.h"

namespace vk2::test {

struct SampleFormat {
  uint32_t bits = 16;
  bool isFloat = false;
  bool isSigned = true;
  const char* name = "s16";

  uint32_t Bytes() const { return bits / 8; }
  // Full scale of an integer format: 2^(bits - 1).
  double Scale() const { return isFloat ? 1.0 : static_cast<double>(1u << (bits - 1)); }
};

inline constexpr SampleFormat kU8{8, false, false, "u8"};
inline constexpr SampleFormat kS8{8, false, true, "s8"};
inline constexpr SampleFormat kU16{16, false, false, "u16"};
inline constexpr SampleFormat kS16{16, false, true, "s16"};
inline constexpr SampleFormat kF32{32, true, true, "f32"};
inline constexpr SampleFormat kF64{64, true, true, "f64"};
inline constexpr SampleFormat kAllSampleFormats[] = {kU8, kS8, kU16, kS16, kF32, kF64};

// Integer formats: round(x * scale) clamped to the format's range, offset by the scale when
// unsigned; floats as they are.
std::vector<uint8_t> EncodePcm(const std::vector<double>& samples, const SampleFormat& format);
// The inverse: integer values divided by the scale.
std::vector<double> DecodePcm(const uint8_t* data, size_t bytes, const SampleFormat& format);
// Integer formats' stored values as they are (0..255 for u8, -32768..32767 for s16).
std::vector<int32_t> StoredIntegers(const uint8_t* data, size_t bytes, const SampleFormat& format);

RefPtr<AudioFormat> MakeTestFormat(uint32_t rate, uint32_t channels, const SampleFormat& format,
                                   const Guid& type = kFormatPcm);
// A packet holding a copy of `bytes` in the given format (counted; deleted at zero).
RefPtr<AudioPacket> MakeTestPacket(AudioFormat* format, const std::vector<uint8_t>& bytes);
// How many packets made by MakeTestPacket are alive (to catch leaks and double releases).
int LiveTestPackets();

// The payload of a packet as bytes.
std::vector<uint8_t> PacketBytes(const AudioPacket& packet);

}  // namespace vk2::test

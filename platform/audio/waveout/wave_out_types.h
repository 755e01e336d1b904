// Result codes, header flags and device capabilities of the waveOut stand-in.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

namespace vk2 {

inline constexpr int32_t kMmOk = 0;
inline constexpr int32_t kMmErrError = -1;
inline constexpr int32_t kMmErrBadDeviceId = -2;
inline constexpr int32_t kMmErrNoDriver = -6;
inline constexpr int32_t kMmErrNoMem = -7;
inline constexpr int32_t kMmErrInvalParam = -11;
inline constexpr int32_t kWaveErrBadFormat = -32;
inline constexpr int32_t kWaveErrStillPlaying = -33;
inline constexpr int32_t kWaveErrUnprepared = -34;

// Open: only ask whether the format would open.
inline constexpr uint32_t kWaveFormatQuery = 0x1;
// The device id that means "the default device".
inline constexpr uint32_t kWaveMapper = 0xFFFFFFFFu;

// Header flags.
inline constexpr uint32_t kWhdrDone = 0x01;
inline constexpr uint32_t kWhdrPrepared = 0x02;
inline constexpr uint32_t kWhdrInQueue = 0x10;

// One block of sound handed to the device. The caller owns the memory and must not touch it
// between Write and the moment kWhdrDone is set (or Reset returns). The device thread sets the
// flags while the owner polls them, so they are atomic: seeing kWhdrDone means the device has
// finished with the data.
struct WaveHeader {
  uint8_t* data = nullptr;
  uint32_t bufferLength = 0;
  uint32_t bytesRecorded = 0;
  uintptr_t user = 0;
  std::atomic<uint32_t> flags{0};
};

struct WaveOutCaps {
  std::string productName;
  std::string deviceId;  // the sink device behind it
};

}  // namespace vk2

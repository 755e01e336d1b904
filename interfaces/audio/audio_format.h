// The audio format record: the kind, rate and layout of what an output delivers, shared by
// counted reference between modules and packets.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/util/guid.h"
#include "interfaces/ids.h"

namespace vk2 {

// Every record is a counted heap object: a packet may outlive the module that made its format.
// A record never changes once it has been handed out; a module that changes its format makes a
// new record.
class AudioFormat {
 public:
  virtual uint32_t AddRef() = 0;
  virtual uint32_t Release() = 0;

  Guid type;  // kFormatPcm or kFormatByteStream
  uint32_t sampleRate = 0;
  uint32_t channels = 0;
  uint32_t bitsPerSample = 0;
  uint8_t isFloat = 0;   // 32-bit IEEE float samples
  uint8_t isSigned = 0;  // signed integer samples

 protected:
  AudioFormat() = default;
  ~AudioFormat() = default;
};

inline bool IsPcm(const AudioFormat& f) {
  return f.type == kFormatPcm;
}

// One sample is (bits + 7) / 8 bytes wide, so 12- and 20-bit audio take 2 and 3 bytes. Every
// frame count in the engine goes through these, never through bits * channels / 8.
inline uint32_t BytesPerSample(const AudioFormat& f) {
  return (f.bitsPerSample + 7) / 8;
}
inline uint32_t BytesPerFrame(const AudioFormat& f) {
  return BytesPerSample(f) * f.channels;
}
// Saturates instead of wrapping for nonsense formats.
inline uint32_t BytesPerSecond(const AudioFormat& f) {
  const uint64_t v = static_cast<uint64_t>(BytesPerFrame(f)) * f.sampleRate;
  return v > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(v);
}
// `bytes` rounded down to whole frames of `bytesPerFrame` (unchanged for a frame size of 0).
inline uint32_t WholeFrameBytes(uint32_t bytes, uint32_t bytesPerFrame) {
  return bytesPerFrame ? bytes - bytes % bytesPerFrame : bytes;
}

inline bool SameFormat(const AudioFormat& a, const AudioFormat& b) {
  return a.type == b.type && a.sampleRate == b.sampleRate && a.channels == b.channels &&
         a.bitsPerSample == b.bitsPerSample && a.isFloat == b.isFloat && a.isSigned == b.isSigned;
}

// The list an output fills in GetFormats, best format first. Holds a reference to each record.
class AudioFormatList {
 public:
  AudioFormatList() = default;
  AudioFormatList(const AudioFormatList&) = delete;
  AudioFormatList& operator=(const AudioFormatList&) = delete;
  ~AudioFormatList() { Clear(); }

  void Append(AudioFormat* format) {
    if (!format) return;
    format->AddRef();
    items_.push_back(format);
  }
  uint32_t Count() const { return static_cast<uint32_t>(items_.size()); }
  AudioFormat* At(uint32_t i) const { return items_[i]; }
  void Clear() {
    std::vector<AudioFormat*> items;
    items.swap(items_);
    for (AudioFormat* f : items)
      f->Release();
  }

 private:
  std::vector<AudioFormat*> items_;
};

}  // namespace vk2

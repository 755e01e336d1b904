#include "tests/support/pcm_packets.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>

namespace vk2::test {
namespace {

std::atomic<int> g_livePackets{0};

int64_t Offset(const SampleFormat& f) {
  return f.isSigned ? 0 : (int64_t{1} << (f.bits - 1));
}

class HeapFormat final : public AudioFormat {
 public:
  uint32_t AddRef() override { return ++refs_; }
  uint32_t Release() override {
    const uint32_t left = --refs_;
    if (left == 0) delete this;
    return left;
  }

 private:
  ~HeapFormat() = default;
  std::atomic<uint32_t> refs_{0};
};

class HeapPacket final : public AudioPacket {
 public:
  explicit HeapPacket(const std::vector<uint8_t>& bytes) : storage_(bytes) {
    // Never empty, so `data` is a real pointer even for a packet of 0 bytes.
    if (storage_.empty()) storage_.reserve(1);
    data = storage_.data();
    byteCount = static_cast<uint32_t>(bytes.size());
    capacity = byteCount;
    ++g_livePackets;
  }
  uint32_t AddRef() override { return ++refs_; }
  uint32_t Release() override {
    const uint32_t left = --refs_;
    if (left == 0) delete this;
    return left;
  }

 private:
  ~HeapPacket() {
    SetFormat(nullptr);
    --g_livePackets;
  }
  std::vector<uint8_t> storage_;
  uint32_t refs_ = 0;
};

}  // namespace

std::vector<uint8_t> EncodePcm(const std::vector<double>& samples, const SampleFormat& format) {
  std::vector<uint8_t> out(samples.size() * format.Bytes());
  uint8_t* p = out.data();
  for (double x : samples) {
    if (format.isFloat && format.bits == 32) {
      const float v = static_cast<float>(x);
      std::memcpy(p, &v, 4);
    } else if (format.isFloat) {
      std::memcpy(p, &x, 8);
    } else {
      // Clamped in the signed range, then offset for unsigned storage.
      const int64_t scale = int64_t{1} << (format.bits - 1);
      const int64_t stored =
          std::clamp<int64_t>(std::llround(x * format.Scale()), -scale, scale - 1) + Offset(format);
      for (uint32_t b = 0; b < format.Bytes(); ++b)
        p[b] = static_cast<uint8_t>(static_cast<uint64_t>(stored) >> (8 * b));
    }
    p += format.Bytes();
  }
  return out;
}

std::vector<int32_t> StoredIntegers(const uint8_t* data, size_t bytes, const SampleFormat& format) {
  std::vector<int32_t> out;
  if (format.isFloat) return out;
  for (size_t i = 0; i + format.Bytes() <= bytes; i += format.Bytes()) {
    uint32_t raw = 0;
    for (uint32_t b = 0; b < format.Bytes(); ++b)
      raw |= static_cast<uint32_t>(data[i + b]) << (8 * b);
    int32_t v = static_cast<int32_t>(raw);
    if (format.isSigned && (raw & (1u << (format.bits - 1)))) {
      v = static_cast<int32_t>(raw) - static_cast<int32_t>(1u << format.bits);
    }
    out.push_back(v);
  }
  return out;
}

std::vector<double> DecodePcm(const uint8_t* data, size_t bytes, const SampleFormat& format) {
  std::vector<double> out;
  if (format.isFloat) {
    for (size_t i = 0; i + format.Bytes() <= bytes; i += format.Bytes()) {
      if (format.bits == 32) {
        float v;
        std::memcpy(&v, data + i, 4);
        out.push_back(v);
      } else {
        double v;
        std::memcpy(&v, data + i, 8);
        out.push_back(v);
      }
    }
    return out;
  }
  for (int32_t v : StoredIntegers(data, bytes, format))
    out.push_back(static_cast<double>(v - Offset(format)) / format.Scale());
  return out;
}

RefPtr<AudioFormat> MakeTestFormat(uint32_t rate, uint32_t channels, const SampleFormat& format,
                                   const Guid& type) {
  auto* f = new HeapFormat;
  f->type = type;
  f->sampleRate = rate;
  f->channels = channels;
  f->bitsPerSample = format.bits;
  f->isFloat = format.isFloat ? 1 : 0;
  f->isSigned = format.isSigned ? 1 : 0;
  return RefPtr<AudioFormat>(f);
}

RefPtr<AudioPacket> MakeTestPacket(AudioFormat* format, const std::vector<uint8_t>& bytes) {
  auto* p = new HeapPacket(bytes);
  p->SetFormat(format);
  return RefPtr<AudioPacket>(p);
}

int LiveTestPackets() {
  return g_livePackets.load();
}

std::vector<uint8_t> PacketBytes(const AudioPacket& packet) {
  return std::vector<uint8_t>(packet.data, packet.data + packet.byteCount);
}

}  // namespace vk2::test

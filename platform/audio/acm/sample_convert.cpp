#include "platform/audio/acm/sample_convert.h"

extern "C" {
#include <libavutil/samplefmt.h>
}

#include <cmath>
#include <cstring>

namespace vk2 {

namespace {

enum class Kind { kU8, kS16, kS32, kFlt, kDbl };

// One sample as the wide integer it maps to (32-bit scale) or as a float.
struct Sample {
  Kind kind;
  int32_t i;  // integer kinds
  double f;   // float kinds
};

Sample Load(Kind kind, const uint8_t* p) {
  Sample s{kind, 0, 0.0};
  switch (kind) {
    case Kind::kU8:
      s.i = *p;
      break;
    case Kind::kS16: {
      int16_t v;
      std::memcpy(&v, p, 2);
      s.i = v;
      break;
    }
    case Kind::kS32:
      std::memcpy(&s.i, p, 4);
      break;
    case Kind::kFlt: {
      float v;
      std::memcpy(&v, p, 4);
      s.f = v;
      break;
    }
    case Kind::kDbl:
      std::memcpy(&s.f, p, 8);
      break;
  }
  return s;
}

int32_t Clip(int64_t v, int64_t lo, int64_t hi) {
  return static_cast<int32_t>(v < lo ? lo : v > hi ? hi : v);
}

int32_t To16(const Sample& s) {
  switch (s.kind) {
    case Kind::kU8:
      return (s.i - 0x80) * 256;
    case Kind::kS16:
      return s.i;
    case Kind::kS32:
      return s.i >> 16;
    case Kind::kFlt:
      return Clip(std::lrintf(static_cast<float>(s.f) * 32768.0f), -32768, 32767);
    case Kind::kDbl:
      return Clip(std::lrint(s.f * 32768.0), -32768, 32767);
  }
  return 0;
}

int32_t To32(const Sample& s) {
  switch (s.kind) {
    case Kind::kU8:
      return static_cast<int32_t>(static_cast<uint32_t>(s.i - 0x80) << 24);
    case Kind::kS16:
      return static_cast<int32_t>(static_cast<uint32_t>(s.i) << 16);
    case Kind::kS32:
      return s.i;
    case Kind::kFlt:
      return Clip(std::llrintf(static_cast<float>(s.f) * 2147483648.0f), INT32_MIN, INT32_MAX);
    case Kind::kDbl:
      return Clip(std::llrint(s.f * 2147483648.0), INT32_MIN, INT32_MAX);
  }
  return 0;
}

int32_t ToU8(const Sample& s) {
  switch (s.kind) {
    case Kind::kU8:
      return s.i;
    case Kind::kS16:
      return (s.i >> 8) + 0x80;
    case Kind::kS32:
      return (s.i >> 24) + 0x80;
    case Kind::kFlt:
      return Clip(std::lrintf(static_cast<float>(s.f) * 128.0f) + 0x80, 0, 255);
    case Kind::kDbl:
      return Clip(std::lrint(s.f * 128.0) + 0x80, 0, 255);
  }
  return 0x80;
}

float ToFloat(const Sample& s) {
  switch (s.kind) {
    case Kind::kU8:
      return static_cast<float>(s.i - 0x80) / 128.0f;
    case Kind::kS16:
      return static_cast<float>(s.i) / 32768.0f;
    case Kind::kS32:
      return static_cast<float>(s.i / 2147483648.0);
    case Kind::kFlt:
    case Kind::kDbl:
      return static_cast<float>(s.f);
  }
  return 0.0f;
}

void Store(const Sample& s, const PcmFormat& dst, uint8_t* out) {
  if (dst.isFloat) {
    const float v = ToFloat(s);
    std::memcpy(out, &v, 4);
    return;
  }
  switch (dst.bitsPerSample) {
    case 8:
      *out = static_cast<uint8_t>(ToU8(s));
      break;
    case 16: {
      const auto v = static_cast<uint16_t>(To16(s));
      out[0] = static_cast<uint8_t>(v);
      out[1] = static_cast<uint8_t>(v >> 8);
      break;
    }
    case 24: {
      const auto v = static_cast<uint32_t>(To32(s) >> 8);
      out[0] = static_cast<uint8_t>(v);
      out[1] = static_cast<uint8_t>(v >> 8);
      out[2] = static_cast<uint8_t>(v >> 16);
      break;
    }
    default: {
      const int32_t v = To32(s);
      std::memcpy(out, &v, 4);
      break;
    }
  }
}

}  // namespace

bool ConvertDecodedSamples(int sampleFormat, const uint8_t* const* planes, int channels, int frames,
                           const PcmFormat& dst, std::vector<uint8_t>& out) {
  const auto fmt = static_cast<AVSampleFormat>(sampleFormat);
  Kind kind;
  switch (av_get_packed_sample_fmt(fmt)) {
    case AV_SAMPLE_FMT_U8:
      kind = Kind::kU8;
      break;
    case AV_SAMPLE_FMT_S16:
      kind = Kind::kS16;
      break;
    case AV_SAMPLE_FMT_S32:
      kind = Kind::kS32;
      break;
    case AV_SAMPLE_FMT_FLT:
      kind = Kind::kFlt;
      break;
    case AV_SAMPLE_FMT_DBL:
      kind = Kind::kDbl;
      break;
    default:
      return false;
  }
  if (channels != dst.channels || frames < 0) return false;
  const bool planar = av_sample_fmt_is_planar(fmt) != 0;
  const size_t width = static_cast<size_t>(av_get_bytes_per_sample(fmt));
  const size_t frameBytes = dst.BlockAlign();
  const size_t start = out.size();
  out.resize(start + static_cast<size_t>(frames) * frameBytes);
  uint8_t* o = out.data() + start;
  const size_t outWidth = dst.BytesPerSample();
  for (int i = 0; i < frames; ++i) {
    for (int c = 0; c < channels; ++c) {
      const uint8_t* p = planar ? planes[c] + static_cast<size_t>(i) * width
                                : planes[0] + (static_cast<size_t>(i) * channels + c) * width;
      Store(Load(kind, p), dst, o);
      o += outWidth;
    }
  }
  return true;
}

}  // namespace vk2

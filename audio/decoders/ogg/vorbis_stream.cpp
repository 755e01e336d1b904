#include "audio/decoders/ogg/vorbis_stream.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <utility>

#include "foundation/bytes/byte_source.h"

namespace vk2 {
namespace {

// Samples per channel asked of the decoder at a time.
constexpr int kDecodeFrames = 1024;

// vorbisfile takes a zero count with errno set as a read failure and with errno clear as the
// end of the stream; a negative count would be read as a huge size_t.
// vorbisfile's decode loop takes a failed read for the end of the stream; the failure is kept
// here so that Read can report it.
size_t ReadCallback(void* buffer, size_t size, size_t count, void* datasource) {
  auto* link = static_cast<VorbisReadLink*>(datasource);
  const size_t bytes = size * count;
  if (bytes == 0) return 0;
  const int64_t n = link->source->Read(buffer, bytes);
  if (n < 0) {
    link->readFailed = true;
    errno = EIO;
    return 0;
  }
  errno = 0;
  return static_cast<size_t>(n) / size;
}

int SeekCallback(void* datasource, ogg_int64_t offset, int whence) {
  SeekOrigin origin;
  switch (whence) {
    case SEEK_SET:
      origin = SeekOrigin::kBegin;
      break;
    case SEEK_CUR:
      origin = SeekOrigin::kCurrent;
      break;
    case SEEK_END:
      origin = SeekOrigin::kEnd;
      break;
    default:
      return -1;
  }
  return static_cast<VorbisReadLink*>(datasource)->source->Seek(offset, origin) < 0 ? -1 : 0;
}

long TellCallback(void* datasource) {
  return static_cast<long>(static_cast<VorbisReadLink*>(datasource)->source->Tell());
}

constexpr ov_callbacks kCallbacks = {ReadCallback, SeekCallback, nullptr, TellCallback};

void StoreLe16(uint8_t* out, int16_t v) {
  const auto u = static_cast<uint16_t>(v);
  out[0] = static_cast<uint8_t>(u);
  out[1] = static_cast<uint8_t>(u >> 8);
}

}  // namespace

void VorbisFloatToInt16(const float* in, int16_t* out, size_t samples) {
  for (size_t i = 0; i < samples; ++i) {
    // The product stays a float, as in the library's own 16-bit output; nearbyint rounds
    // ties to even in the default rounding mode.
    const float scaled = in[i] * 32768.f;
    const double rounded = std::nearbyint(static_cast<double>(scaled));
    out[i] = static_cast<int16_t>(std::clamp(rounded, -32768.0, 32767.0));
  }
}

VorbisStream::VorbisStream() : file_(std::make_unique<OggVorbis_File>()) {}

VorbisStream::~VorbisStream() {
  Close();
}

bool VorbisStream::Probe(ByteSource& source, VorbisLinkInfo* info) {
  OggVorbis_File probe;
  std::memset(&probe, 0, sizeof probe);
  VorbisReadLink link{&source, false};
  // ov_test reads the headers only; a full open would scan every link of a seekable stream.
  const int r = ov_test_callbacks(&link, &probe, nullptr, 0, kCallbacks);
  if (r == 0 && info) {
    if (const vorbis_info* vi = ov_info(&probe, -1)) {
      info->rate = static_cast<uint32_t>(vi->rate);
      info->channels = static_cast<uint32_t>(vi->channels);
      info->bitrateUpper = vi->bitrate_upper;
      info->bitrateNominal = vi->bitrate_nominal;
      info->bitrateLower = vi->bitrate_lower;
    }
  }
  if (r == 0) ov_clear(&probe);
  return r == 0;
}

int VorbisStream::Open(ByteSource& source) {
  Close();
  std::memset(file_.get(), 0, sizeof(OggVorbis_File));
  link_ = {&source, false};
  const int r = ov_open_callbacks(&link_, file_.get(), nullptr, 0, kCallbacks);
  if (r < 0) {
    // vorbisfile has freed its state itself.
    std::memset(file_.get(), 0, sizeof(OggVorbis_File));
    return r;
  }
  open_ = true;
  return 0;
}

void VorbisStream::Close() {
  if (open_) ov_clear(file_.get());
  open_ = false;
  pending_.clear();
  pendingOffset_ = 0;
  pendingLink_ = -1;
  holePending_ = false;
  skipFrames_ = 0;
}

bool VorbisStream::IsSeekable() const {
  return open_ && ov_seekable(file_.get()) != 0;
}

size_t VorbisStream::PendingFrames() const {
  if (pendingChannels_ == 0) return 0;
  return (pending_.size() - pendingOffset_) / pendingChannels_;
}

long VorbisStream::DecodeMore(bool& hole) {
  for (;;) {
    float** pcm = nullptr;
    int link = 0;
    const long n = ov_read_float(file_.get(), &pcm, kDecodeFrames, &link);
    if (n == OV_HOLE) {
      // A lost page or skipped garbage: playable once the stream resumes.
      hole = true;
      continue;
    }
    if (n <= 0) return n;
    const vorbis_info* info = ov_info(file_.get(), -1);
    if (!info || info->channels <= 0) return OV_EFAULT;
    const auto channels = static_cast<uint32_t>(info->channels);
    pending_.resize(static_cast<size_t>(n) * channels);
    pendingOffset_ = 0;
    for (uint32_t c = 0; c < channels; ++c) {
      const float* in = pcm[c];
      float* out = pending_.data() + c;
      for (long i = 0; i < n; ++i)
        out[static_cast<size_t>(i) * channels] = in[i];
    }
    pendingLink_ = link;
    pendingRate_ = static_cast<uint32_t>(info->rate);
    pendingChannels_ = channels;
    return n;
  }
}

VorbisReadResult VorbisStream::Read(void* buffer, size_t capacity, VorbisSampleMode mode) {
  VorbisReadResult result;
  if (!open_) {
    result.error = OV_EINVAL;
    return result;
  }
  auto* out = static_cast<uint8_t*>(buffer);
  const uint32_t sampleBytes = VorbisBytesPerSample(mode);
  std::vector<int16_t> converted;
  result.hole = std::exchange(holePending_, false);
  for (;;) {
    if (PendingFrames() == 0) {
      bool hole = false;
      const long n = DecodeMore(hole);
      if (hole) {
        // The gap lies before the samples just decoded: they start the next buffer.
        if (result.bytes > 0) {
          holePending_ = true;
          break;
        }
        result.hole = true;
      }
      if (n == 0) {
        if (link_.readFailed) {
          result.error = OV_EREAD;
        } else {
          result.end = true;
        }
        break;
      }
      if (n < 0) {
        result.error = static_cast<int>(n);
        break;
      }
    }
    if (skipFrames_ > 0) {
      const uint64_t drop = std::min<uint64_t>(skipFrames_, PendingFrames());
      pendingOffset_ += static_cast<size_t>(drop) * pendingChannels_;
      skipFrames_ -= drop;
      if (PendingFrames() == 0) continue;
    }
    if (result.link < 0) {
      result.link = pendingLink_;
      result.rate = pendingRate_;
      result.channels = pendingChannels_;
      const double now = TimeTell();
      if (now >= 0 && pendingRate_ > 0) {
        result.startTime = std::max(0.0, now - static_cast<double>(PendingFrames()) / pendingRate_);
      }
    } else if (pendingLink_ != result.link || pendingRate_ != result.rate ||
               pendingChannels_ != result.channels) {
      break;  // the next link starts the next buffer
    }
    const size_t frameBytes = size_t{sampleBytes} * result.channels;
    const size_t fit = (capacity - result.bytes) / frameBytes;
    if (fit == 0) break;
    const size_t frames = std::min(fit, PendingFrames());
    const size_t samples = frames * result.channels;
    const float* in = pending_.data() + pendingOffset_;
    uint8_t* dst = out + result.bytes;
    if (mode == VorbisSampleMode::kFloat32) {
      std::memcpy(dst, in, samples * sizeof(float));
    } else {
      converted.resize(samples);
      VorbisFloatToInt16(in, converted.data(), samples);
      for (size_t i = 0; i < samples; ++i)
        StoreLe16(dst + 2 * i, converted[i]);
    }
    pendingOffset_ += samples;
    result.bytes += frames * frameBytes;
    if (result.bytes + frameBytes > capacity) break;
  }
  return result;
}

double VorbisStream::TimeTell() const {
  if (!open_) return -1.0;
  const double t = ov_time_tell(file_.get());
  return t < 0 ? -1.0 : t;
}

double VorbisStream::TimeTotal() const {
  if (!open_) return -1.0;
  // Negative (OV_EINVAL) for a stream that cannot seek: its length is unknown.
  const double t = ov_time_total(file_.get(), -1);
  return t < 0 ? -1.0 : t;
}

int VorbisStream::SeekTimePage(double seconds) {
  return SeekTo(seconds, false);
}

int VorbisStream::SeekTime(double seconds) {
  return SeekTo(seconds, true);
}

int VorbisStream::SeekTo(double seconds, bool exact) {
  if (!open_) return OV_EINVAL;
  int r;
  const double total = TimeTotal();
  if (total >= 0 && seconds >= total) {
    // The time seek refuses the very end; the sample seek takes it.
    r = ov_pcm_seek_page(file_.get(), ov_pcm_total(file_.get(), -1));
  } else {
    r = ov_time_seek_page(file_.get(), std::max(0.0, seconds));
  }
  if (r == 0) {
    pending_.clear();
    pendingOffset_ = 0;
    holePending_ = false;
    skipFrames_ = 0;
    // The page starts at or before the target: the samples up to it are decoded and dropped
    // by the reads that follow.
    const double at = TimeTell();
    const vorbis_info* vi = ov_info(file_.get(), -1);
    if (exact && vi && at >= 0 && seconds > at) {
      skipFrames_ = static_cast<uint64_t>(std::llround((seconds - at) * vi->rate));
    }
  }
  return r;
}

long VorbisStream::BitrateInstant() {
  if (!open_) return OV_EINVAL;
  return ov_bitrate_instant(file_.get());
}

bool VorbisStream::CurrentInfo(VorbisLinkInfo& info) const {
  if (!open_) return false;
  const vorbis_info* vi = ov_info(file_.get(), -1);
  if (!vi) return false;
  info.rate = static_cast<uint32_t>(vi->rate);
  info.channels = static_cast<uint32_t>(vi->channels);
  info.bitrateUpper = vi->bitrate_upper;
  info.bitrateNominal = vi->bitrate_nominal;
  info.bitrateLower = vi->bitrate_lower;
  return true;
}

bool VorbisStream::CurrentComments(std::vector<std::string>& comments) const {
  comments.clear();
  if (!open_) return false;
  const vorbis_comment* vc = ov_comment(file_.get(), -1);
  if (!vc) return false;
  for (int i = 0; i < vc->comments; ++i) {
    if (!vc->user_comments[i] || vc->comment_lengths[i] < 0) continue;
    comments.emplace_back(vc->user_comments[i], static_cast<size_t>(vc->comment_lengths[i]));
  }
  return true;
}

}  // namespace vk2

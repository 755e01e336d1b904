#include "audio/decoders/wave/wave_stream.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "foundation/util/result.h"
#include "platform/audio/acm/acm_format.h"
#include "platform/audio/acm/acm_stream.h"
#include "platform/audio/acm/codec_map.h"
#include "platform/audio/acm/wave_format_reader.h"
#include "platform/audio/riff/riff_reader.h"

namespace vk2 {
namespace {

// RIFF sizes that writers leave when they cannot go back to fill them in.
constexpr uint32_t kUnfilledSize = 0xFFFFFFFFu;

// The most source bytes held for one conversion; a single block (at most 65535 bytes) always
// fits, so the source buffer stays within 64 KiB whatever the header claims.
constexpr uint32_t kMaxSourceBytes = 64 << 10;

// Reads exactly `bytes` unless the stream ends or fails: the count, or -1 on failure.
int64_t ReadFully(RiffReader& riff, uint8_t* out, int64_t bytes) {
  int64_t done = 0;
  while (done < bytes) {
    const int64_t n = riff.Read(out + done, bytes - done);
    if (n < 0) return done > 0 ? done : -1;
    if (n == 0) break;
    done += n;
  }
  return done;
}

}  // namespace

WaveStream::WaveStream() = default;

WaveStream::~WaveStream() {
  Close();
}

void WaveStream::Close() {
  if (acm_) acm_->UnprepareHeader(&header_);
  acm_.reset();
  riff_.reset();
  stream_ = nullptr;
  info_ = WaveInfo();
  header_ = AcmStreamHeader();
  source_.clear();
  destination_.clear();
  staged_.clear();
  stagedHead_ = 0;
  held_ = 0;
  unread_ = -1;
  sourceEnded_ = drained_ = startPending_ = discontinuityPending_ = firstSent_ = false;
  framesOut_ = 0;
  framesPerBlock_ = 0;
}

uint32_t WaveStream::DestinationFrameBytes() const {
  return info_.destination.blockAlign;
}

WaveOpenError WaveStream::Open(ByteSource& stream, bool probe) {
  Close();
  stream_ = &stream;
  riff_ = std::make_unique<RiffReader>(stream);
  // The form header is read here rather than by the chunk reader: writers that stream leave
  // its size 0 or unfilled, and the form type must be read all the same.
  uint8_t form[12];
  if (ReadFully(*riff_, form, sizeof form) != sizeof form || std::memcmp(form, "RIFF", 4) != 0 ||
      std::memcmp(form + 8, "WAVE", 4) != 0) {
    return WaveOpenError::kNotRiff;
  }
  RiffChunk riff;
  riff.id = kFourCCRiff;
  riff.size = static_cast<uint32_t>(form[4] | form[5] << 8 | form[6] << 16) |
              static_cast<uint32_t>(form[7]) << 24;
  riff.formType = kFourCCWave;
  riff.headerOffset = riff_->Position() - static_cast<int64_t>(sizeof form);
  riff.dataOffset = riff_->Position();
  // A form size left unfilled says nothing about where the chunks end.
  const bool formSized = riff.size >= 4 && riff.size != kUnfilledSize;
  const RiffChunk* parent = formSized ? &riff : nullptr;

  RiffChunk fmt;
  fmt.id = kFourCCFmt;
  if (riff_->Descend(&fmt, parent, kRiffFindChunk) != kRiffOk) return WaveOpenError::kNoFormat;
  if (fmt.size < 16 || fmt.size > kMaxWaveFormatBytes) return WaveOpenError::kNoFormat;
  std::vector<uint8_t> record(fmt.size);
  if (ReadFully(*riff_, record.data(), fmt.size) != fmt.size) return WaveOpenError::kNoFormat;
  if (!ParseWaveFormat(record.data(), record.size(), info_.source)) {
    return WaveOpenError::kNoFormat;
  }
  if (!CheckWaveFormat(info_.source).empty()) return WaveOpenError::kBadFormat;
  if (riff_->Ascend(fmt) != kRiffOk) return WaveOpenError::kNoData;

  RiffChunk data;
  data.id = kFourCCData;
  if (riff_->Descend(&data, parent, kRiffFindChunk) != kRiffOk) return WaveOpenError::kNoData;
  info_.dataOffset = data.dataOffset;
  const int64_t streamSize = riff_->StreamSize();
  const int64_t left = streamSize >= 0 ? std::max<int64_t>(streamSize - data.dataOffset, 0) : -1;
  if (data.size == 0 || data.size == kUnfilledSize) {
    // Streamed or unfinished: the data runs to the end of the source.
    info_.dataSize = left;
    info_.sizeTrusted = false;
  } else if (left >= 0 && int64_t{data.size} > left) {
    info_.dataSize = left;  // truncated
    info_.sizeTrusted = false;
  } else {
    info_.dataSize = data.size;
  }
  const WaveFormat& src = info_.source;
  framesPerBlock_ = WaveFramesPerBlock(src);
  if (info_.dataSize >= 0) {
    // Whole blocks of a known number of frames give the exact length; the stated byte rate
    // is only an estimate for block codecs (some writers state it wrongly).
    info_.totalSeconds = framesPerBlock_ != 0
                             ? static_cast<double>(info_.dataSize / src.blockAlign) *
                                   framesPerBlock_ / src.samplesPerSec
                             : static_cast<double>(info_.dataSize) / src.avgBytesPerSec;
  }
  AcmFormatDetails(src, &info_.formatText);

  info_.destination.formatTag = kWaveFormatPcm;
  if (AcmFormatSuggest(src, &info_.destination, kAcmSuggestFormatTag) != kAcmOk) {
    return WaveOpenError::kCannotConvert;
  }
  if (probe) return WaveOpenError::kNone;

  if (AcmStream::Open(acm_, src, info_.destination) != kAcmOk || !acm_) {
    acm_.reset();
    return WaveOpenError::kCannotConvert;
  }
  // Room for at least one whole block on both sides: a block that does not fit is never
  // converted, and playback would stall.
  const uint32_t frame = DestinationFrameBytes();
  const uint32_t dstCap =
      std::max(std::max(kPacketBytes / frame, 1u) * frame, acm_->DestinationBlockBytes());
  // The source side holds what one packet converts from, but that figure comes from rates the
  // file states: it is bounded by the data there is and by a fixed ceiling (a huge claimed rate
  // only means more, smaller reads), and is never less than one block.
  const uint64_t block = src.blockAlign;
  uint32_t claimed = 0;
  if (acm_->Size(dstCap, &claimed, kAcmSizeDestination) != kAcmOk) claimed = kMaxSourceBytes;
  uint64_t srcCap = std::min<uint64_t>(claimed, kMaxSourceBytes);
  if (info_.dataSize >= 0) {
    srcCap = std::min<uint64_t>(
        srcCap, (static_cast<uint64_t>(info_.dataSize) + block - 1) / block * block);
  }
  srcCap = std::max<uint64_t>(srcCap / block, 1) * block;
  source_.resize(static_cast<size_t>(srcCap));
  destination_.resize(dstCap);
  header_.source = source_.data();
  header_.destination = destination_.data();
  header_.destinationLength = dstCap;
  if (acm_->PrepareHeader(&header_) != kAcmOk) {
    acm_.reset();
    return WaveOpenError::kCannotConvert;
  }
  unread_ = info_.dataSize;
  startPending_ = true;
  discontinuityPending_ = true;
  return WaveOpenError::kNone;
}

int32_t WaveStream::ConvertOnce(uint32_t flags, bool& progressed) {
  header_.sourceLength = held_;
  header_.sourceLengthUsed = 0;
  header_.destinationLengthUsed = 0;
  const int32_t r = acm_->Convert(&header_, flags);
  progressed = false;
  // A failed conversion keeps its source bytes for the next try.
  if (r != kAcmOk) return r;
  const uint32_t used = std::min(header_.sourceLengthUsed, held_);
  const uint32_t out = header_.destinationLengthUsed;
  staged_.insert(staged_.end(), destination_.begin(), destination_.begin() + out);
  std::memmove(source_.data(), source_.data() + used, held_ - used);
  held_ -= used;
  progressed = used > 0 || out > 0;
  return 0;
}

int32_t WaveStream::FillStage() {
  if (stagedHead_ > 0 && stagedHead_ == staged_.size()) {
    staged_.clear();
    stagedHead_ = 0;
  }
  // Once the source has ended everything left is converted at once, so that the packet that
  // carries the last samples is known to be the last.
  while (!drained_ && (staged_.size() == stagedHead_ || sourceEnded_)) {
    if (!sourceEnded_ && held_ < source_.size()) {
      int64_t want = static_cast<int64_t>(source_.size() - held_);
      if (unread_ >= 0) want = std::min(want, unread_);
      const int64_t n = want > 0 ? ReadFully(*riff_, source_.data() + held_, want) : 0;
      if (n < 0) return kErrFailed;
      held_ += static_cast<uint32_t>(n);
      if (unread_ >= 0) unread_ -= n;
      // The source knows its end: the data chunk's size, or the end of the stream.
      if (n < want || unread_ == 0) sourceEnded_ = true;
    }
    uint32_t flags = kAcmConvertBlockAlign;
    if (startPending_) flags |= kAcmConvertStart;
    if (sourceEnded_) flags |= kAcmConvertEnd;
    bool progressed = false;
    const int32_t r = ConvertOnce(flags, progressed);
    if (r < 0) return r;
    startPending_ = false;
    if (!progressed) {
      // Nothing more comes out at the end; a full buffer that converts to nothing will not
      // convert later either (data the codec cannot read): it ends the stream too.
      if (sourceEnded_ || held_ == source_.size()) drained_ = true;
    }
  }
  return 0;
}

int32_t WaveStream::Read(uint8_t* out, WavePacket& packet) {
  packet = WavePacket();
  if (!acm_) return kErrFailed;
  const int32_t r = FillStage();
  if (r < 0) return r;
  const uint32_t frame = DestinationFrameBytes();
  size_t n = std::min(staged_.size() - stagedHead_, destination_.size());
  n -= n % frame;
  if (n > 0) std::memcpy(out, staged_.data() + stagedHead_, n);
  stagedHead_ += n;
  packet.bytes = n;
  packet.startSeconds = static_cast<double>(framesOut_) / info_.destination.samplesPerSec;
  framesOut_ += n / frame;
  packet.first = !firstSent_;
  firstSent_ = true;
  packet.discontinuity = discontinuityPending_;
  discontinuityPending_ = false;
  packet.last = drained_ && stagedHead_ == staged_.size();
  return 0;
}

bool WaveStream::SeekSeconds(double seconds) {
  if (!acm_ || !riff_) return false;
  const WaveFormat& src = info_.source;
  const uint32_t block = src.blockAlign;
  seconds = std::max(seconds, 0.0);
  // A block boundary of the source: by frames for formats with a fixed number of frames per
  // block (exact timestamps), else by the stated byte rate.
  // Far beyond any stream, and small enough that the byte arithmetic below cannot overflow.
  constexpr double kFarBytes = 9.0e15;
  int64_t byte;
  if (framesPerBlock_ != 0) {
    const double blocks = seconds * src.samplesPerSec / framesPerBlock_;
    byte = static_cast<int64_t>(std::min(blocks, kFarBytes / block)) * block;
  } else {
    byte = static_cast<int64_t>(std::min(seconds * src.avgBytesPerSec, kFarBytes));
  }
  if (info_.dataSize >= 0) byte = std::min(byte, info_.dataSize);
  byte -= byte % block;
  const int64_t position = info_.dataOffset + byte;
  if (riff_->Seek(position, SeekOrigin::kBegin) != position) return false;
  unread_ = info_.dataSize >= 0 ? info_.dataSize - byte : -1;
  held_ = 0;
  staged_.clear();
  stagedHead_ = 0;
  sourceEnded_ = drained_ = false;
  startPending_ = true;
  discontinuityPending_ = true;
  // The output count restarts at the seek point, in destination frames.
  if (framesPerBlock_ != 0) {
    framesOut_ = static_cast<uint64_t>(byte / block) * framesPerBlock_;
  } else {
    framesOut_ = static_cast<uint64_t>(
        std::llround(static_cast<double>(byte) / src.avgBytesPerSec * src.samplesPerSec));
  }
  return true;
}

double WaveStream::DecodedSeconds() const {
  const uint32_t rate = info_.destination.samplesPerSec;
  return rate ? static_cast<double>(framesOut_) / rate : 0.0;
}

}  // namespace vk2

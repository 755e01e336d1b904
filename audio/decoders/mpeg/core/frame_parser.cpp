#include "audio/decoders/mpeg/core/frame_parser.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace vk2 {

namespace {

uint32_t BigEndian32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

// Markers of the tags that follow the last frame of a file.
bool IsTrailingTag(const uint8_t* p) {
  return std::memcmp(p, "TAG", 3) == 0 || std::memcmp(p, "APET", 4) == 0 ||
         std::memcmp(p, "ID3", 3) == 0 || std::memcmp(p, "LYRI", 4) == 0;
}

bool SameStream(uint32_t a, uint32_t b) {
  return (a & kMpegStreamMask) == (b & kMpegStreamMask);
}

}  // namespace

bool MpegFrameParser::SkipId3v2() {
  if (reader_.Peek(10) < 10) return false;
  const uint8_t* p = reader_.PeekData();
  if (std::memcmp(p, "ID3", 3) != 0 || p[3] == 0xFF || p[4] == 0xFF) return false;
  if ((p[6] | p[7] | p[8] | p[9]) & 0x80) return false;
  uint64_t size = (uint64_t{p[6]} << 21) | (uint64_t{p[7]} << 14) | (uint64_t{p[8]} << 7) | p[9];
  uint64_t total = 10 + size + ((p[5] & 0x10) ? 10 : 0);
  reader_.Skip(total);
  return true;
}

void MpegFrameParser::NoteFirstFrame(const uint8_t* frame, size_t available) {
  firstFrameSeen_ = true;
  firstHeader_ = header_;
  if (available >= static_cast<size_t>(header_.frameLength))
    ParseXingHeader(header_, frame, static_cast<size_t>(header_.frameLength), xing_);
  if (xing_.present) xingFramePosition_ = headerPosition_;
  audioStart_ = headerPosition_ + (xing_.present ? header_.frameLength : 0);
  int64_t size = reader_.Size();
  audioEnd_ = size > 0 ? size : -1;
  uint8_t tag[3];
  if (size > 128 && reader_.ReadAt(size - 128, tag, 3) == 3 && std::memcmp(tag, "TAG", 3) == 0)
    audioEnd_ = size - 128;
}

int MpegFrameParser::NextFrame(int64_t searchLimit) {
  int64_t skipped = 0;
  for (;;) {
    if (reader_.Peek(4) < 4) return -1;
    const uint8_t* p = reader_.PeekData();
    uint32_t h = BigEndian32(p);
    MpegFrameHeader candidate;
    bool accepted = false;
    if (lastHeader_ != 0 && h == lastHeader_) {
      accepted = ParseMpegHeader(h, candidate, emphasis_);
    } else if (p[0] == 'I' && p[1] == 'D' && p[2] == '3' && SkipId3v2()) {
      continue;  // a tag of any size is skipped by its declared size, not searched through
    } else if (IsMpegHeaderCandidate(h) &&
               (referenceHeader_ == 0 || SameStream(h, referenceHeader_)) &&
               ParseMpegHeader(h, candidate, emphasis_)) {
      size_t length = static_cast<size_t>(candidate.frameLength);
      size_t got = reader_.Peek(length + 4);
      p = reader_.PeekData();
      uint32_t reference = referenceHeader_ ? referenceHeader_ : h;
      if (got == length + 4) {
        uint32_t next = BigEndian32(p + length);
        accepted = IsMpegHeaderCandidate(next) && SameStream(next, reference);
        // The last frame of a file is followed by a tag rather than a header.
        if (!accepted && referenceHeader_ != 0 && IsTrailingTag(p + length)) accepted = true;
      } else if (got == length) {
        // The stream ends right after this frame: take it when it matches the stream's frames.
        accepted = referenceHeader_ != 0 || (lastHeader_ != 0 && SameStream(h, lastHeader_));
      }
      if (!accepted) referenceHeader_ = 0;
    }
    if (!accepted) {
      if (reader_.Skip(1) != 1) return -1;
      ++skipped;
      if (searchLimit > 0 && skipped > searchLimit) return -1;
      continue;
    }

    header_ = candidate;
    emphasis_ = header_.emphasis;
    headerPosition_ = reader_.Position();
    if (!firstFrameSeen_) {
      size_t got = reader_.Peek(static_cast<size_t>(header_.frameLength));
      NoteFirstFrame(reader_.PeekData(), got);
    }
    if (xing_.present && headerPosition_ == xingFramePosition_) {
      // The Xing/Info frame carries no audio; reference decoders skip it, and so do we.
      lastHeader_ = h;
      if (referenceHeader_ == 0) referenceHeader_ = h;
      if (reader_.Skip(static_cast<uint64_t>(header_.frameLength)) !=
          static_cast<uint64_t>(header_.frameLength))
        return -1;
      continue;
    }
    reader_.Read(headerBytes_, 4);
    crcWord_ = 0;
    if (header_.crc) {
      if (reader_.Read(headerBytes_ + 4, 2) != 2) return -1;
      crcWord_ = static_cast<uint16_t>((headerBytes_[4] << 8) | headerBytes_[5]);
    }
    payloadPosition_ = reader_.Position();
    lastHeader_ = h;
    if (referenceHeader_ == 0) referenceHeader_ = h;
    bitrateSum_ += static_cast<uint64_t>(header_.bitrate / 1000);
    ++frameCount_;
    if (lastBitrateIndex_ >= 0 && lastBitrateIndex_ != header_.bitrateIndex) vbr_ = true;
    lastBitrateIndex_ = header_.bitrateIndex;
    positionMs_ += header_.DurationMs();
    return 0;
  }
}

void MpegFrameParser::SkipFrame() {
  if (payloadPosition_ < 0) return;
  int64_t consumed = reader_.Position() - payloadPosition_;
  if (consumed > 0 && static_cast<size_t>(consumed) == reader_.FrameLength())
    reader_.Unread(reader_.FrameData(), reader_.FrameLength());
  else if (consumed != 0)
    return;  // the payload is no longer at hand; the search simply goes on from here
  reader_.Unread(headerBytes_ + 1, header_.crc ? 5 : 3);
  positionMs_ = std::max(0.0, positionMs_ - header_.DurationMs());
  payloadPosition_ = -1;
}

double MpegFrameParser::AverageBitrate() const {
  if (xing_.present && xing_.frames > 0 && xing_.bytes > 0 && firstHeader_.sampleRate > 0) {
    double seconds =
        static_cast<double>(xing_.frames) * firstHeader_.samplesPerFrame / firstHeader_.sampleRate;
    return xing_.bytes * 8.0 / seconds / 1000.0;
  }
  return frameCount_ ? static_cast<double>(bitrateSum_) / static_cast<double>(frameCount_) : 0.0;
}

double MpegFrameParser::TotalTimeEstimate() const {
  if (!firstFrameSeen_ || firstHeader_.sampleRate <= 0) return 0;
  if (xing_.present && xing_.frames > 0) return xing_.frames * firstHeader_.DurationMs();
  double kbps = AverageBitrate();
  if (audioEnd_ <= 0 || kbps <= 0) return 0;
  double bytes = static_cast<double>(audioEnd_ - audioStart_);
  return bytes > 0 ? bytes / (kbps / 8.0) : 0;
}

bool MpegFrameParser::SeekToTime(double ms) {
  if (!(ms > 0)) ms = 0;  // negative and NaN seek to the start
  if (!firstFrameSeen_) {
    if (ms > 0 || reader_.Seek(0, SeekOrigin::kBegin) < 0) return false;
    positionMs_ = 0;
    lastHeader_ = 0;
    return true;
  }
  int64_t target = audioStart_;
  if (ms > 0) {
    double total = TotalTimeEstimate();
    if (xing_.present && xing_.hasToc && xing_.bytes > 0 && total > 0) {
      double percent = std::min(99.999, ms / total * 100.0);
      int i = static_cast<int>(percent);
      double a = xing_.toc[i];
      double b = i < 99 ? xing_.toc[i + 1] : 256.0;
      double fraction = a + (b - a) * (percent - i);
      target = xingFramePosition_ + static_cast<int64_t>(fraction / 256.0 * xing_.bytes);
    } else {
      double duration = firstHeader_.DurationMs();
      double frameBytes = AverageBitrate() * 1000.0 / 8.0 * duration / 1000.0;
      if (duration <= 0 || frameBytes <= 0) return false;
      // One frame early: layer III needs the frame before to fill its bit reservoir.
      double index = std::max(0.0, std::floor(ms / duration) - 1.0);
      target = audioStart_ + static_cast<int64_t>(index * frameBytes);
    }
    if (audioEnd_ > 0) target = std::min(target, audioEnd_);
  }
  if (reader_.Seek(target, SeekOrigin::kBegin) < 0) return false;
  positionMs_ = ms;
  lastHeader_ = 0;
  payloadPosition_ = -1;
  return true;
}

bool MpegFrameParser::SeekToFrame(int64_t index) {
  const MpegFrameHeader& h = firstHeader_;
  const bool constantRate = !vbr_ && (!xing_.present || xing_.isInfo);
  if (!firstFrameSeen_ || !constantRate || index < 0 || h.bitrate <= 0 || h.sampleRate <= 0) {
    return false;
  }
  // Padding spreads the fraction of a byte evenly, so frame k starts within a byte of k times
  // the average length. A few bytes early: the search then finds frame k, never the next one.
  constexpr int64_t kSlackBytes = 4;
  const double frameBytes = h.samplesPerFrame / 8.0 * h.bitrate / h.sampleRate;
  int64_t target = audioStart_ + static_cast<int64_t>(std::floor(index * frameBytes)) - kSlackBytes;
  target = std::max(target, audioStart_);
  if (audioEnd_ > 0) target = std::min(target, audioEnd_);
  if (reader_.Seek(target, SeekOrigin::kBegin) < 0) return false;
  positionMs_ = static_cast<double>(index) * h.DurationMs();
  lastHeader_ = 0;
  payloadPosition_ = -1;
  return true;
}

}  // namespace vk2

#include "platform/audio/acm/acm_stream.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
#include <libavutil/frame.h>
#include <libavutil/log.h>
#include <libavutil/mem.h>
}

#include <algorithm>
#include <cstring>
#include <mutex>

#include "platform/audio/acm/codec_map.h"
#include "platform/audio/acm/sample_convert.h"

namespace vk2 {

namespace {

// Extensible records: the first 22 bytes of the extra data describe the layout; what follows
// belongs to the codec.
constexpr size_t kExtensibleBytes = 22;

// Frame-coded sources are converted many frames at a time, at most this much per packet.
constexpr uint32_t kMaxFramesPerPacket = 8192;

}  // namespace

int32_t AcmStream::Open(std::unique_ptr<AcmStream>& out, const WaveFormat& source,
                        const WaveFormat& destination, uint32_t flags) {
  out.reset();
  PcmFormat dst;
  if (!WaveFormatToPcm(destination, dst)) return kAcmErrNotPossible;
  if (dst.channels != source.channels || dst.sampleRate != source.samplesPerSec) {
    return kAcmErrNotPossible;
  }
  if (source.blockAlign == 0 || source.channels == 0 || source.samplesPerSec == 0) {
    return kAcmErrNotPossible;
  }
  std::unique_ptr<AcmStream> s(new AcmStream);
  s->source_ = source;
  s->destination_ = destination;
  s->dst_ = dst;
  s->dstFrameBytes_ = dst.BlockAlign();
  s->frameCoded_ = IsFrameCodedFormat(source);
  s->framesPerBlock_ = WaveFramesPerBlock(source);
  PcmFormat srcPcm;
  s->identity_ = WaveFormatToPcm(source, srcPcm) && srcPcm == dst;
  if (s->frameCoded_ && source.blockAlign % source.channels != 0) return kAcmErrNotPossible;
  if (!s->identity_ && !s->InitDecoder()) return kAcmErrNotPossible;
  if (flags & kAcmStreamOpenQuery) return kAcmOk;
  out = std::move(s);
  return kAcmOk;
}

AcmStream::~AcmStream() {
  if (parser_) av_parser_close(parser_);
  av_frame_free(&frame_);
  av_packet_free(&packet_);
  avcodec_free_context(&codec_);
}

bool AcmStream::InitDecoder() {
  // Damaged blocks are expected input here and handled; the library's own complaints about them
  // would only fill the console.
  static std::once_flag quiet;
  std::call_once(quiet, [] { av_log_set_level(AV_LOG_FATAL); });
  const int id = WaveCodecId(source_);
  const AVCodec* codec =
      id == AV_CODEC_ID_NONE ? nullptr : avcodec_find_decoder(static_cast<AVCodecID>(id));
  if (!codec) return false;
  codec_ = avcodec_alloc_context3(codec);
  packet_ = av_packet_alloc();
  frame_ = av_frame_alloc();
  if (!codec_ || !packet_ || !frame_) return false;
  codec_->sample_rate = static_cast<int>(source_.samplesPerSec);
  av_channel_layout_default(&codec_->ch_layout, source_.channels);
  codec_->block_align = source_.blockAlign;
  codec_->bit_rate = int64_t{source_.avgBytesPerSec} * 8;
  codec_->bits_per_coded_sample = source_.bitsPerSample;
  size_t skip = source_.formatTag == kWaveFormatExtensible ? kExtensibleBytes : 0;
  if (source_.extra.size() > skip) {
    const size_t n = source_.extra.size() - skip;
    codec_->extradata = static_cast<uint8_t*>(av_mallocz(n + AV_INPUT_BUFFER_PADDING_SIZE));
    if (!codec_->extradata) return false;
    std::memcpy(codec_->extradata, source_.extra.data() + skip, n);
    codec_->extradata_size = static_cast<int>(n);
  }
  if (avcodec_open2(codec_, codec, nullptr) < 0) return false;
  if (!frameCoded_ && framesPerBlock_ == 0) parser_ = av_parser_init(id);
  return true;
}

uint32_t AcmStream::ParseInto(const uint8_t* data, uint32_t bytes) {
  // Parsers read up to a padding's length past the end of their input, so they get a copy that
  // ends in zeroed padding rather than the caller's buffer.
  parseInput_.assign(data, data + bytes);
  parseInput_.resize(size_t{bytes} + AV_INPUT_BUFFER_PADDING_SIZE, 0);
  uint8_t* packet = nullptr;
  int packetSize = 0;
  const int used = av_parser_parse2(parser_, codec_, &packet, &packetSize, parseInput_.data(),
                                    static_cast<int>(bytes), AV_NOPTS_VALUE, AV_NOPTS_VALUE, 0);
  if (packetSize > 0) DecodeInto(packet, static_cast<size_t>(packetSize), false);
  // A parser that takes nothing and gives nothing would stall; count the bytes as used.
  return used > 0 ? static_cast<uint32_t>(used) : (packetSize > 0 ? 0 : bytes);
}

void AcmStream::FlushParser() {
  uint8_t* packet = nullptr;
  int packetSize = 0;
  av_parser_parse2(parser_, codec_, &packet, &packetSize, nullptr, 0, AV_NOPTS_VALUE,
                   AV_NOPTS_VALUE, 0);
  if (packetSize > 0) DecodeInto(packet, static_cast<size_t>(packetSize), false);
}

uint32_t AcmStream::EstimateDestination(uint64_t sourceBytes) const {
  if (framesPerBlock_ != 0) {
    const uint64_t blocks = (sourceBytes + source_.blockAlign - 1) / source_.blockAlign;
    return static_cast<uint32_t>(
        std::min<uint64_t>(blocks * framesPerBlock_ * dstFrameBytes_, UINT32_MAX));
  }
  // Blocks of varying length: scale by the byte rates, with room for one more block's worth.
  const uint64_t dstRate = dst_.BytesPerSecond();
  const uint64_t srcRate = std::max<uint32_t>(source_.avgBytesPerSec, 1);
  const uint64_t est = (sourceBytes + source_.blockAlign) * dstRate / srcRate + dstFrameBytes_;
  return static_cast<uint32_t>(std::min<uint64_t>(
      est / dstFrameBytes_ * dstFrameBytes_ + dstFrameBytes_ * 2048, UINT32_MAX));
}

int32_t AcmStream::Size(uint32_t bytes, uint32_t* result, uint32_t flags) {
  if (!result) return kAcmErrInvalParam;
  if ((flags & kAcmSizeDestination) == 0) {
    *result = EstimateDestination(bytes);
    return kAcmOk;
  }
  if (framesPerBlock_ != 0) {
    const uint64_t perBlock = uint64_t{framesPerBlock_} * dstFrameBytes_;
    *result = static_cast<uint32_t>(
        std::min<uint64_t>(bytes / perBlock * source_.blockAlign, UINT32_MAX));
    return kAcmOk;
  }
  const uint64_t srcRate = std::max<uint32_t>(source_.avgBytesPerSec, 1);
  const uint64_t src = uint64_t{bytes} * srcRate / std::max<uint64_t>(dst_.BytesPerSecond(), 1);
  // A stated byte rate can ask for more than a 32-bit size holds: refuse rather than wrap.
  if (src > UINT32_MAX) return kAcmErrNotPossible;
  *result = static_cast<uint32_t>(src / source_.blockAlign * source_.blockAlign);
  return kAcmOk;
}

int32_t AcmStream::PrepareHeader(AcmStreamHeader* header) {
  if (!header || !header->source || !header->destination) return kAcmErrInvalParam;
  header->status |= kAcmHeaderPrepared;
  return kAcmOk;
}

int32_t AcmStream::UnprepareHeader(AcmStreamHeader* header) {
  if (!header) return kAcmErrInvalParam;
  if (!(header->status & kAcmHeaderPrepared)) return kAcmErrUnprepared;
  header->status &= ~kAcmHeaderPrepared;
  return kAcmOk;
}

int32_t AcmStream::Reset() {
  if (codec_) avcodec_flush_buffers(codec_);
  if (parser_) {
    // A parser holds part of a frame from before the seek; start a fresh one.
    av_parser_close(parser_);
    parser_ = av_parser_init(codec_->codec_id);
  }
  out_.clear();
  outHead_ = 0;
  return kAcmOk;
}

void AcmStream::AppendFrame(const AVFrame* frame) {
  const int channels = frame->ch_layout.nb_channels;
  if (!ConvertDecodedSamples(frame->format, frame->extended_data, channels, frame->nb_samples, dst_,
                             out_)) {
    // A layout this side cannot read: keep time running with silence.
    const size_t start = out_.size();
    out_.resize(start + static_cast<size_t>(frame->nb_samples) * dstFrameBytes_);
    FillSilence(dst_, out_.data() + start, out_.size() - start);
  }
}

bool AcmStream::DecodeInto(const uint8_t* data, size_t bytes, bool flush) {
  bool ok = true;
  if (data && bytes) {
    av_packet_unref(packet_);
    if (av_new_packet(packet_, static_cast<int>(bytes)) < 0) return false;
    std::memcpy(packet_->data, data, bytes);
    ok = avcodec_send_packet(codec_, packet_) >= 0;
    av_packet_unref(packet_);
  }
  if (flush) avcodec_send_packet(codec_, nullptr);
  for (;;) {
    const int r = avcodec_receive_frame(codec_, frame_);
    if (r < 0) break;
    AppendFrame(frame_);
    av_frame_unref(frame_);
  }
  if (flush) avcodec_flush_buffers(codec_);
  return ok;
}

int32_t AcmStream::Convert(AcmStreamHeader* header, uint32_t flags) {
  if (!header || (!header->source && header->sourceLength) ||
      (!header->destination && header->destinationLength)) {
    return kAcmErrInvalParam;
  }
  if (!(header->status & kAcmHeaderPrepared)) return kAcmErrUnprepared;
  if (flags & kAcmConvertStart) Reset();
  header->status &= ~kAcmHeaderDone;
  const uint32_t block = source_.blockAlign;
  const uint32_t dstCap = header->destinationLength / dstFrameBytes_ * dstFrameBytes_;
  uint32_t srcUsed = 0;
  uint32_t dstUsed = 0;

  auto giveOut = [&] {
    const size_t n = std::min<size_t>(out_.size() - outHead_, dstCap - dstUsed);
    if (n) std::memcpy(header->destination + dstUsed, out_.data() + outHead_, n);
    dstUsed += static_cast<uint32_t>(n);
    outHead_ += n;
    if (outHead_ == out_.size()) {
      out_.clear();
      outHead_ = 0;
    }
  };

  giveOut();
  while (parser_ && out_.empty() && srcUsed < header->sourceLength) {
    const uint32_t piece = std::min<uint32_t>(header->sourceLength - srcUsed, 4096);
    const uint32_t used = ParseInto(header->source + srcUsed, piece);
    srcUsed += used;
    giveOut();
    if (used == 0 && out_.empty()) break;
  }
  while (!parser_ && out_.empty()) {
    const uint32_t left = header->sourceLength - srcUsed;
    const uint32_t room = dstCap - dstUsed;
    if (left < block) break;
    uint32_t blocks = 1;
    if (frameCoded_) {
      blocks = std::min({left / block, room / dstFrameBytes_, kMaxFramesPerPacket});
      if (blocks == 0) break;
    } else if (framesPerBlock_ != 0 && room < framesPerBlock_ * dstFrameBytes_) {
      break;  // a whole block's output must fit
    } else if (room == 0) {
      break;
    }
    const uint8_t* src = header->source + srcUsed;
    const uint32_t bytes = blocks * block;
    if (identity_) {
      std::memcpy(header->destination + dstUsed, src, bytes);
      dstUsed += bytes;
    } else {
      const size_t before = out_.size();
      if (!DecodeInto(src, bytes, false) && framesPerBlock_ != 0 && out_.size() == before) {
        // Damaged block: its length in silence keeps the timeline.
        out_.resize(before + size_t{framesPerBlock_} * blocks * dstFrameBytes_);
        FillSilence(dst_, out_.data() + before, out_.size() - before);
      }
      giveOut();
    }
    srcUsed += bytes;
  }

  if ((flags & kAcmConvertEnd) && out_.empty()) {
    // The last, partial block: decode what there is, and let the decoder give what it holds.
    const uint32_t left = header->sourceLength - srcUsed;
    if (parser_) {
      if (left == 0) {
        FlushParser();
        DecodeInto(nullptr, 0, true);
      }
    } else if (!identity_ && left > 0 && !frameCoded_) {
      DecodeInto(header->source + srcUsed, left, true);
      srcUsed += left;
    } else if (!identity_) {
      DecodeInto(nullptr, 0, true);
    }
    if (frameCoded_ && left > 0 && left < block) srcUsed += left;  // a broken last frame
    giveOut();
  }
  header->sourceLengthUsed = srcUsed;
  header->destinationLengthUsed = dstUsed;
  header->status |= kAcmHeaderDone;
  return kAcmOk;
}

}  // namespace vk2

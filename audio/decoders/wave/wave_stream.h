// WAVE decoding: the RIFF structure read through a ByteSource, the "fmt " record checked, and
// the "data" chunk converted to PCM by the audio compression stand-in, whatever the format.
//
// Decoded bytes are handed out in packets of whole frames; the stream knows its own end (the
// data chunk's size, or the end of the source when the size is not to be trusted), so the
// last packet is known to be the last even when the data ends on a read boundary.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "foundation/bytes/byte_source.h"
#include "platform/audio/acm/acm_types.h"
#include "platform/audio/wave_format.h"

namespace vk2 {

class AcmStream;
class RiffReader;

// Open's failures.
enum class WaveOpenError {
  kNone,
  kNotRiff,        // no RIFF WAVE form
  kNoFormat,       // no "fmt " chunk, or one too short, too long or cut off
  kBadFormat,      // a record no arithmetic can be done with (no rate, byte rate or block size)
  kNoData,         // no "data" chunk
  kCannotConvert,  // nothing here decodes the format
  kCannotRead,
};

struct WaveInfo {
  WaveFormat source;
  WaveFormat destination;      // the PCM it converts to
  int64_t dataOffset = 0;      // of the first data byte
  int64_t dataSize = -1;       // -1: runs to the end of the source, size unknown
  bool sizeTrusted = true;     // false when the stated size was clamped or could not be used
  double totalSeconds = -1.0;  // -1 when unknown
  std::string formatText;      // "IMA ADPCM, 44100 Hz, 4-bit, stereo"
};

struct WavePacket {
  size_t bytes = 0;
  double startSeconds = 0.0;   // of the first frame
  bool first = false;          // the first packet since Open
  bool discontinuity = false;  // the first packet after the start or a seek
  bool last = false;           // nothing follows until a seek
};

class WaveStream {
 public:
  // Destination bytes aimed at per packet (packets are whole frames, and at least one block of
  // a block-coded source).
  static constexpr uint32_t kPacketBytes = 1024;

  WaveStream();
  WaveStream(const WaveStream&) = delete;
  WaveStream& operator=(const WaveStream&) = delete;
  ~WaveStream();

  // Reads the headers from the stream's current position (its start). `probe` stops once the
  // format is known; otherwise the stream is ready to decode from the start of the data.
  WaveOpenError Open(ByteSource& stream, bool probe);
  void Close();
  bool IsOpen() const { return acm_ != nullptr; }
  const WaveInfo& Info() const { return info_; }
  uint32_t DestinationFrameBytes() const;
  // The largest packet Read gives.
  uint32_t MaxPacketBytes() const { return static_cast<uint32_t>(destination_.size()); }

  // Decodes the next packet into `out` (MaxPacketBytes() of room). 0 and the packet; a
  // negative value when the source failed. After the last packet, 0 with bytes 0 and `last`.
  int32_t Read(uint8_t* out, WavePacket& packet);
  bool Ended() const { return drained_ && staged_.empty(); }

  // Moves to `seconds` (clamped to the stream), landing on a block boundary of the source.
  // False when the source cannot seek there.
  bool SeekSeconds(double seconds);
  // Seconds of audio handed out since the start of the data (after seeks, from the seek point).
  double DecodedSeconds() const;

 private:
  // Decodes into staged_ until it holds something or the stream is drained.
  int32_t FillStage();
  int32_t ConvertOnce(uint32_t flags, bool& progressed);

  ByteSource* stream_ = nullptr;
  std::unique_ptr<RiffReader> riff_;
  std::unique_ptr<AcmStream> acm_;
  WaveInfo info_;
  AcmStreamHeader header_;
  std::vector<uint8_t> source_;       // source bytes read, not yet converted
  std::vector<uint8_t> destination_;  // one conversion's output
  uint32_t held_ = 0;                 // source bytes held in source_
  int64_t unread_ = -1;               // data bytes not yet read; -1: unbounded
  bool sourceEnded_ = false;
  bool drained_ = false;
  bool startPending_ = false;          // the next conversion starts a new stream
  bool discontinuityPending_ = false;  // the next packet follows the start or a seek
  bool firstSent_ = false;
  std::vector<uint8_t> staged_;  // converted, not yet handed out
  size_t stagedHead_ = 0;
  uint64_t framesOut_ = 0;       // frames handed out since the data start (after seeks, from there)
  uint32_t framesPerBlock_ = 0;  // of the source; 0 when blocks vary
};

}  // namespace vk2

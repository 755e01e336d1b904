// Ogg Vorbis decoding on libvorbisfile, read through a ByteSource.
//
// Read fills a caller's buffer with interleaved little-endian samples (16-bit signed or 32-bit
// float) in whole frames, and never mixes two logical streams (links) of a chained stream in
// one buffer: samples of a new link wait for the next Read, which reports the new link with its
// rate and channel count.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct OggVorbis_File;

namespace vk2 {

class ByteSource;

// What vorbisfile's callbacks read through.
struct VorbisReadLink {
  ByteSource* source = nullptr;
  bool readFailed = false;  // a read failed; vorbisfile saw it as the end
};

enum class VorbisSampleMode { kInt16, kFloat32 };

inline constexpr uint32_t VorbisBytesPerSample(VorbisSampleMode mode) {
  return mode == VorbisSampleMode::kInt16 ? 2 : 4;
}

struct VorbisReadResult {
  size_t bytes = 0;   // whole frames
  int link = -1;      // the logical stream the samples belong to (-1: none read)
  uint32_t rate = 0;  // of that link
  uint32_t channels = 0;
  double startTime = -1.0;  // seconds of the first sample, -1 when unknown
  bool end = false;         // the stream has ended; nothing more will come
  bool hole = false;        // data was lost or skipped before these samples
  int error = 0;            // a vorbisfile failure (negative) that ended this read
};

struct VorbisLinkInfo {
  uint32_t rate = 0;
  uint32_t channels = 0;
  long bitrateUpper = 0;
  long bitrateNominal = 0;
  long bitrateLower = 0;
};

class VorbisStream {
 public:
  VorbisStream();
  VorbisStream(const VorbisStream&) = delete;
  VorbisStream& operator=(const VorbisStream&) = delete;
  ~VorbisStream();

  // Whether the source starts with Vorbis headers, and the first link's values when `info` is
  // given. Reads only the headers (no scan of a seekable stream's links); the source is left
  // wherever that ends.
  static bool Probe(ByteSource& source, VorbisLinkInfo* info = nullptr);

  // Opens the stream on `source`, which must outlive it. 0, or a negative vorbisfile code.
  int Open(ByteSource& source);
  void Close();
  bool IsOpen() const { return open_; }
  bool IsSeekable() const;

  // Decodes up to `capacity` bytes into `buffer` (see the class comment).
  VorbisReadResult Read(void* buffer, size_t capacity, VorbisSampleMode mode);

  // Seconds decoded so far (the next sample to be read); negative when unknown.
  double TimeTell() const;
  // Length of the whole stream in seconds (all links); negative when unknown (not seekable).
  double TimeTotal() const;
  // Moves to the page nearest `seconds` (vorbisfile's page-granular seek). 0 or negative.
  int SeekTimePage(double seconds);
  // To the sample at `seconds`: the next Read starts exactly there (the page before it is
  // found, and the samples before the target are decoded and dropped).
  int SeekTime(double seconds);
  // Bit rate of the most recent decoding, bits per second; negative when not known yet.
  long BitrateInstant();

  // The current link's identification values; false when none is known.
  bool CurrentInfo(VorbisLinkInfo& info) const;
  // The current link's comments as "NAME=value" UTF-8 texts; false without a comment block.
  bool CurrentComments(std::vector<std::string>& comments) const;

 private:
  int SeekTo(double seconds, bool exact);
  // Decodes the next block into pending_; the vorbisfile result (samples, 0 at the end).
  long DecodeMore(bool& hole);
  size_t PendingFrames() const;

  std::unique_ptr<OggVorbis_File> file_;
  VorbisReadLink link_;
  bool open_ = false;
  // Samples decoded but not yet handed out: interleaved floats of one link.
  std::vector<float> pending_;
  uint64_t skipFrames_ = 0;   // decoded frames still to drop after an exact seek
  size_t pendingOffset_ = 0;  // in samples
  int pendingLink_ = -1;
  uint32_t pendingRate_ = 0;
  uint32_t pendingChannels_ = 0;
  bool holePending_ = false;  // a gap before the pending samples, for the next Read
};

// Floats of the decoder to 16-bit samples: x 32768, rounded to nearest (ties to even), clipped.
void VorbisFloatToInt16(const float* in, int16_t* out, size_t samples);

}  // namespace vk2

// RIFF chunk navigation over a ByteSource: descend into a chunk (found by id, or a RIFF or LIST
// form by its type), read and seek inside it, ascend past its end. Positions are 64-bit; a
// stream that cannot seek is skipped forward by reading.
#pragma once

#include <cstdint>

#include "foundation/bytes/byte_source.h"

namespace vk2 {

constexpr uint32_t MakeFourCC(char a, char b, char c, char d) {
  return static_cast<uint32_t>(static_cast<uint8_t>(a)) |
         static_cast<uint32_t>(static_cast<uint8_t>(b)) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(c)) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(d)) << 24;
}
inline constexpr uint32_t kFourCCRiff = MakeFourCC('R', 'I', 'F', 'F');
inline constexpr uint32_t kFourCCList = MakeFourCC('L', 'I', 'S', 'T');
inline constexpr uint32_t kFourCCWave = MakeFourCC('W', 'A', 'V', 'E');
inline constexpr uint32_t kFourCCFmt = MakeFourCC('f', 'm', 't', ' ');
inline constexpr uint32_t kFourCCData = MakeFourCC('d', 'a', 't', 'a');
inline constexpr uint32_t kFourCCFact = MakeFourCC('f', 'a', 'c', 't');

// Descend flags.
inline constexpr uint32_t kRiffFindChunk = 0x10;  // a chunk with `id`
inline constexpr uint32_t kRiffFindRiff = 0x20;   // a RIFF chunk with `formType`
inline constexpr uint32_t kRiffFindList = 0x40;   // a LIST chunk with `formType`

// Results.
inline constexpr int32_t kRiffOk = 0;
inline constexpr int32_t kRiffErrChunkNotFound = -1;
inline constexpr int32_t kRiffErrCannotRead = -2;
inline constexpr int32_t kRiffErrCannotSeek = -3;
inline constexpr int32_t kRiffErrInvalidParam = -4;

// Chunk flag: the chunk's stated size runs past its parent or past the end of the stream.
inline constexpr uint32_t kRiffChunkTruncated = 0x1;

struct RiffChunk {
  uint32_t id = 0;
  uint32_t size = 0;      // as stated in the header
  uint32_t formType = 0;  // RIFF and LIST chunks
  int64_t headerOffset = 0;
  int64_t dataOffset = 0;  // after the form type for RIFF and LIST chunks
  uint32_t flags = 0;

  // The first byte after the chunk, including the pad byte of an odd size.
  int64_t EndOffset() const { return headerOffset + 8 + int64_t{size} + (size & 1); }
};

class RiffReader {
 public:
  explicit RiffReader(ByteSource& stream);

  // Reads the next chunk header from the current position; with a find flag, skips chunks until
  // one matches `chunk->id` (or the RIFF/LIST `chunk->formType`; 0 takes any), never beyond
  // `parent`'s end. On success the position is the chunk's data.
  int32_t Descend(RiffChunk* chunk, const RiffChunk* parent, uint32_t flags);
  // Moves past the end of `chunk` (to the end of the stream when the chunk is truncated).
  int32_t Ascend(const RiffChunk& chunk);
  // Up to `bytes` bytes from the current position: the count, 0 at the end, -1 on error.
  int64_t Read(void* buffer, int64_t bytes);
  // The new position, or -1.
  int64_t Seek(int64_t offset, SeekOrigin origin);
  int64_t Position() const { return pos_; }
  // The stream's size, -1 when unknown.
  int64_t StreamSize() { return stream_.Size(); }

 private:
  bool MoveTo(int64_t target);
  bool ReadExact(void* buffer, int64_t bytes);

  ByteSource& stream_;
  int64_t pos_ = 0;
};

}  // namespace vk2

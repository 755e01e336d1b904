#include "platform/audio/riff/riff_reader.h"

#include <algorithm>

namespace vk2 {

namespace {
uint32_t LoadLe32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
}  // namespace

RiffReader::RiffReader(ByteSource& stream) : stream_(stream) {
  const int64_t p = stream_.Seek(0, SeekOrigin::kCurrent);
  pos_ = p > 0 ? p : 0;
}

bool RiffReader::ReadExact(void* buffer, int64_t bytes) {
  auto* out = static_cast<uint8_t*>(buffer);
  while (bytes > 0) {
    const int64_t n = stream_.Read(out, static_cast<size_t>(bytes));
    if (n <= 0) return false;
    out += n;
    bytes -= n;
    pos_ += n;
  }
  return true;
}

bool RiffReader::MoveTo(int64_t target) {
  if (target == pos_) return true;
  if (target < 0) return false;
  const int64_t r = stream_.Seek(target, SeekOrigin::kBegin);
  if (r == target) {
    pos_ = target;
    return true;
  }
  if (target < pos_) return false;
  // A stream that cannot seek is skipped forward by reading.
  uint8_t scratch[4096];
  while (pos_ < target) {
    const int64_t n = stream_.Read(
        scratch, static_cast<size_t>(std::min<int64_t>(target - pos_, sizeof scratch)));
    if (n <= 0) return false;
    pos_ += n;
  }
  return true;
}

int32_t RiffReader::Descend(RiffChunk* chunk, const RiffChunk* parent, uint32_t flags) {
  if (!chunk) return kRiffErrInvalidParam;
  const int64_t parentEnd = parent ? parent->headerOffset + 8 + int64_t{parent->size} : INT64_MAX;
  const int64_t streamSize = stream_.Size();
  const uint32_t wantedId = chunk->id;
  const uint32_t wantedType = chunk->formType;
  for (;;) {
    if (pos_ + 8 > parentEnd) return kRiffErrChunkNotFound;
    if (streamSize >= 0 && pos_ + 8 > streamSize) return kRiffErrChunkNotFound;
    RiffChunk found;
    found.headerOffset = pos_;
    uint8_t header[8];
    if (!ReadExact(header, 8)) return kRiffErrChunkNotFound;
    found.id = LoadLe32(header);
    found.size = LoadLe32(header + 4);
    found.dataOffset = pos_;
    const bool isForm = found.id == kFourCCRiff || found.id == kFourCCList;
    if (isForm && found.size >= 4) {
      uint8_t type[4];
      if (!ReadExact(type, 4)) return kRiffErrChunkNotFound;
      found.formType = LoadLe32(type);
      found.dataOffset = pos_;
    }
    bool match = true;
    if (flags & kRiffFindRiff) {
      match = found.id == kFourCCRiff && (wantedType == 0 || found.formType == wantedType);
    } else if (flags & kRiffFindList) {
      match = found.id == kFourCCList && (wantedType == 0 || found.formType == wantedType);
    } else if (flags & kRiffFindChunk) {
      match = found.id == wantedId;
    }
    const int64_t end = found.EndOffset();
    if (match) {
      if (end - (found.size & 1) > parentEnd ||
          (streamSize >= 0 && end - (found.size & 1) > streamSize)) {
        found.flags |= kRiffChunkTruncated;
      }
      *chunk = found;
      return kRiffOk;
    }
    // Every step moves forward by at least a header, so a crafted file cannot loop forever.
    if (end > parentEnd || (streamSize >= 0 && end > streamSize)) return kRiffErrChunkNotFound;
    if (!MoveTo(end)) return kRiffErrChunkNotFound;
  }
}

int32_t RiffReader::Ascend(const RiffChunk& chunk) {
  int64_t end = chunk.EndOffset();
  const int64_t streamSize = stream_.Size();
  if (streamSize >= 0 && end > streamSize) end = streamSize;
  return MoveTo(end) ? kRiffOk : kRiffErrCannotSeek;
}

int64_t RiffReader::Read(void* buffer, int64_t bytes) {
  if (bytes < 0 || (!buffer && bytes > 0)) return -1;
  if (bytes == 0) return 0;
  const int64_t n = stream_.Read(buffer, static_cast<size_t>(bytes));
  if (n < 0) return -1;  // the source's own failure code stays with the source
  pos_ += n;
  return n;
}

int64_t RiffReader::Seek(int64_t offset, SeekOrigin origin) {
  int64_t target;
  if (origin == SeekOrigin::kBegin) {
    target = offset;
  } else if (origin == SeekOrigin::kCurrent) {
    if (offset > 0 && pos_ > INT64_MAX - offset) return -1;
    target = pos_ + offset;
  } else {
    const int64_t r = stream_.Seek(offset, SeekOrigin::kEnd);
    if (r < 0) return -1;
    pos_ = r;
    return r;
  }
  return MoveTo(target) ? pos_ : -1;
}

}  // namespace vk2

#include "audio/decoders/mpeg/core/frame_stream.h"

#include <cstring>

namespace vk2 {

namespace {
constexpr size_t kFramePadding = 8;  // the bit reader loads eight bytes at a time
}  // namespace

MpegFrameStream::MpegFrameStream(ByteSource& source) : LookaheadStream(source) {
  frame_.assign(kFramePadding, 0);
}

bool MpegFrameStream::LoadFrame(size_t n) {
  if (frame_.size() < n + kFramePadding) frame_.resize(n + kFramePadding);
  const int64_t read = Read(frame_.data(), n);
  const size_t got = read > 0 ? static_cast<size_t>(read) : 0;
  std::memset(frame_.data() + got, 0, kFramePadding + (n - got));
  frameLength_ = got;
  return got == n;
}

}  // namespace vk2

// Ogg Vorbis decoding of arbitrary bytes through the decoder's callbacks: the probe, the open,
// reads in both sample widths, seeks and the comment lookups. Every path ends in an answer.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "audio/decoders/ogg/vorbis_comments.h"
#include "audio/decoders/ogg/vorbis_stream.h"
#include "foundation/bytes/byte_source.h"

namespace {

class FuzzSource final : public vk2::ByteSource {
 public:
  FuzzSource(const uint8_t* data, size_t size, bool seekable, int64_t failAt)
      : data_(data), size_(static_cast<int64_t>(size)), seekable_(seekable), failAt_(failAt) {}
  int64_t Read(void* buffer, size_t bytes) override {
    if (failAt_ >= 0 && pos_ >= failAt_) return -1;
    const int64_t n =
        std::min<int64_t>(static_cast<int64_t>(bytes), std::max<int64_t>(size_ - pos_, 0));
    if (n > 0) std::memcpy(buffer, data_ + pos_, static_cast<size_t>(n));
    pos_ += n;
    return n;
  }
  int64_t ReadAt(int64_t, void*, size_t) override { return -1; }
  int64_t Seek(int64_t offset, vk2::SeekOrigin origin) override {
    if (!seekable_) return -1;
    const int64_t base = origin == vk2::SeekOrigin::kBegin     ? 0
                         : origin == vk2::SeekOrigin::kCurrent ? pos_
                                                               : size_;
    if (base + offset < 0) return -1;
    pos_ = base + offset;
    return pos_;
  }
  int64_t Tell() override { return pos_; }
  int64_t Size() override { return seekable_ ? size_ : kUnknownSize; }

 private:
  const uint8_t* data_;
  int64_t size_;
  bool seekable_;
  int64_t failAt_;
  int64_t pos_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const uint8_t control = data[0];
  const int64_t failAt = (control & 4) ? static_cast<int64_t>(data[1]) * 64 : -1;
  FuzzSource probe(data + 2, size - 2, (control & 1) != 0, failAt);
  vk2::VorbisLinkInfo info;
  vk2::VorbisStream::Probe(probe, &info);
  FuzzSource source(data + 2, size - 2, (control & 1) != 0, failAt);
  vk2::VorbisStream stream;
  if (stream.Open(source) < 0) return 0;
  std::vector<std::string> comments;
  if (stream.CurrentComments(comments)) {
    vk2::JoinCommentValues(comments, "artist");
    vk2::JoinCommentValues(comments, "title");
  }
  stream.CurrentInfo(info);
  const auto mode = (control & 2) ? vk2::VorbisSampleMode::kFloat32 : vk2::VorbisSampleMode::kInt16;
  std::vector<uint8_t> buffer(1024);
  for (int reads = 0; reads < 2048; ++reads) {
    const vk2::VorbisReadResult r = stream.Read(buffer.data(), buffer.size(), mode);
    if (r.end || r.error) break;
    if (reads == 8 && (control & 8)) stream.SeekTimePage((control >> 4) * 0.1);
  }
  stream.TimeTotal();
  stream.TimeTell();
  stream.BitrateInstant();
  return 0;
}

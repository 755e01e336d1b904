#include "audio/decoders/common/upstream_byte_source.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>

#include "audio/common/media_errors.h"
#include "component/module/error_entry.h"
#include "component/object/query.h"
#include "interfaces/ids.h"

namespace vk2 {

void UpstreamByteSource::Attach(AudioModuleOutput* upstream, MErrorRegistry* registry) {
  upstream_ = upstream;
  registry_ = registry;
  Reset();
}

void UpstreamByteSource::Reset() {
  packet_ = nullptr;
  offset_ = 0;
  end_ = false;
}

int64_t UpstreamByteSource::Read(void* buffer, size_t bytes) {
  auto* out = static_cast<uint8_t*>(buffer);
  size_t done = 0;
  while (done < bytes && !end_) {
    if (!packet_) {
      if (!upstream_) break;
      AudioPacket* raw = nullptr;
      const int32_t r = upstream_->GetPacket(&raw);
      RefPtr<AudioPacket> p = RefPtr<AudioPacket>::Adopt(raw);
      if (r < 0 || !p) {
        const bool ended =
            r >= 0 || (registry_ ? IsErrorEntry(registry_, r, kMsEndOfData, kMediaSystemTable)
                                 : r == MediaError(kMsEndOfData));
        if (ended) {
          end_ = true;
          break;
        }
        return done > 0 ? static_cast<int64_t>(done) : r;
      }
      packet_ = std::move(p);
      offset_ = 0;
      streamId_ = packet_->streamId;
    }
    const uint32_t left = packet_->byteCount - std::min(offset_, packet_->byteCount);
    const size_t n = std::min<size_t>(left, bytes - done);
    if (n > 0) std::memcpy(out + done, packet_->data + offset_, n);
    done += n;
    offset_ += static_cast<uint32_t>(n);
    if (offset_ >= packet_->byteCount) {
      if (packet_->flags & kPacketLast) end_ = true;
      packet_ = nullptr;
    }
  }
  return static_cast<int64_t>(done);
}

RefPtr<MStreamReader> UpstreamStreamReader(AudioModuleOutput* upstream) {
  if (!upstream) return nullptr;
  RefPtr<MAudioModule> owner;
  if (upstream->GetOwner(owner.Put()) < 0 || !owner) return nullptr;
  return Query<MStreamReader>(owner, kIID_MStreamReader);
}

bool UpstreamByteSource::IsSeekable() {
  RefPtr<MStreamReader> reader = Reader();
  return reader && reader->IsSeekable();
}

int64_t UpstreamByteSource::Size() {
  RefPtr<MStreamReader> reader = Reader();
  int64_t total = -1;
  if (!reader || reader->GetSize(&total, nullptr) < 0 || total < 0) return kUnknownSize;
  return total;
}

int64_t UpstreamByteSource::Tell() {
  RefPtr<MStreamReader> reader = Reader();
  int64_t position = 0;
  if (!reader || reader->GetPosition(&position) < 0) return -1;
  // The reader is past the packet held; its unread rest comes first.
  if (packet_) position -= packet_->byteCount - std::min(offset_, packet_->byteCount);
  return position;
}

int64_t UpstreamByteSource::ReadAt(int64_t offset, void* buffer, size_t bytes) {
  RefPtr<MStreamReader> reader = Reader();
  if (!reader || offset < 0) return -1;
  const uint32_t ask =
      static_cast<uint32_t>(std::min<size_t>(bytes, std::numeric_limits<uint32_t>::max()));
  uint32_t count = 0;
  if (reader->ReadAt(offset, buffer, ask, &count) < 0) return -1;
  return count;
}

int64_t UpstreamByteSource::Seek(int64_t offset, SeekOrigin origin) {
  RefPtr<MStreamReader> reader = Reader();
  if (!reader || !reader->IsSeekable()) return -1;
  const int64_t position = origin == SeekOrigin::kCurrent ? Tell() : 0;
  // Asked only to learn whether the source seeks: nothing moves.
  if (origin == SeekOrigin::kCurrent && offset == 0) return position;
  const int64_t target =
      SeekTarget(offset, origin, position, origin == SeekOrigin::kEnd ? Size() : 0);
  if (target < 0 || reader->SetPosition(target) < 0) return -1;
  packet_ = nullptr;
  offset_ = 0;
  end_ = false;
  return target;
}

}  // namespace vk2

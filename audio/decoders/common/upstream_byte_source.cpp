#include "audio/decoders/common/upstream_byte_source.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "audio/common/media_errors.h"
#include "component/module/error_entry.h"
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

RefPtr<MStreamReader> UpstreamByteSource::Reader() {
  if (!upstream_) return nullptr;
  RefPtr<MAudioModule> owner;
  if (upstream_->GetOwner(owner.Put()) < 0 || !owner) return nullptr;
  RefPtr<MStreamReader> reader;
  if (owner->QueryInterface(kIID_MStreamReader, reader.PutVoid(), 1, 0) < 0) return nullptr;
  return reader;
}

bool UpstreamByteSource::IsSeekable() {
  RefPtr<MStreamReader> reader = Reader();
  return reader && reader->IsSeekable();
}

int64_t UpstreamByteSource::Size() {
  RefPtr<MStreamReader> reader = Reader();
  int64_t total = -1;
  if (!reader || reader->GetSize(&total, nullptr) < 0) return -1;
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

int64_t UpstreamByteSource::Seek(int64_t offset, int whence) {
  RefPtr<MStreamReader> reader = Reader();
  if (!reader || !reader->IsSeekable()) return -1;
  int64_t base = 0;
  if (whence == SEEK_CUR) {
    base = Tell();
    if (base < 0) return -1;
    // Asked only to learn whether the source seeks: nothing moves.
    if (offset == 0) return base;
  } else if (whence == SEEK_END) {
    base = Size();
    if (base < 0) return -1;
  } else if (whence != SEEK_SET) {
    return -1;
  }
  if ((offset > 0 && base > INT64_MAX - offset) || base + offset < 0) return -1;
  const int64_t target = base + offset;
  if (reader->SetPosition(target) < 0) return -1;
  packet_ = nullptr;
  offset_ = 0;
  end_ = false;
  return target;
}

}  // namespace vk2

#include "audio/decoders/mp3/upstream_mpeg_source.h"

#include <cstdio>
#include <limits>

#include "interfaces/audio/audio_module.h"
#include "interfaces/ids.h"

namespace vk2 {

UpstreamMpegSource::UpstreamMpegSource(AudioModuleOutput* upstream, MErrorRegistry* registry) {
  bytes_.Attach(upstream, registry);
  RefPtr<MAudioModule> owner;
  if (upstream && upstream->GetOwner(owner.Put()) >= 0 && owner) {
    owner->QueryInterface(kIID_MStreamReader, reader_.PutVoid(), 1, 0);
  }
}

size_t UpstreamMpegSource::Read(void* buffer, size_t length) {
  if (failed_) return 0;
  const int64_t n = bytes_.Read(buffer, length);
  if (n < 0) {
    failed_ = true;
    return 0;
  }
  return static_cast<size_t>(n);
}

int64_t UpstreamMpegSource::ReadAt(int64_t offset, void* buffer, size_t length) {
  if (!reader_ || offset < 0) return -1;
  const uint32_t ask =
      static_cast<uint32_t>(std::min<size_t>(length, std::numeric_limits<uint32_t>::max()));
  uint32_t count = 0;
  if (reader_->ReadAt(offset, buffer, ask, &count) < 0) return -1;
  return count;
}

bool UpstreamMpegSource::Seek(int64_t offset) {
  if (bytes_.Seek(offset, SEEK_SET) < 0) return false;
  failed_ = false;
  return true;
}

int64_t UpstreamMpegSource::Size() const {
  const int64_t size = bytes_.Size();
  return size > 0 ? size : 0;
}

}  // namespace vk2

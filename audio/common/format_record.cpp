#include "audio/common/format_record.h"

#include <new>

#include "component/object/ref_counted.h"

namespace vk2 {
namespace {

class FormatRecord final : public AudioFormat, public RefCounted {
 public:
  uint32_t AddRef() override { return RefCounted::AddRef(); }
  uint32_t Release() override { return RefCounted::Release(); }
};

}  // namespace

RefPtr<AudioFormat> MakeFormat(const Guid& type, uint32_t sampleRate, uint32_t channels,
                               uint32_t bitsPerSample, bool isFloat, bool isSigned) {
  auto* f = new (std::nothrow) FormatRecord;
  if (!f) return nullptr;
  f->type = type;
  f->sampleRate = sampleRate;
  f->channels = channels;
  f->bitsPerSample = bitsPerSample;
  f->isFloat = isFloat ? 1 : 0;
  f->isSigned = isSigned ? 1 : 0;
  return RefPtr<AudioFormat>(f);
}

RefPtr<AudioFormat> MakePcmFormat(uint32_t sampleRate, uint32_t channels, uint32_t bitsPerSample,
                                  bool isFloat, bool isSigned) {
  return MakeFormat(kFormatPcm, sampleRate, channels, bitsPerSample, isFloat, isSigned);
}

RefPtr<AudioFormat> MakeByteStreamFormat() {
  return MakeFormat(kFormatByteStream, 0, 0, 8, false, false);
}

RefPtr<AudioFormat> CopyFormat(const AudioFormat& format) {
  return MakeFormat(format.type, format.sampleRate, format.channels, format.bitsPerSample,
                    format.isFloat != 0, format.isSigned != 0);
}

}  // namespace vk2

#include "visual/audio_tap.h"

#include <new>

#include "component/object/query.h"
#include "foundation/util/result.h"
#include "interfaces/audio/chain_types.h"
#include "interfaces/audio/media_chain.h"
#include "interfaces/audio/module_properties.h"

namespace vk2 {
namespace {

bool Storing(int32_t state) {
  return state == kChainPlaying || state == kChainCued;
}

}  // namespace

RefPtr<AudioTap> AudioTap::Make(RefPtr<MVisualAudioHistory> history, RefPtr<MUnknown> owner) {
  if (!history) return nullptr;
  return RefPtr<AudioTap>(new (std::nothrow) AudioTap(std::move(history), std::move(owner)));
}

// The tap takes any PCM and may join a chain that already runs.
AudioTap::AudioTap(RefPtr<MVisualAudioHistory> history, RefPtr<MUnknown> owner)
    : FramedModule({IsPcm, /*secondScore=*/100, /*connectOnlyWhenStopped=*/false}),
      owner_(std::move(owner)),
      history_(std::move(history)) {}

MVisualEndpoint* AudioTap::SetKey(uint32_t key) {
  ScopedLock lock(lock_);
  key_ = key;
  return this;
}

void AudioTap::StateChanged(int32_t from, int32_t to) {
  // Entering cued or playing from elsewhere starts over: the format is announced again.
  if (Storing(to) && !Storing(from)) {
    ScopedLock lock(lock_);
    haveFormat_ = false;
  }
}

int32_t AudioTap::Prepare(int32_t) {
  // Preparing means nothing to a stopped chain or one still settling its formats.
  const int32_t state = State();
  if (state == kChainStopped || state == kChainFormatDetection) return MediaError(kMsWrongState);
  return kOk;
}

int32_t AudioTap::PullPacket(AudioModuleOutput* upstream, AudioPacket** slot) {
  const int32_t r = upstream->GetPacket(slot);
  if (r < 0 || !*slot) return r;
  if (!Storing(State())) return r;
  // A refused packet stays in the caller's slot for the caller to release.
  return Store(*slot);
}

int32_t AudioTap::Store(AudioPacket* packet) {
  AudioFormat* f = packet->format;
  if (!f || !IsPcm(*f)) return MediaError(kMsIncompatibleFormat);
  ScopedLock lock(lock_);
  const HistoryFormat incoming{f->channels, f->sampleRate, f->bitsPerSample, f->isFloat != 0};
  const bool changed = !haveFormat_ || incoming.channels != format_.channels ||
                       incoming.rate != format_.rate || incoming.bits != format_.bits ||
                       incoming.isFloat != format_.isFloat || (f->isSigned != 0) != formatSigned_;
  if (changed) {
    haveFormat_ = true;
    format_ = incoming;
    formatSigned_ = f->isSigned != 0;
    history_->SetFormat(key_, incoming.channels, incoming.rate, incoming.bits, incoming.isFloat);
  }
  MMediaChain* chain = Chain();
  RefPtr<MModuleInfo> properties = chain ? Query<MModuleInfo>(chain, kIID_MModuleInfo) : nullptr;
  int32_t through = 0;
  int32_t buffer = 0;
  if (!properties || properties->GetInteger(u"throughbytes", &through) < 0 ||
      properties->GetInteger(u"buffersize", &buffer) < 0) {
    return kOk;
  }
  const int64_t second = int64_t{format_.BytesPerFrame()} * format_.rate;
  history_->Trim(key_, int64_t{through} - second - buffer);
  history_->Append(key_, packet->data, packet->byteCount);
  return kOk;
}

}  // namespace vk2

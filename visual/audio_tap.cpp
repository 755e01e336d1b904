#include "visual/audio_tap.h"

#include <new>

#include "component/object/query.h"
#include "foundation/util/result.h"
#include "interfaces/audio/chain_types.h"
#include "interfaces/audio/media_chain.h"
#include "interfaces/audio/module_properties.h"

namespace vk2 {
namespace {

constexpr char16_t kInputName[] = u"input";
constexpr char16_t kOutputName[] = u"output";
constexpr uint32_t kPcmScore = 100;

bool Storing(int32_t state) {
  return state == kChainPlaying || state == kChainCued;
}

}  // namespace

RefPtr<AudioTap> AudioTap::Make(RefPtr<MVisualAudioHistory> history, RefPtr<MUnknown> owner) {
  if (!history) return nullptr;
  return RefPtr<AudioTap>(new (std::nothrow) AudioTap(std::move(history), std::move(owner)));
}

AudioTap::AudioTap(RefPtr<MVisualAudioHistory> history, RefPtr<MUnknown> owner)
    : owner_(std::move(owner)), history_(std::move(history)) {}

MVisualEndpoint* AudioTap::SetKey(uint32_t key) {
  ScopedLock lock(lock_);
  key_ = key;
  return this;
}

int32_t AudioTap::GetInputByName(AudioModuleInput** input, const char16_t* name) {
  if (!input) return kErrMissingArg;
  const bool match = name && TString(kInputName).Equals(name, false);
  *input = match ? &input_ : nullptr;
  return match ? kOk : kErrNotFound;
}

int32_t AudioTap::GetInput(AudioModuleInput** input, int32_t index) {
  if (!input) return kErrMissingArg;
  *input = index == 0 ? &input_ : nullptr;
  return index == 0 ? kOk : kErrNotFound;
}

int32_t AudioTap::GetOutputByName(AudioModuleOutput** output, const char16_t* name) {
  if (!output) return kErrMissingArg;
  const bool match = name && TString(kOutputName).Equals(name, false);
  *output = match ? &output_ : nullptr;
  return match ? kOk : kErrNotFound;
}

int32_t AudioTap::GetOutput(AudioModuleOutput** output, int32_t index) {
  if (!output) return kErrMissingArg;
  *output = index == 0 ? &output_ : nullptr;
  return index == 0 ? kOk : kErrNotFound;
}

int32_t AudioTap::SetChain(MMediaChain* chain) {
  ScopedLock lock(lock_);
  chain_ = chain;
  return kOk;
}

int32_t AudioTap::StateChange(int32_t state) {
  ScopedLock lock(lock_);
  // Entering cued or playing from elsewhere starts over: the format is announced again.
  if (Storing(state) && !Storing(state_)) {
    haveFormat_ = false;
  }
  state_ = state;
  return kOk;
}

int32_t AudioTap::Prepare(int32_t) {
  ScopedLock lock(lock_);
  // Preparing means nothing to a stopped chain or one still settling its formats.
  if (state_ == kChainStopped || state_ == kChainFormatDetection) return MediaError(kMsWrongState);
  return kOk;
}

AudioModuleOutput* AudioTap::Upstream() {
  ScopedLock lock(lock_);
  return upstream_;
}

int32_t AudioTap::GiveOwner(MAudioModule** owner) {
  if (!owner) return kErrMissingArg;
  AddRef();
  *owner = this;
  return kOk;
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
  RefPtr<MModuleInfo> properties = chain_ ? Query<MModuleInfo>(chain_, kIID_MModuleInfo) : nullptr;
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

// ---- Input part ----

int32_t AudioTap::Input::GetName(TString* name) {
  if (!name) return kErrMissingArg;
  *name = kInputName;
  return kOk;
}

int32_t AudioTap::Input::CanHandle(AudioModuleOutput* upstream, uint32_t* score1,
                                   uint32_t* score2) {
  if (!upstream || !score1 || !score2) return kErrMissingArg;
  AudioFormatList formats;
  const int32_t r = upstream->GetFormats(&formats);
  if (r < 0) return r;
  bool pcm = false;
  for (uint32_t i = 0; i < formats.Count() && !pcm; ++i)
    pcm = IsPcm(*formats.At(i));
  *score1 = pcm ? kPcmScore : 0;
  *score2 = pcm ? kPcmScore : 0;
  return kOk;
}

int32_t AudioTap::Input::Connect(AudioModuleOutput* upstream) {
  ScopedLock lock(tap_->lock_);
  tap_->upstream_ = upstream;
  return kOk;
}

int32_t AudioTap::Input::GetOwner(MAudioModule** owner) {
  return tap_->GiveOwner(owner);
}

// ---- Output part ----

int32_t AudioTap::Output::GetName(TString* name) {
  if (!name) return kErrMissingArg;
  *name = kOutputName;
  return kOk;
}

int32_t AudioTap::Output::GetPacket(AudioPacket** packet) {
  if (!packet) return kErrMissingArg;
  AudioModuleOutput* upstream = tap_->Upstream();
  if (!upstream) return MediaError(kMsNotInChain);
  const int32_t r = upstream->GetPacket(packet);
  if (r < 0 || !*packet) return r;
  int32_t state = 0;
  {
    ScopedLock lock(tap_->lock_);
    state = tap_->state_;
  }
  if (!Storing(state)) return r;
  // A refused packet stays in the caller's slot for the caller to release.
  return tap_->Store(*packet);
}

int32_t AudioTap::Output::GetFormats(AudioFormatList* formats) {
  if (!formats) return kErrMissingArg;
  AudioModuleOutput* upstream = tap_->Upstream();
  if (!upstream) return MediaError(kMsNotInChain);
  AudioFormatList offered;
  const int32_t r = upstream->GetFormats(&offered);
  if (r < 0) return r;
  for (uint32_t i = 0; i < offered.Count(); ++i) {
    if (IsPcm(*offered.At(i))) formats->Append(offered.At(i));
  }
  return kOk;
}

int32_t AudioTap::Output::SetFormat(AudioFormat* format) {
  AudioModuleOutput* upstream = tap_->Upstream();
  if (!upstream) return MediaError(kMsNotInChain);
  return upstream->SetFormat(format);
}

int32_t AudioTap::Output::SetDestination(AudioModuleInput* downstream) {
  ScopedLock lock(tap_->lock_);
  tap_->downstream_ = downstream;
  return kOk;
}

int32_t AudioTap::Output::GetOwner(MAudioModule** owner) {
  return tap_->GiveOwner(owner);
}

}  // namespace vk2

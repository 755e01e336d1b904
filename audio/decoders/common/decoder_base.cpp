#include "audio/decoders/common/decoder_base.h"

#include "audio/common/audio_runtime.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"

namespace vk2 {

DecoderBase::DecoderBase(DecoderTraits traits)
    : pool_(AudioCreate<MPacketPool>(kAudioSystemClass, kIID_MPacketPool)),
      traits_(std::move(traits)) {}

DecoderBase::~DecoderBase() = default;

MUnknown* DecoderBase::QueryMore(const Guid& iid) {
  if (iid == traits_.ownInterface) return static_cast<MAudioModule*>(this);
  if (iid == kIID_MModuleInfo || (iid == kIID_MModuleProperties && !traits_.readOnlyProperties)) {
    return &properties_;
  }
  if (iid == kIID_MCallbackRegistry && traits_.callbackRegistry) return &registry_;
  if (iid == kIID_MMediaTypes) return &types_;
  return nullptr;
}

int32_t DecoderBase::GetInputByName(AudioModuleInput** input, const char16_t* name) {
  if (!input) return kErrMissingArg;
  *input = nullptr;
  if (!name || WideCompare(name, u"input") != 0) return kErrNotFound;
  *input = &input_;
  return kOk;
}

int32_t DecoderBase::GetInput(AudioModuleInput** input, int32_t index) {
  if (!input) return kErrMissingArg;
  *input = index == 0 ? &input_ : nullptr;
  return index == 0 ? kOk : kErrNotFound;
}

int32_t DecoderBase::GetOutputByName(AudioModuleOutput** output, const char16_t* name) {
  if (!output) return kErrMissingArg;
  *output = nullptr;
  if (!name || WideCompare(name, u"output") != 0) return kErrNotFound;
  *output = &output_;
  return kOk;
}

int32_t DecoderBase::GetOutput(AudioModuleOutput** output, int32_t index) {
  if (!output) return kErrMissingArg;
  *output = index == 0 ? &output_ : nullptr;
  return index == 0 ? kOk : kErrNotFound;
}

int32_t DecoderBase::SetChain(MMediaChain* chain) {
  chain_.store(chain, std::memory_order_release);
  return kOk;
}

RefPtr<AudioFormat> DecoderBase::FindByteStreamFormat(AudioModuleOutput* upstream,
                                                      int32_t* result) {
  if (result) *result = kOk;
  if (!upstream) return nullptr;
  AudioFormatList formats;
  const int32_t r = upstream->GetFormats(&formats);
  if (r < 0) {
    if (result) *result = r;
    return nullptr;
  }
  for (uint32_t i = 0; i < formats.Count(); ++i) {
    if (formats.At(i)->type == kFormatByteStream) return RefPtr<AudioFormat>(formats.At(i));
  }
  return nullptr;
}

int32_t DecoderBase::SetUpProbe(AudioModuleOutput* upstream) {
  if (state_ != kChainStopped) return MediaError(kMsWrongState);
  int32_t r = kOk;
  RefPtr<AudioFormat> bytes = FindByteStreamFormat(upstream, &r);
  if (!bytes) return r;
  r = upstream->SetFormat(bytes.Get());
  return r < 0 ? r : 1;
}

void DecoderBase::AddRepeatProperty(uint32_t flags) {
  table_.AddInteger(
      u"repeat", flags, nullptr,
      [this](int32_t* v) {
        DecoderLock lock(*this);
        *v = repeat_ ? 1 : 0;
        return kOk;
      },
      [this](int32_t v) {
        DecoderLock lock(*this);
        repeat_ = v != 0;
        return kOk;
      });
}

int32_t DecoderBase::Connect(AudioModuleOutput* upstream) {
  DecoderLock lock(*this);
  if (!upstream) {
    upstream_ = nullptr;
    OnConnected(nullptr);
    return kOk;
  }
  int32_t r = kOk;
  RefPtr<AudioFormat> bytes = FindByteStreamFormat(upstream, &r);
  if (r < 0) return r;
  if (!bytes) return kErrFailed;
  r = upstream->SetFormat(bytes.Get());
  if (r < 0) return r;
  upstream_ = upstream;
  OnConnected(upstream);
  return kOk;
}

void DecoderBase::DeliverEvents() {
  for (int32_t n = pendingFormatEvents_.exchange(0); n > 0; --n) {
    callbacks_.Fire(static_cast<MAudioModule*>(this), kEventFormatChanged, 0);
  }
}

DecoderBase::DecoderLock::~DecoderLock() {
  decoder_.mainLock_.Leave();
  if (!decoder_.mainLock_.IsHeldByCurrentThread()) decoder_.DeliverEvents();
}

int32_t DecoderBase::Input::GetName(TString* name) {
  if (!name) return kErrMissingArg;
  *name = u"input";
  return kOk;
}

int32_t DecoderBase::Input::GetOwner(MAudioModule** owner) {
  if (!owner) return kErrMissingArg;
  owner_->AddRef();
  *owner = owner_;
  return kOk;
}

int32_t DecoderBase::Output::GetName(TString* name) {
  if (!name) return kErrMissingArg;
  *name = u"output";
  return kOk;
}

int32_t DecoderBase::Output::SetDestination(AudioModuleInput* downstream) {
  DecoderLock lock(*owner_);
  owner_->downstream_ = downstream;
  owner_->outputMode_ = kOutputModeNone;
  return kOk;
}

int32_t DecoderBase::Output::GetOwner(MAudioModule** owner) {
  if (!owner) return kErrMissingArg;
  owner_->AddRef();
  *owner = owner_;
  return kOk;
}

int32_t DecoderBase::Types::GetFileTypes(MediaTypeList* list) {
  if (!list) return kErrMissingArg;
  const auto& types = Owner()->traits_.fileTypes;
  list->Resize(static_cast<uint32_t>(types.size()));
  for (size_t i = 0; i < types.size(); ++i) {
    list->Set(static_cast<uint32_t>(i), types[i].first, types[i].second);
  }
  return kOk;
}

int32_t DecoderBase::Types::GetMimeTypes(MediaTypeList* list) {
  if (!list) return kErrMissingArg;
  const auto& mimes = Owner()->traits_.mimeTypes;
  const char16_t* description =
      Owner()->traits_.fileTypes.empty() ? u"" : Owner()->traits_.fileTypes.front().second;
  list->Resize(static_cast<uint32_t>(mimes.size()));
  for (size_t i = 0; i < mimes.size(); ++i) {
    list->Set(static_cast<uint32_t>(i), mimes[i], description);
  }
  return kOk;
}

}  // namespace vk2

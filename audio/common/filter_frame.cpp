#include "audio/common/filter_frame.h"

#include "audio/common/media_errors.h"
#include "foundation/util/result.h"

namespace vk2 {
namespace {

constexpr char16_t kInputName[] = u"input";
constexpr char16_t kOutputName[] = u"output";
constexpr uint32_t kAcceptScore = 100;

}  // namespace

FilterFrame::FilterFrame(MAudioModule* owner, PortRules rules) : owner_(owner), rules_(rules) {}

int32_t FilterFrame::GetInputByName(AudioModuleInput** input, const char16_t* name) {
  if (!input) return kErrMissingArg;
  *input = nullptr;
  if (!name || !TString(kInputName).Equals(name, false)) return kErrNotFound;
  *input = &input_;
  return kOk;
}

int32_t FilterFrame::GetInput(AudioModuleInput** input, int32_t index) {
  if (!input) return kErrMissingArg;
  *input = index == 0 ? &input_ : nullptr;
  return index == 0 ? kOk : kErrNotFound;
}

int32_t FilterFrame::GetOutputByName(AudioModuleOutput** output, const char16_t* name) {
  if (!output) return kErrMissingArg;
  *output = nullptr;
  if (!name || !TString(kOutputName).Equals(name, false)) return kErrNotFound;
  *output = &output_;
  return kOk;
}

int32_t FilterFrame::GetOutput(AudioModuleOutput** output, int32_t index) {
  if (!output) return kErrMissingArg;
  *output = index == 0 ? &output_ : nullptr;
  return index == 0 ? kOk : kErrNotFound;
}

int32_t FilterFrame::SetChain(MMediaChain* chain) {
  ScopedLock lock(lock_);
  chain_ = chain;
  return kOk;
}

int32_t FilterFrame::StateChange(int32_t state) {
  int32_t from = 0;
  {
    ScopedLock lock(lock_);
    from = state_;
    state_ = state;
  }
  StateChanged(from, state);
  return kOk;
}

MMediaChain* FilterFrame::Chain() {
  ScopedLock lock(lock_);
  return chain_;
}

int32_t FilterFrame::State() {
  ScopedLock lock(lock_);
  return state_;
}

AudioModuleOutput* FilterFrame::Upstream() {
  ScopedLock lock(lock_);
  return upstream_;
}

int32_t FilterFrame::GiveOwner(MAudioModule** owner) {
  if (!owner) return kErrMissingArg;
  owner_->AddRef();
  *owner = owner_;
  return kOk;
}

// ---- Input port ----

int32_t FilterFrame::Input::GetName(TString* name) {
  if (!name) return kErrMissingArg;
  *name = kInputName;
  return kOk;
}

int32_t FilterFrame::Input::CanHandle(AudioModuleOutput* upstream, uint32_t* score1,
                                      uint32_t* score2) {
  if (!upstream || !score1 || !score2) return kErrMissingArg;
  if (frame_->rules_.connectOnlyWhenStopped && frame_->State() != kChainStopped) {
    return MediaError(kMsWrongState);
  }
  AudioFormatList formats;
  const int32_t r = upstream->GetFormats(&formats);
  if (r < 0) return r;
  bool any = false;
  for (uint32_t i = 0; i < formats.Count() && !any; ++i)
    any = frame_->rules_.accepts(*formats.At(i));
  *score1 = any ? kAcceptScore : 0;
  *score2 = any ? frame_->rules_.secondScore : 0;
  return kOk;
}

int32_t FilterFrame::Input::Connect(AudioModuleOutput* upstream) {
  ScopedLock lock(frame_->lock_);
  frame_->upstream_ = upstream;
  return kOk;
}

int32_t FilterFrame::Input::GetOwner(MAudioModule** owner) {
  return frame_->GiveOwner(owner);
}

// ---- Output port ----

int32_t FilterFrame::Output::GetName(TString* name) {
  if (!name) return kErrMissingArg;
  *name = kOutputName;
  return kOk;
}

int32_t FilterFrame::Output::GetPacket(AudioPacket** packet) {
  if (!packet) return kErrMissingArg;
  AudioModuleOutput* upstream = frame_->Upstream();
  if (!upstream) return MediaError(kMsNotInChain);
  return frame_->PullPacket(upstream, packet);
}

int32_t FilterFrame::Output::GetFormats(AudioFormatList* formats) {
  if (!formats) return kErrMissingArg;
  AudioModuleOutput* upstream = frame_->Upstream();
  if (!upstream) return MediaError(kMsNotInChain);
  AudioFormatList offered;
  const int32_t r = upstream->GetFormats(&offered);
  if (r < 0) return r;
  for (uint32_t i = 0; i < offered.Count(); ++i) {
    if (frame_->rules_.accepts(*offered.At(i))) formats->Append(offered.At(i));
  }
  return kOk;
}

int32_t FilterFrame::Output::SetFormat(AudioFormat* format) {
  AudioModuleOutput* upstream = frame_->Upstream();
  if (!upstream) return MediaError(kMsNotInChain);
  return upstream->SetFormat(format);
}

int32_t FilterFrame::Output::SetDestination(AudioModuleInput* downstream) {
  ScopedLock lock(frame_->lock_);
  frame_->downstream_ = downstream;
  return kOk;
}

int32_t FilterFrame::Output::GetOwner(MAudioModule** owner) {
  return frame_->GiveOwner(owner);
}

}  // namespace vk2

#include "audio/readers/common/stream_reader_base.h"

#include <utility>

#include "audio/common/audio_runtime.h"
#include "audio/common/format_record.h"
#include "audio/readers/common/reader_results.h"
#include "foundation/util/result.h"
#include "interfaces/audio/media_chain.h"
#include "interfaces/ids.h"

namespace vk2 {

StreamReaderBase::StreamReaderBase(const Guid& ownInterface, RefPtr<AudioFormat> format)
    : ownInterface_(ownInterface),
      pool_(AudioCreate<MPacketPool>(kAudioSystemClass, kIID_MPacketPool)),
      byteFormat_(format ? std::move(format) : MakeByteStreamFormat()) {}

StreamReaderBase::~StreamReaderBase() = default;

MUnknown* StreamReaderBase::QueryMore(const Guid& iid) {
  if (iid == ownInterface_) return static_cast<MStreamReader*>(this);
  if (iid == kIID_MModuleInfo || iid == kIID_MModuleProperties) return &properties_;
  return nullptr;
}

int32_t StreamReaderBase::GetInputByName(AudioModuleInput** input, const char16_t*) {
  if (input) *input = nullptr;
  return kErrNotFound;
}

int32_t StreamReaderBase::GetInput(AudioModuleInput** input, int32_t) {
  if (input) *input = nullptr;
  return kErrNotFound;
}

int32_t StreamReaderBase::GetOutputByName(AudioModuleOutput** output, const char16_t* name) {
  if (!output) return kErrMissingArg;
  *output = nullptr;
  if (!name || WideCompare(name, u"output") != 0) return kErrNotFound;
  *output = &output_;
  return kOk;
}

int32_t StreamReaderBase::GetOutput(AudioModuleOutput** output, int32_t index) {
  if (!output) return kErrMissingArg;
  *output = index == 0 ? &output_ : nullptr;
  return index == 0 ? kOk : kErrNotFound;
}

int32_t StreamReaderBase::SetChain(MMediaChain* chain) {
  chain_.store(chain, std::memory_order_release);
  return kOk;
}

int32_t StreamReaderBase::Prepare(int32_t) {
  const int32_t state = State();
  if (state == kChainStopped || state == kChainFormatDetection) return MediaError(kMsWrongState);
  return kOk;
}

void StreamReaderBase::AddStreamIdProperty() {
  table_.AddInteger(
      u"streamid", kPropStoredInteger, u"a 32 bit number to be associated with this stream",
      [this](int32_t* v) {
        *v = StreamId();
        return kOk;
      },
      [this](int32_t v) {
        streamId_.store(v, std::memory_order_relaxed);
        return kOk;
      });
}

void StreamReaderBase::ResetStatus() {
  ScopedLock lock(statusLock_);
  status_ = 0;
}

void StreamReaderBase::MarkRepositioned() {
  ScopedLock lock(statusLock_);
  status_ = (status_ & ~kReaderEndReached) | kReaderDiscontinuity;
}

void StreamReaderBase::ClearEndReached() {
  ScopedLock lock(statusLock_);
  status_ &= ~kReaderEndReached;
}

uint32_t StreamReaderBase::Status() {
  ScopedLock lock(statusLock_);
  return status_;
}

int32_t StreamReaderBase::GetPacket(AudioPacket** slot) {
  if (!slot) return kErrMissingArg;
  MMediaChain* chain = Chain();
  if (!chain) return MediaError(kMsNotInChain);
  if (!pool_) return kErrFailed;
  const int32_t acquired = pool_->AcquirePacket(slot, kReaderPacketBytes);
  if (acquired < 0) return acquired;
  AudioPacket* p = *slot;
  ScopedLock lock(statusLock_);
  p->SetFormat(byteFormat_.Get());
  p->flags = 0;
  p->streamId = StreamId();
  const PacketBytes read = ReadForPacket(p->data, kReaderPacketBytes, chain->AbortEvent());
  if (read.result < 0) return read.result;
  if (read.count == 0 && (status_ & kReaderEndReached)) return MediaError(kMsEndOfData);
  p->position = read.position;
  if (!(status_ & kReaderFirstSent)) {
    p->flags |= kPacketFirst;
    status_ |= kReaderFirstSent;
  }
  if (read.count < kReaderPacketBytes && !read.more) {
    p->flags |= kPacketLast;
    status_ |= kReaderEndReached;
  }
  if (status_ & kReaderDiscontinuity) {
    p->flags |= kPacketDiscontinuity;
    status_ &= ~kReaderDiscontinuity;
  }
  p->byteCount = read.count;
  p->length = read.length >= 0 ? read.length : static_cast<double>(read.count);
  return kOk;
}

int32_t StreamReaderBase::Output::GetName(TString* name) {
  if (!name) return kErrMissingArg;
  *name = u"output";
  return kOk;
}

int32_t StreamReaderBase::Output::GetFormats(AudioFormatList* formats) {
  if (!formats) return kErrMissingArg;
  formats->Append(owner_->byteFormat_.Get());
  return kOk;
}

int32_t StreamReaderBase::Output::SetDestination(AudioModuleInput* downstream) {
  downstream_.store(downstream, std::memory_order_relaxed);
  return kOk;
}

int32_t StreamReaderBase::Output::GetOwner(MAudioModule** owner) {
  if (!owner) return kErrMissingArg;
  owner_->AddRef();
  *owner = owner_;
  return kOk;
}

}  // namespace vk2

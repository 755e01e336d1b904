#include "audio/engine/audiosys/media_chain.h"

#include <algorithm>
#include <new>

#include "component/object/query.h"
#include "foundation/util/result.h"
#include "interfaces/audio/chain_types.h"
#include "interfaces/ids.h"
#include "platform/clock.h"

namespace vk2 {

int32_t BuildFailure(int32_t code, MediaSystemEntry entry) {
  return (code <= -1 && code >= -255) ? MediaError(entry) : code;
}

RefPtr<MediaChain> MediaChain::Create() {
  auto* chain = new (std::nothrow) MediaChain;
  if (!chain) return nullptr;
  RefPtr<MediaChain> result(chain);
  if (!chain->worker_) return nullptr;
  return result;
}

MediaChain::MediaChain() : worker_(ChainWorker::Create(this)) {}

MediaChain::~MediaChain() {
  ClearCandidates();
  if (!Modules().empty()) Close();
  if (worker_) worker_->Stop();
}

MUnknown* MediaChain::QueryMore(const Guid& iid) {
  if (iid == kIID_MTimeNotifications) return &notifications_;
  if (iid == kIID_MModuleInfo || iid == kIID_MModuleProperties) return &properties_;
  return nullptr;
}

void MediaChain::Destroy() {
  if (!worker_ || worker_->StopOrDefer([this] { delete this; })) delete this;
}

ModuleList MediaChain::Modules() const {
  ScopedLock lock(lock_);
  return modules_;
}

size_t MediaChain::DecoderCandidateCount() const {
  ScopedLock lock(lock_);
  return decoders_.size();
}

size_t MediaChain::ReaderCandidateCount() const {
  ScopedLock lock(lock_);
  return readers_.size();
}

size_t MediaChain::FilterCandidateCount() const {
  ScopedLock lock(lock_);
  return filters_.size();
}

int32_t MediaChain::RegisterCallback(MAudioCallback* callback, uint32_t key) {
  return worker_->AddCallback(callback, key);
}

int32_t MediaChain::UnregisterCallback(MAudioCallback* callback, uint32_t key) {
  return worker_->RemoveCallback(callback, key);
}

namespace {
template <class List, class T>
void AppendOnce(List& list, T* item) {
  for (const auto& p : list) {
    if (p.Get() == item) return;
  }
  list.emplace_back(item);
}
}  // namespace

int32_t MediaChain::AddStreamReader(MStreamReader* reader) {
  if (!reader) return kErrMissingArg;
  ScopedLock lock(lock_);
  AppendOnce(readers_, reader);
  return kOk;
}

int32_t MediaChain::AddDecoder(MAudioModule* decoder) {
  if (!decoder) return kErrMissingArg;
  ScopedLock lock(lock_);
  AppendOnce(decoders_, decoder);
  return kOk;
}

int32_t MediaChain::AddDspFilter(MAudioModule* filter) {
  if (!filter) return kErrMissingArg;
  ScopedLock lock(lock_);
  AppendOnce(filters_, filter);
  return kOk;
}

int32_t MediaChain::ClearCandidates() {
  std::vector<RefPtr<MStreamReader>> readers;
  ModuleList decoders;
  ModuleList filters;
  RefPtr<MAudioModule> endpoint;
  {
    ScopedLock lock(lock_);
    readers.swap(readers_);
    decoders.swap(decoders_);
    filters.swap(filters_);
    endpoint = std::move(endpoint_);
  }
  return kOk;  // released here, outside the lock
}

int32_t MediaChain::SetEndpoint(MAudioModule* endpoint) {
  if (!endpoint) return kErrMissingArg;
  if (endpoint->HasOutput() != 0) return kErrNotFound;
  RefPtr<MAudioModule> old;
  {
    ScopedLock lock(lock_);
    old = std::move(endpoint_);
    endpoint_ = RefPtr<MAudioModule>(endpoint);
  }
  return kOk;
}

bool MediaChain::IsComplete(const ModuleList& modules) const {
  return !modules.empty() && modules.back()->HasOutput() == 0;
}

int32_t MediaChain::StateChange(int32_t state) {
  return ChangeState(state, false);
}

int32_t MediaChain::ChangeState(int32_t state, bool forced) {
  if (state == kChainStopped) {
    // A reader still opening (a slow server) is in no list yet: stopping it ends the Open.
    RefPtr<MStreamReader> opening;
    {
      ScopedLock lock(lock_);
      opening = opening_;
    }
    if (opening) opening->StateChange(kChainStopped);
  }
  const ModuleList modules = Modules();
  if (!forced && !IsComplete(modules)) return MediaError(kMsIncompleteChain);
  // A stop first releases every blocking read in the chain, so that stopping the endpoint
  // (which waits for its playback thread) never waits on a stalled source.
  if (state == kChainStopped) {
    abort_.Set();
  } else if (state != kChainSuspended) {
    abort_.Reset();
  }
  const bool endpointFirst = state == kChainStopped || state == kChainSuspended;
  if (endpointFirst) {
    for (size_t i = modules.size(); i-- > 0;) {
      const int32_t r = modules[i]->StateChange(state);
      if (r < 0) return r;
    }
  } else {
    for (const RefPtr<MAudioModule>& m : modules) {
      const int32_t r = m->StateChange(state);
      if (r < 0) return r;
    }
  }
  state_.store(state, std::memory_order_release);
  return kOk;
}

int32_t MediaChain::Prepare(int32_t mode) {
  const int32_t state = RecordedState();
  if (state == kChainStopped || state == kChainFormatDetection) {
    return MediaError(kMsWrongState);
  }
  const ModuleList modules = Modules();
  if (!IsComplete(modules)) return MediaError(kMsIncompleteChain);
  for (const RefPtr<MAudioModule>& m : modules) {
    const int32_t r = m->Prepare(mode);
    if (r < 0) return r;
  }
  return kOk;
}

int32_t MediaChain::Seek(double seconds, uint32_t flags, uint32_t flush) {
  const ModuleList modules = Modules();
  if (!IsComplete(modules)) return MediaError(kMsIncompleteChain);
  const int32_t state = RecordedState();
  if (state == kChainStopped || state == kChainFormatDetection) {
    return MediaError(kMsWrongState);
  }
  // Source first, endpoint last: when the endpoint drops what it holds, every packet it then
  // takes already comes from the new position, so nothing from before the seek is kept. The
  // endpoint takes no packet while the source moves: the first one from the new position,
  // taken before its flush, would be dropped with the old audio and the flush would wait for
  // another that never comes.
  const RefPtr<MAudioModule>& endpoint = modules.back();
  // An endpoint that cannot park simply seeks as it is.
  const bool hold = (state == kChainCued || state == kChainPlaying) &&
                    endpoint->StateChange(kChainSuspended) >= 0;
  int32_t result = kOk;
  for (const RefPtr<MAudioModule>& m : modules) {
    result = m->Seek(seconds, flags, flush);
    if (result < 0) break;
  }
  // Taken up again as it was; the endpoint answers once its flush is done.
  if (hold) {
    const int32_t r = endpoint->StateChange(state);
    if (result >= 0 && r < 0) result = r;
  }
  return result < 0 ? result : kOk;
}

int32_t MediaChain::ReadBufferLevel(double* level) {
  return properties_.GetNumber(u"bufferlevel", level);
}

int32_t MediaChain::WaitForBuffer(double level) {
  const int32_t r = StateChange(kChainCued);
  if (r < 0) return r;
  Clock& clock = CurrentClock();
  const uint64_t deadline = clock.NowMs() + kBufferWaitLimitMs;
  for (;;) {
    // Stopped or closed from another thread meanwhile: the wait has no point any more.
    if (abort_.Wait(0) || RecordedState() == kChainStopped) return MediaError(kMsWrongState);
    double current = 0;
    if (ReadBufferLevel(&current) < 0 || current >= level) return kOk;
    // A source that never fills the buffer (a stalled stream) must not hold the caller forever;
    // the chain then plays what it has.
    if (clock.NowMs() >= deadline) return kOk;
    if (abort_.Wait(kBufferPollMs)) return MediaError(kMsWrongState);
  }
}

int32_t MediaChain::Play(double level) {
  const int32_t r = WaitForBuffer(level);
  if (r < 0) return r;
  return StateChange(kChainPlaying);
}

int32_t MediaChain::Close() {
  abort_.Set();
  StateChange(kChainStopped);
  TakeModulesOut();
  state_.store(kChainStopped, std::memory_order_release);
  return kOk;
}

void MediaChain::TakeModulesOut() {
  ModuleList modules;
  {
    ScopedLock lock(lock_);
    modules.swap(modules_);
  }
  // Bounds the walk over a module's inputs and outputs (index 0, 1, ... until one fails).
  constexpr int32_t kMaxPorts = 16;
  while (!modules.empty()) {
    RefPtr<MAudioModule> m = std::move(modules.back());
    modules.pop_back();
    if (auto registry = Query<MCallbackRegistry>(m, kIID_MCallbackRegistry)) {
      registry->UnregisterCallback(&callback_, 0);
    }
    for (int32_t i = 0; i < kMaxPorts; ++i) {
      AudioModuleOutput* out = nullptr;
      if (m->GetOutput(&out, i) < 0 || !out) break;
      out->SetDestination(nullptr);
    }
    for (int32_t i = 0; i < kMaxPorts; ++i) {
      AudioModuleInput* in = nullptr;
      if (m->GetInput(&in, i) < 0 || !in) break;
      in->Connect(nullptr);
    }
    m->SetChain(nullptr);
    // The chain opened its reader; it closes it too, so the reader (a candidate the chain
    // keeps) can be opened again by the next Open.
    if (modules.empty()) {
      if (auto reader = Query<MStreamReader>(m, kIID_MStreamReader)) reader->Close();
    }
  }
}

int32_t MediaChain::NextModule(MAudioModule** module) {
  if (!module) return kErrMissingArg;
  const ModuleList modules = Modules();
  MAudioModule* current = *module;
  RefPtr<MAudioModule> next;
  if (!current) {
    if (!modules.empty()) next = modules.front();
  } else {
    for (size_t i = 0; i + 1 < modules.size(); ++i) {
      if (modules[i].Get() == current) {
        next = modules[i + 1];
        break;
      }
    }
    current->Release();
  }
  *module = next.Detach();
  return *module ? kOk : kErrNotFound;
}

int32_t MediaChain::QueryVolumeControl(MVolumeControl** control) {
  if (!control) return kErrMissingArg;
  *control = nullptr;
  const ModuleList modules = Modules();
  for (size_t i = modules.size(); i-- > 0;) {
    if (auto volume = Query<MVolumeControl>(modules[i], kIID_MVolumeControl)) {
      *control = volume.Detach();
      return kOk;
    }
  }
  return kErrNotFound;
}

int32_t MediaChain::SetStreamId(int32_t id) {
  const ModuleList modules = Modules();
  if (modules.empty()) return MediaError(kMsIncompleteChain);
  RefPtr<MModuleProperties> props;
  const int32_t r = Query(modules.front().Get(), kIID_MModuleProperties, &props);
  if (r < 0) return r;
  if (!props) return kErrNoInterface;
  return props->SetInteger(u"streamid", id);
}

int32_t MediaChain::ModuleCallback::OnEvent(MUnknown*, int32_t code, uint32_t key,
                                            int32_t argument) {
  Owner()->worker_->Post(code, key, argument);
  return kOk;
}

}  // namespace vk2

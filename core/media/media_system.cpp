#include "core/media/media_system.h"

#include <cmath>

#include "component/object/query.h"
#include "core/media/media_system_factory.h"
#include "foundation/util/result.h"
#include "interfaces/audio/chain_types.h"
#include "interfaces/audio/media_types.h"

namespace vk2 {

RefPtr<MMediaSystem> CreateMediaSystem() {
  auto* system = new (std::nothrow) MediaSystem();
  return system ? RefPtr<MMediaSystem>(system) : nullptr;
}

MediaSystem::MediaSystem() = default;

MediaSystem::~MediaSystem() = default;

MUnknown* MediaSystem::QueryMore(const Guid& iid) {
  if (iid == kIID_MModuleInfo || iid == kIID_MModuleProperties) return &properties_;
  return nullptr;
}

void MediaSystem::BeforeDestroy() {
  std::vector<ChainEntry> entries;
  {
    ScopedLock state(stateLock_);
    {
      ScopedLock table(tableLock_);
      CancelBuildsLocked();
      StopAllLocked(&entries);
    }
    for (ChainEntry& e : entries) {
      if (e.role != ChainRole::kScan) e.chain->StateChange(kChainStopped);
    }
  }
  Retire(entries);
  events_.Stop();
}

int32_t MediaSystem::SetOwner(MediaSystemOwner* owner) {
  owner_.Set(owner);
  return kOk;
}

int32_t MediaSystem::GetTransition(int32_t* method, double* seconds) {
  if (!method || !seconds) return kErrMissingArg;
  ScopedLock table(tableLock_);
  const Transition& t = pendingFlag_ ? pending_ : transition_;
  *method = t.method;
  *seconds = t.seconds;
  return kOk;
}

int32_t MediaSystem::SetTransition(int32_t method, double seconds) {
  if (!IsKnownPlaybackMethod(method)) return kErrOutOfRange;
  const bool keepTime = seconds == kKeepTransitionTime;
  if (!keepTime && !(std::isfinite(seconds) && seconds >= 0.0)) return kErrOutOfRange;
  ScopedLock table(tableLock_);
  Transition& t = pendingFlag_ ? pending_ : transition_;
  t.method = method;
  if (!keepTime) t.seconds = seconds;
  return kOk;
}

int32_t MediaSystem::GetState() {
  ScopedLock table(tableLock_);
  return state_;
}

int32_t MediaSystem::SetVolume(double volume) {
  if (!(volume >= 0.0 && volume <= 1.0)) return kErrOutOfRange;
  std::vector<RefPtr<MMediaChain>> chains;
  {
    ScopedLock table(tableLock_);
    volume_ = volume;
    chains = table_.Chains();
  }
  for (const RefPtr<MMediaChain>& chain : chains) {
    RefPtr<MVolumeControl> control;
    if (chain->QueryVolumeControl(control.Put()) == 0 && control) control->SetVolume(volume);
  }
  return kOk;
}

int32_t MediaSystem::SetBalance(double balance) {
  if (!(balance >= -1.0 && balance <= 1.0)) return kErrOutOfRange;
  std::vector<RefPtr<MMediaChain>> chains;
  {
    ScopedLock table(tableLock_);
    balance_ = balance;
    chains = table_.Chains();
  }
  for (const RefPtr<MMediaChain>& chain : chains) {
    RefPtr<MVolumeControl> control;
    if (chain->QueryVolumeControl(control.Put()) == 0 && control) control->SetBalance(balance);
  }
  return kOk;
}

int32_t MediaSystem::HoldPosition(double seconds) {
  ScopedLock table(tableLock_);
  heldPosition_ = seconds;
  return ++holdCount_;
}

int32_t MediaSystem::ReleasePosition() {
  ScopedLock table(tableLock_);
  if (holdCount_ > 0) --holdCount_;
  if (holdCount_ == 0) heldPosition_ = -1.0;
  return holdCount_;
}

int32_t MediaSystem::GetCurrentChain(MMediaChain** chain, uint32_t* chainId) {
  if (!chain) return kErrMissingArg;
  *chain = nullptr;
  ScopedLock table(tableLock_);
  ChainEntry* current = table_.Current();
  if (!current) return kErrNotFound;
  *chain = RefPtr<MMediaChain>(current->chain).Detach();
  if (chainId) *chainId = current->chainId;
  return kOk;
}

// ---- Properties of the current chain ----

RefPtr<MMediaChain> MediaSystem::PropertyChain(uint32_t* chainId) {
  ScopedLock table(tableLock_);
  ChainEntry* e = table_.CurrentOrScan();
  if (!e) return nullptr;
  if (chainId) *chainId = e->chainId;
  return e->chain;
}

RefPtr<MModuleProperties> MediaSystem::PropertyFace() {
  return Query<MModuleProperties>(PropertyChain(), kIID_MModuleProperties);
}

int32_t MediaSystem::GetString(const char16_t* name, TString* value) {
  RefPtr<MModuleProperties> props = PropertyFace();
  return props ? props->GetString(name, value) : MediaError(kMsWrongState);
}

int32_t MediaSystem::GetInteger(const char16_t* name, int32_t* value) {
  if (name && value && TString(name).Equals(u"currentchainid", false)) {
    ScopedLock table(tableLock_);
    ChainEntry* current = table_.Current();
    if (!current) return MediaError(kMsWrongState);
    *value = static_cast<int32_t>(current->chainId);
    return kOk;
  }
  RefPtr<MModuleProperties> props = PropertyFace();
  return props ? props->GetInteger(name, value) : MediaError(kMsWrongState);
}

int32_t MediaSystem::GetNumber(const char16_t* name, double* value) {
  RefPtr<MModuleProperties> props = PropertyFace();
  return props ? props->GetNumber(name, value) : MediaError(kMsWrongState);
}

int32_t MediaSystem::Describe(PropertyDescriptionList* list) {
  RefPtr<MModuleProperties> props = PropertyFace();
  return props ? props->Describe(list) : MediaError(kMsWrongState);
}

int32_t MediaSystem::SetString(const char16_t* name, const char16_t* value) {
  RefPtr<MModuleProperties> props = PropertyFace();
  return props ? props->SetString(name, value) : MediaError(kMsWrongState);
}

int32_t MediaSystem::SetInteger(const char16_t* name, int32_t value) {
  RefPtr<MModuleProperties> props = PropertyFace();
  return props ? props->SetInteger(name, value) : MediaError(kMsWrongState);
}

int32_t MediaSystem::SetNumber(const char16_t* name, double value) {
  RefPtr<MModuleProperties> props = PropertyFace();
  return props ? props->SetNumber(name, value) : MediaError(kMsWrongState);
}

int32_t MediaSystem::LoadSettings(MPreferenceStore* store) {
  ScopedLock table(tableLock_);
  settings_ = RefPtr<MPreferenceStore>(store);
  return kOk;
}

int32_t MediaSystem::SaveSettings(MPreferenceStore*) {
  return kOk;
}

int32_t MediaSystem::SendFilterMessage(const char16_t* text, uint32_t reserved) {
  std::vector<RefPtr<MMediaChain>> chains;
  {
    ScopedLock table(tableLock_);
    chains = table_.Chains();
  }
  // No chain: no filter is in use, and a message for an unused filter is ignored.
  int32_t result = kOk;
  bool first = true;
  for (const RefPtr<MMediaChain>& chain : chains) {
    auto props = Query<MModuleProperties>(chain, kIID_MModuleProperties);
    if (!props) continue;
    const int32_t r = props->SendFilterMessage(text, reserved);
    if (first || r >= 0) result = r;
    first = false;
  }
  return result;
}

// ---- Owner calls ----

int32_t MediaSystem::OwnerGetCurrentItem(ItemInfo* item) {
  return owner_.Call([item](MediaSystemOwner* o) { return o->GetCurrentItem(item); },
                     kErrAccessDenied);
}

int32_t MediaSystem::OwnerAdvance() {
  return owner_.Call([](MediaSystemOwner* o) { return o->Advance(); }, kErrAccessDenied);
}

void MediaSystem::NotifyStreamId(uint32_t itemId) {
  owner_.Call([itemId](MediaSystemOwner* o) { return o->OnStreamIdChanged(itemId); }, kOk);
}

}  // namespace vk2

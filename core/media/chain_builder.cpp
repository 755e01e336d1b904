// Building a chain for an item: the audio system makes it, the method in force chooses its
// endpoint, the visual tap joins it when the visualisation host is there.
#include "audio/common/audio_runtime.h"
#include "component/object/query.h"
#include "core/media/chain_id.h"
#include "core/media/media_system.h"
#include "core/playlist/item_info.h"
#include "foundation/util/result.h"
#include "interfaces/audio/chain_types.h"
#include "interfaces/audio/media_types.h"
#include "interfaces/visual/visual_endpoint.h"

namespace vk2 {
namespace {

constexpr double kDefaultWarmUp = 5.0;

RefPtr<MAudioSystem> TheAudioSystem() {
  return AudioCreate<MAudioSystem>(kAudioSystemClass, kIID_MAudioSystem);
}

// Takes the callback registration back when a build fails after making it.
class RegistrationUndo {
 public:
  RegistrationUndo(MMediaChain* chain, MAudioCallback* callback, uint32_t key)
      : chain_(chain), callback_(callback), key_(key) {}
  ~RegistrationUndo() {
    if (chain_) chain_->UnregisterCallback(callback_, key_);
  }
  void Keep() { chain_ = nullptr; }

 private:
  MMediaChain* chain_;
  MAudioCallback* callback_;
  uint32_t key_;
};

}  // namespace

int32_t MediaSystem::BuildChain(const ItemInfo* item, uint32_t chainId, MMediaChain** chain,
                                int32_t scan, int32_t costLimit) {
  if (!chain) return kErrMissingArg;
  *chain = nullptr;
  if (!item) return kErrMissingArg;
  ChainEntry entry;
  const int32_t r = BuildEntry(*item, chainId, scan != 0, costLimit, nullptr, &entry);
  if (r < 0) return r;
  *chain = entry.chain.Detach();
  return kOk;
}

int32_t MediaSystem::BuildEntry(const ItemInfo& item, uint32_t chainId, bool scan,
                                int32_t costLimit, SwitchTicket* ticket, ChainEntry* entry) {
  if (!item.Has(kUrlPresent) || item.url.IsEmpty()) return kErrMissingArg;
  RefPtr<MAudioSystem> system = TheAudioSystem();
  if (!system) return kErrAccessDenied;
  RefPtr<MMediaChain> chain = RefPtr<MMediaChain>::Adopt(system->CreateChain());
  if (!chain) return kErrRefused;

  Transition transition;
  RefPtr<MPreferenceStore> settings;
  double volume;
  double balance;
  {
    ScopedLock table(tableLock_);
    if (ticket) {
      if (ticket->IsCancelled()) return kErrCancelled;
      ticket->chain = chain;
    }
    transition = transition_;
    settings = settings_;
    volume = volume_;
    balance = balance_;
  }
  auto chainProps = Query<MModuleProperties>(chain, kIID_MModuleProperties);
  if (settings && chainProps) chainProps->LoadSettings(settings.Get());

  RefPtr<MAudioModule> endpoint;
  int32_t r = ChooseEndpoint(system.Get(), scan, transition, &endpoint);
  if (r < 0) return r;
  const bool seamless = !scan && transition.method == kPlaybackSeamless;
  r = chain->SetEndpoint(endpoint.Get());
  if (r < 0) return r;
  r = chain->Open(item.url.c_str(), seamless ? kAnyAccessCost : costLimit);
  if (r < 0) return r;
  chain->ClearCandidates();
  r = chain->SetStreamId(static_cast<int32_t>(item.id));
  if (r < 0) return r;
  r = chain->RegisterCallback(&callback_, chainId);
  if (r < 0) return r;
  RegistrationUndo undo(chain.Get(), &callback_, chainId);

  std::vector<ChainNotification> notifications;
  if (!scan && transition.method != kPlaybackNormal) {
    double warmUp = kDefaultWarmUp;
    if (!chainProps || chainProps->GetNumber(u"warmuptime", &warmUp) < 0) warmUp = kDefaultWarmUp;
    if (transition.method == kPlaybackCrossfade) {
      notifications.push_back({-(warmUp + transition.seconds), chainId + kKindPrepareCrossfade});
      notifications.push_back({-transition.seconds, chainId + kKindStartCrossfade});
    } else {
      // The shared output must hold the successor before the endpoint pulls this item's last
      // packet, which happens a buffer's length before the end is heard.
      double buffered = 0.0;
      if (!chainProps || chainProps->GetNumber(u"bufferlength", &buffered) < 0 || buffered < 0) {
        buffered = 0.0;
      }
      notifications.push_back({-(warmUp + buffered), chainId + kKindPrepareSeamless});
    }
    RefPtr<MTimeNotifications> timer;
    r = Query(chain.Get(), kIID_MTimeNotifications, &timer);
    if (r < 0) return r;
    for (size_t i = 0; i < notifications.size(); ++i) {
      r = timer->AddNotification(&callback_, notifications[i].seconds, notifications[i].key);
      if (r < 0) {
        for (size_t j = 0; j < i; ++j)
          timer->RemoveNotification(&callback_, notifications[j].seconds, notifications[j].key);
        return r;
      }
    }
  }

  RefPtr<MVolumeControl> control;
  if (chain->QueryVolumeControl(control.Put()) == 0 && control) {
    control->SetVolume(volume);
    control->SetBalance(balance);
  }
  // Scan chains measure and play nothing: no visuals for them.
  if (!scan) InsertVisualTap(chain.Get(), chainId);

  undo.Keep();
  entry->chain = std::move(chain);
  entry->chainId = chainId;
  entry->itemId = item.id;
  entry->role = scan ? ChainRole::kScan : ChainRole::kCurrent;
  entry->predecessor = 0;
  entry->notifications = std::move(notifications);
  return kOk;
}

int32_t MediaSystem::ChooseEndpoint(MAudioSystem* system, bool scan, const Transition& transition,
                                    RefPtr<MAudioModule>* endpoint) {
  if (scan) {
    *endpoint = AudioCreate<MAudioModule>(kAudioSystemClass, kEndpointNodeClass);
    return *endpoint ? kOk : kErrCannotCreate;
  }
  switch (transition.method) {
    case kPlaybackNormal:
    case kPlaybackCrossfade:
      return system->CreateDefaultEndpoint(endpoint->Put());
    case kPlaybackSeamless:
      return SeamlessInput(system, transition.seconds, endpoint);
    default:
      return kErrOutOfRange;
  }
}

int32_t MediaSystem::SeamlessInput(MAudioSystem* system, double gap, RefPtr<MAudioModule>* input) {
  RefPtr<MOutputNode> node;
  {
    ScopedLock table(tableLock_);
    node = outputNode_;
  }
  if (!node) {
    RefPtr<MOutputNode> made = AudioCreate<MOutputNode>(kAudioSystemClass, kOutputNodeClass);
    if (!made) return kErrCannotCreate;
    RefPtr<MAudioModule> endpoint;
    const int32_t r = system->CreateDefaultEndpoint(endpoint.Put());
    if (r < 0) return r;
    made->SetEndpoint(endpoint.Get());
    ScopedLock table(tableLock_);
    if (!outputNode_) outputNode_ = made;
    node = outputNode_;
  }
  // The gap follows the transition time in force when each item's chain is built.
  node->SetGap(gap);
  return node->CreateInput(input->Put());
}

void MediaSystem::InsertVisualTap(MMediaChain* chain, uint32_t chainId) {
  RefPtr<MVisualEndpoint> tap =
      AudioCreate<MVisualEndpoint>(kVisualHandlerClass, kIID_MVisualEndpoint);
  if (!tap) return;  // no visualisation host: the chain plays without the tap
  tap->SetKey(chainId);
  chain->Insert(tap.Get());
}

int32_t MediaSystem::GetFileExtensions(MediaTypeList* list) {
  if (!list) return kErrMissingArg;
  RefPtr<MAudioSystem> system = TheAudioSystem();
  if (!system) return kErrAccessDenied;
  MAudioModule* decoder = nullptr;
  Guid classId{};
  while (system->NextDecoder(&decoder, &classId) == 0 && decoder) {
    auto types = Query<MMediaTypes>(decoder, kIID_MMediaTypes);
    if (!types) continue;
    MediaTypeList found;
    if (types->GetFileTypes(&found) < 0) continue;
    for (uint32_t i = 0; i < found.Count(); ++i)
      list->Append(found.At(i).pattern, found.At(i).description);
  }
  if (decoder) decoder->Release();
  return kOk;
}

int32_t MediaSystem::GetFileExtensionText(TString* text) {
  if (!text) return kErrMissingArg;
  MediaTypeList list;
  const int32_t r = GetFileExtensions(&list);
  if (r < 0) return r;
  for (uint32_t i = 0; i < list.Count(); ++i)
    text->Append(list.At(i).pattern);
  return kOk;
}

}  // namespace vk2

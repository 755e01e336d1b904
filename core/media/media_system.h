// The media system object (see interfaces/core/media_system.h).
//
// Threads and locks. Owner calls come on the owner's thread; chain events arrive on each chain's
// event thread and are only queued here, to be handled in order on this object's own event
// thread. Two locks, taken in this order:
// - the state lock serialises transitions (Play, Stop, Pause, the commit of a switch, event
//   handling) and is held while chains change state, but never while a chain is built or
//   buffered and never while the owner is called;
// - the table lock guards the table, the playback state and the settings, for short moments.
// No chain is released under either lock: entries taken out are retired after both are left.
// A switch builds and buffers its chain outside both, under a ticket that Stop (or a newer
// switch) cancels; the commit then finds the ticket stale and drops the chain.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "audio/common/media_errors.h"
#include "component/object/com_object.h"
#include "component/object/sub_object.h"
#include "core/media/chain_table.h"
#include "core/media/owner_slot.h"
#include "core/media/switch_ticket.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/audio/audio_callbacks.h"
#include "interfaces/audio/audio_system.h"
#include "interfaces/audio/module_properties.h"
#include "interfaces/core/media_system.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/preference_store.h"
#include "platform/critical_section.h"
#include "platform/serial_worker.h"

namespace vk2 {

struct ItemInfo;

struct Transition {
  int32_t method = kPlaybackNormal;
  double seconds = 5.0;
};

class MediaSystem final : public ComObject<MediaSystem, Face<MMediaSystem, kIID_MMediaSystem>> {
 public:
  MediaSystem();

  // MMediaSystem
  int32_t GetFileExtensionText(TString* text) override;
  int32_t GetFileExtensions(MediaTypeList* list) override;
  int32_t SetOwner(MediaSystemOwner* owner) override;
  int32_t GetTransition(int32_t* method, double* seconds) override;
  int32_t SetTransition(int32_t method, double seconds) override;
  int32_t Play() override;
  int32_t Stop() override;
  int32_t Pause() override;
  int32_t SwitchToNewChain(uint32_t itemId) override;
  int32_t SeekStream(double seconds, uint32_t flags) override;
  int32_t GetState() override;
  int32_t SetVolume(double volume) override;
  int32_t SetBalance(double balance) override;
  int32_t PrepareScan(const ItemInfo* item, int32_t full, int32_t costLimit) override;
  int32_t DiscardScanChains() override;
  int32_t GetPlayInfo(MediaPlayInfo* info) override;
  int32_t GetString(const char16_t* name, TString* value) override;
  int32_t GetInteger(const char16_t* name, int32_t* value) override;
  int32_t GetNumber(const char16_t* name, double* value) override;
  int32_t Describe(PropertyDescriptionList* list) override;
  int32_t SetString(const char16_t* name, const char16_t* value) override;
  int32_t SetInteger(const char16_t* name, int32_t value) override;
  int32_t SetNumber(const char16_t* name, double value) override;
  int32_t LoadSettings(MPreferenceStore* store) override;
  int32_t SaveSettings(MPreferenceStore* store) override;
  int32_t SendFilterMessage(const char16_t* text, uint32_t reserved) override;
  int32_t GetCurrentChain(MMediaChain** chain, uint32_t* chainId) override;
  int32_t FillItemInfo(ItemInfo* item) override;
  int32_t HoldPosition(double seconds) override;
  int32_t BuildChain(const ItemInfo* item, uint32_t chainId, MMediaChain** chain, int32_t scan,
                     int32_t costLimit) override;
  int32_t ReleasePosition() override;

 private:
  ~MediaSystem() override;
  MUnknown* QueryMore(const Guid& iid) override;
  // Stops every chain and the event thread while the object still stands.
  void BeforeDestroy() override;

  // Speaks for the current chain's properties under MModuleInfo and MModuleProperties.
  class PropertiesFace final : public SubObject<MModuleProperties, MediaSystem> {
   public:
    using SubObject::SubObject;
    int32_t GetString(const char16_t* name, TString* value) override {
      return Owner()->GetString(name, value);
    }
    int32_t GetInteger(const char16_t* name, int32_t* value) override {
      return Owner()->GetInteger(name, value);
    }
    int32_t GetNumber(const char16_t* name, double* value) override {
      return Owner()->GetNumber(name, value);
    }
    int32_t Describe(PropertyDescriptionList* list) override { return Owner()->Describe(list); }
    int32_t SetString(const char16_t* name, const char16_t* value) override {
      return Owner()->SetString(name, value);
    }
    int32_t SetInteger(const char16_t* name, int32_t value) override {
      return Owner()->SetInteger(name, value);
    }
    int32_t SetNumber(const char16_t* name, double value) override {
      return Owner()->SetNumber(name, value);
    }
    int32_t LoadSettings(MPreferenceStore* store) override { return Owner()->LoadSettings(store); }
    int32_t SaveSettings(MPreferenceStore* store) override { return Owner()->SaveSettings(store); }
    int32_t SendFilterMessage(const char16_t* text, uint32_t reserved) override {
      return Owner()->SendFilterMessage(text, reserved);
    }
  };

  // Registered with every chain under its chain id: queues the event for the event thread.
  class ChainCallback final : public SubObject<MAudioCallback, MediaSystem> {
   public:
    using SubObject::SubObject;
    int32_t OnEvent(MUnknown* source, int32_t code, uint32_t key, int32_t argument) override;
  };

  // ---- Building (chain_builder.cpp) ----
  // BuildChain for the table: the entry carries the chain, its id, item and notifications. With
  // a ticket the chain is made known to it as soon as it exists, so a Stop can abort its Open.
  int32_t BuildEntry(const ItemInfo& item, uint32_t chainId, bool scan, int32_t costLimit,
                     SwitchTicket* ticket, ChainEntry* entry);
  int32_t ChooseEndpoint(MAudioSystem* system, bool scan, const Transition& transition,
                         RefPtr<MAudioModule>* endpoint);
  int32_t SeamlessInput(MAudioSystem* system, double gap, RefPtr<MAudioModule>* input);
  void InsertVisualTap(MMediaChain* chain, uint32_t chainId);

  // ---- Switching (media_transport.cpp) ----
  // Builds, buffers and commits a chain for `item` as the new current one.
  int32_t SwitchTo(const ItemInfo& item);
  // Takes a ticket for a build that replaces whatever is being built (a newer switch).
  std::shared_ptr<SwitchTicket> NewSwitchTicket();
  // A ticket for a prepared successor: stale when any switch or Stop comes first.
  std::shared_ptr<SwitchTicket> NewPrepareTicket();
  void ForgetTicket(const std::shared_ptr<SwitchTicket>& ticket);  // under the table lock
  bool IsStale(const SwitchTicket& ticket) const;                  // under the table lock
  void CancelBuildsLocked();                                       // under the table lock
  int32_t Commit(const std::shared_ptr<SwitchTicket>& ticket, ChainEntry entry, int32_t method);
  void BeginPendingLocked();  // under the table lock
  void ApplyPendingLocked();  // under the table lock
  // Unregisters from the chains and releases them; no lock of this object may be held.
  void Retire(std::vector<ChainEntry>& entries);
  void Retire(ChainEntry entry);
  // The entries to stop and retire when playback ends.
  void StopAllLocked(std::vector<ChainEntry>* out);

  // ---- Events (media_events.cpp) ----
  void HandleEvent(int32_t code, uint32_t chainId, uint32_t kind, int32_t argument);
  void OnChainEnded(uint32_t chainId);
  void OnStreamChanged(uint32_t chainId, bool takeOver);
  // Seamless: a queued successor that reports is the one heard now. True when it took over.
  bool TakeOverIfHeard(uint32_t chainId);
  void OnChainFailed(uint32_t chainId, const TString& text);
  void PrepareCrossfade(uint32_t endingId);
  void StartCrossfade(uint32_t endingId);
  void PrepareSeamless(uint32_t endingId);
  TString DecodingErrorText(int32_t code);

  // ---- Owner calls, never under a lock of this object ----
  int32_t OwnerGetCurrentItem(ItemInfo* item);
  int32_t OwnerAdvance();
  void NotifyStreamId(uint32_t itemId);

  // The chain the property operations speak for, with a reference; null when none.
  RefPtr<MMediaChain> PropertyChain(uint32_t* chainId = nullptr);
  RefPtr<MModuleProperties> PropertyFace();

  CriticalSection stateLock_;
  mutable CriticalSection tableLock_;  // everything below up to the owner slot
  ChainTable table_;
  int32_t state_ = kMediaStopped;
  Transition transition_;
  Transition pending_;
  bool pendingFlag_ = false;
  double volume_ = 1.0;
  double balance_ = 0.0;
  double heldPosition_ = -1.0;
  int32_t holdCount_ = 0;
  RefPtr<MPreferenceStore> settings_;
  // Made at the first seamless build and kept: successive items' chains end in its inputs.
  RefPtr<MOutputNode> outputNode_;
  // Bumped by every switch and Stop: a commit with an older generation is stale.
  uint64_t generation_ = 0;
  std::vector<std::shared_ptr<SwitchTicket>> tickets_;

  OwnerSlot owner_;
  MediaErrorRegistration errors_;
  PropertiesFace properties_{this};
  ChainCallback callback_{this};
  SerialWorker events_{"vk2 media events"};
};

}  // namespace vk2

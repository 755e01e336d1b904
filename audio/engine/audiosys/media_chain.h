// One playing or scanning stream: an ordered list of chain modules from a stream reader through
// decoders and filters to an endpoint, with the candidates it is built from.
//
// Threads: the owner (the media core's player thread) calls the chain's operations; a stop or a
// close may come from another thread while the owner waits in WaitForBuffer. The module list is
// therefore changed under the list lock, and every walk over it works on a counted copy, so no
// module is called with a chain lock held (the endpoint's playback thread reads properties
// through the chain while the owner stops the endpoint).
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "audio/common/media_errors.h"
#include "audio/engine/audiosys/chain_worker.h"
#include "component/object/com_object.h"
#include "component/object/sub_object.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/audio/media_chain.h"
#include "interfaces/audio/module_properties.h"
#include "interfaces/audio/stream_reader.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/preference_store.h"
#include "platform/critical_section.h"
#include "platform/event.h"

namespace vk2 {

using ModuleList = std::vector<RefPtr<MAudioModule>>;

class MediaChain final
    : public ComObject<MediaChain, Face<MMediaChain, kIID_MMediaChain, kIID_MCallbackRegistry>> {
 public:
  // WaitForBuffer gives up waiting (and lets the chain play) after this long.
  static constexpr uint32_t kBufferWaitLimitMs = 30'000;
  static constexpr uint32_t kBufferPollMs = 2;

  // A new chain with one reference; null when memory runs out.
  static RefPtr<MediaChain> Create();

  // MCallbackRegistry
  int32_t RegisterCallback(MAudioCallback* callback, uint32_t key) override;
  int32_t UnregisterCallback(MAudioCallback* callback, uint32_t key) override;
  // MMediaChain
  int32_t AddStreamReader(MStreamReader* reader) override;
  int32_t AddDecoder(MAudioModule* decoder) override;
  int32_t AddDspFilter(MAudioModule* filter) override;
  int32_t ClearCandidates() override;
  int32_t SetEndpoint(MAudioModule* endpoint) override;
  int32_t WaitForBuffer(double level) override;
  int32_t Play(double level) override;
  int32_t Open(const char16_t* url, int32_t costLimit) override;
  int32_t Close() override;
  int32_t Insert(MAudioModule* filter) override;
  int32_t StateChange(int32_t state) override;
  int32_t Prepare(int32_t mode) override;
  int32_t Seek(double seconds, uint32_t flags, uint32_t flush) override;
  int32_t NextModule(MAudioModule** module) override;
  int32_t QueryVolumeControl(MVolumeControl** control) override;
  int32_t SetStreamId(int32_t id) override;
  Event* AbortEvent() override { return &abort_; }

  // For tests and diagnostics.
  int32_t RecordedState() const { return state_.load(std::memory_order_acquire); }
  ModuleList Modules() const;
  size_t DecoderCandidateCount() const;
  size_t ReaderCandidateCount() const;
  size_t FilterCandidateCount() const;

 private:
  MUnknown* QueryMore(const Guid& iid) override;
  // A callback of the chain running on its event thread finishes first; the event thread then
  // destroys the chain.
  void Destroy() override;

  // The time-notification sub-object.
  class NotificationsFace final : public SubObject<MTimeNotifications, MediaChain> {
   public:
    using SubObject::SubObject;
    int32_t AddNotification(MAudioCallback* callback, double seconds, uint32_t key) override;
    int32_t RemoveNotification(MAudioCallback* callback, double seconds, uint32_t key) override;
  };

  // The property sub-object: speaks for the chain's modules.
  class PropertiesFace final : public SubObject<MModuleProperties, MediaChain> {
   public:
    using SubObject::SubObject;
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
  };

  // The callback the chain registers with its modules: it only queues.
  class ModuleCallback final : public SubObject<MAudioCallback, MediaChain> {
   public:
    using SubObject::SubObject;
    int32_t OnEvent(MUnknown* source, int32_t code, uint32_t key, int32_t argument) override;
  };

  MediaChain();
  ~MediaChain();

  // The state change itself; `forced` skips the completeness test (used while building).
  int32_t ChangeState(int32_t state, bool forced);
  bool IsComplete(const ModuleList& modules) const;
  // The chain's settings applied to a module, when the chain has a store.
  void ApplySettings(MAudioModule* module);
  RefPtr<MPreferenceStore> OpenModuleSection(MAudioModule* module);
  // Appends `module` and connects it to the module before it. 0 or entry 3 / 21.
  int32_t InsertAtEnd(MAudioModule* module);
  // Takes every module out (last to first).
  void TakeModulesOut();
  int32_t ChooseReader(const char16_t* url, RefPtr<MStreamReader>* reader);
  int32_t BuildDecoders(const char16_t* url, MStreamReader* reader);
  void InsertFilters();
  int32_t ReadBufferLevel(double* level);

  std::atomic<int32_t> state_{1};
  Event abort_{EventReset::kManual};

  mutable CriticalSection lock_;  // everything below
  ModuleList modules_;
  std::vector<RefPtr<MStreamReader>> readers_;
  ModuleList decoders_;
  ModuleList filters_;
  RefPtr<MAudioModule> endpoint_;
  RefPtr<MPreferenceStore> settings_;
  RefPtr<MStreamReader> opening_;  // the reader inside Open, before it joins the chain
  uint32_t serial_ = 1;

  RefPtr<ChainWorker> worker_;
  MediaErrorRegistration errors_;
  NotificationsFace notifications_{this};
  PropertiesFace properties_{this};
  ModuleCallback callback_{this};
};

// Failure codes of the generic range (-1 to -255) become `entry`; a table code of a module
// passes unchanged.
int32_t BuildFailure(int32_t code, MediaSystemEntry entry);

}  // namespace vk2

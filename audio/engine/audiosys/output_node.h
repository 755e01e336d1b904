// The seamless output stage. The chains of successive items each end in an InputNode made by
// one OutputNode; the OutputNode stands at the head of the real endpoint's chain and passes on
// the packets of the oldest input (the head), switching to the next input when the head's stream
// ends and inserting a gap of silence between them.
//
// Threads: the endpoint's playback thread pulls packets (GetPacket, under the queue lock); the
// media core's thread changes the inputs' states; the endpoint's events reach the node on the
// playback thread and are handed to the node's own worker, which forwards them to the head
// input's chain and restarts the endpoint when a stream ends. The node never calls the
// endpoint while it holds the queue lock: what must happen to the endpoint is decided under the
// lock and done after it is left.
#pragma once

#include <cstdint>
#include <vector>

#include "audio/common/callback_list.h"
#include "audio/common/media_errors.h"
#include "component/object/com_object.h"
#include "component/object/second_identity.h"
#include "component/object/sub_object.h"
#include "foundation/util/ref_ptr.h"
#include "foundation/util/result.h"
#include "interfaces/audio/audio_module.h"
#include "interfaces/audio/audio_system.h"
#include "interfaces/audio/media_chain.h"
#include "interfaces/audio/module_properties.h"
#include "interfaces/ids.h"
#include "platform/critical_section.h"
#include "platform/serial_worker.h"

namespace vk2 {

class InputNode;

class OutputNode final : public ComObject<OutputNode, Face<MOutputNode, kIID_MOutputNode>> {
 public:
  static constexpr uint32_t kMaxSilenceBytes = 4096;

  static RefPtr<OutputNode> Create(MPacketPool* pool);

  int32_t CreateInput(MAudioModule** input) override;
  int32_t SetEndpoint(MAudioModule* endpoint) override;
  int32_t Reserved() override { return kErrFailed; }
  int32_t DrainInputs() override;
  int32_t SetGap(double seconds) override;

  // For tests.
  size_t QueuedInputs();
  MAudioModule* ModuleFace() { return &module_; }

 private:
  friend class InputNode;

  // The node as a chain module.
  MUnknown* QueryMore(const Guid& iid) override;

  // A notification of an input as the endpoint knows it: the input's entry, tagged.
  struct Tagged {
    double seconds;
    uint32_t tag;
  };
  // What the endpoint must be told after the queue lock is left.
  struct EndpointActions {
    RefPtr<MAudioModule> endpoint;
    std::vector<Tagged> remove;
    std::vector<Tagged> add;
    bool reconnect = false;
    int32_t stateChange = 0;  // 0: none
  };

  class Module final : public SubObject<MAudioModule, OutputNode> {
   public:
    using SubObject::SubObject;
    int32_t HasInput() override { return 0; }
    int32_t HasOutput() override { return 1; }
    int32_t GetInputByName(AudioModuleInput** input, const char16_t*) override;
    int32_t GetInput(AudioModuleInput** input, int32_t) override;
    int32_t GetOutputByName(AudioModuleOutput** output, const char16_t* name) override;
    int32_t GetOutput(AudioModuleOutput** output, int32_t index) override;
    // The node's place in the endpoint's chain needs nothing of these.
    int32_t SetChain(MMediaChain*) override { return 0; }
    int32_t StateChange(int32_t) override { return 0; }
    int32_t Prepare(int32_t) override { return 0; }
    int32_t Seek(double, uint32_t, uint32_t) override { return 0; }
  };

  class Output final : public AudioModuleOutput {
   public:
    explicit Output(OutputNode* node) : node_(node) {}
    int32_t GetName(TString* name) override;
    int32_t GetPacket(AudioPacket** packet) override;
    int32_t GetFormats(AudioFormatList* formats) override;
    int32_t SetFormat(AudioFormat* format) override;
    int32_t SetDestination(AudioModuleInput* downstream) override;
    int32_t GetOwner(MAudioModule** owner) override;

   private:
    OutputNode* node_;
  };

  // The chain the real endpoint belongs to: events go to the endpoint's own registry and
  // properties to the chain of the item being heard first.
  // A second identity of the node (the chain of the real endpoint), with answers of its own;
  // its count is the node's.
  class ChainFace final : public SecondIdentity<MMediaChain, OutputNode> {
   public:
    using SecondIdentity::SecondIdentity;
    int32_t RegisterCallback(MAudioCallback* callback, uint32_t key) override;
    int32_t UnregisterCallback(MAudioCallback* callback, uint32_t key) override;
    int32_t AddStreamReader(MStreamReader*) override { return kNotSupported; }
    int32_t AddDecoder(MAudioModule*) override { return kNotSupported; }
    int32_t AddDspFilter(MAudioModule*) override { return kNotSupported; }
    int32_t ClearCandidates() override { return 0; }
    int32_t SetEndpoint(MAudioModule*) override { return kNotSupported; }
    int32_t WaitForBuffer(double) override { return kNotSupported; }
    int32_t Play(double) override { return kNotSupported; }
    int32_t Open(const char16_t*, int32_t) override { return kNotSupported; }
    int32_t Close() override { return kNotSupported; }
    int32_t Insert(MAudioModule*) override { return kNotSupported; }
    // The endpoint's chain is driven through the inputs, never through this face.
    int32_t StateChange(int32_t) override { return kNotSupported; }
    int32_t Prepare(int32_t) override { return kNotSupported; }
    int32_t Seek(double, uint32_t, uint32_t) override { return kNotSupported; }
    int32_t NextModule(MAudioModule** module) override;
    int32_t QueryVolumeControl(MVolumeControl** control) override;
    int32_t SetStreamId(int32_t) override { return kNotSupported; }
    Event* AbortEvent() override { return nullptr; }

    static constexpr int32_t kNotSupported = -2;

   private:
    MUnknown* Find(const Guid& iid) override;
  };

  // A part of the chain face: asked for anything else, it answers as that face.
  class ChainProperties final : public SubObject<MModuleProperties, ChainFace> {
   public:
    explicit ChainProperties(OutputNode* node) : SubObject(&node->chain_), node_(node) {}
    int32_t GetString(const char16_t* name, TString* value) override;
    int32_t GetInteger(const char16_t* name, int32_t* value) override;
    int32_t GetNumber(const char16_t* name, double* value) override;
    int32_t Describe(PropertyDescriptionList* list) override;
    int32_t SetString(const char16_t* name, const char16_t* value) override;
    int32_t SetInteger(const char16_t* name, int32_t value) override;
    int32_t SetNumber(const char16_t* name, double value) override;
    int32_t LoadSettings(MPreferenceStore*) override { return ChainFace::kNotSupported; }
    int32_t SaveSettings(MPreferenceStore*) override { return ChainFace::kNotSupported; }
    int32_t SendFilterMessage(const char16_t* text, uint32_t reserved) override;

   private:
    // The head chain first (any answer but -5 stands), then the endpoint.
    template <class Fn, class EndpointFn>
    int32_t Ask(Fn headFn, EndpointFn endpointFn);
    OutputNode* node_;
  };

  // Registered with the endpoint (key 0): hands every event to the node's worker.
  class NodeCallback final : public SubObject<MAudioCallback, OutputNode> {
   public:
    using SubObject::SubObject;
    int32_t OnEvent(MUnknown* source, int32_t code, uint32_t key, int32_t argument) override;
  };

  explicit OutputNode(MPacketPool* pool);
  ~OutputNode();

  // ---- Under the queue lock ----
  InputNode* HeadLocked() const { return queue_.empty() ? nullptr : queue_.front(); }
  bool InsertingSilenceLocked() const { return silenceFramesLeft_ > 0 && silenceFormat_; }
  // Takes the head out; the endpoint forgets its notifications and learns the new head's.
  void TakeHeadOutLocked(EndpointActions* actions);
  // Takes out every input ahead of `input`.
  void DropAheadLocked(InputNode* input, EndpointActions* actions);
  int32_t MakeSilenceLocked(AudioPacket** slot);
  uint32_t NextTagLocked() { return nextTag_++; }

  // ---- Outside the queue lock ----
  void Apply(EndpointActions& actions);
  void HandleEvent(int32_t code, uint32_t key, int32_t argument);
  void RemoveInput(InputNode* input);
  RefPtr<MAudioModule> Endpoint();
  AudioModuleInput* EndpointInput(MAudioModule* endpoint);

  CriticalSection queueLock_;
  std::vector<InputNode*> queue_;  // not counted: an input takes itself out when it goes
  RefPtr<MAudioModule> endpoint_;
  double gap_ = 0.0;
  uint64_t silenceFramesLeft_ = 0;
  RefPtr<AudioFormat> silenceFormat_;
  double silenceTime_ = 0.0;
  int32_t lastState_ = 1;
  uint32_t nextTag_ = 1;
  AudioModuleInput* destination_ = nullptr;
  RefPtr<MPacketPool> pool_;
  MediaErrorRegistration errors_;
  Module module_{this};
  Output output_{this};
  ChainFace chain_{this};
  ChainProperties chainProperties_{this};
  NodeCallback callback_{this};
  SerialWorker worker_{"vk2 output node"};
};

// A chain's last module in the seamless case: one input, no output, owned by its output node.
class InputNode final : public ComObject<InputNode, Face<MAudioModule, kIID_MAudioModule>> {
 public:
  explicit InputNode(OutputNode* node);
  ~InputNode() override;

  int32_t HasInput() override { return 1; }
  int32_t HasOutput() override { return 0; }
  int32_t GetInputByName(AudioModuleInput** input, const char16_t* name) override;
  int32_t GetInput(AudioModuleInput** input, int32_t index) override;
  int32_t GetOutputByName(AudioModuleOutput** output, const char16_t*) override;
  int32_t GetOutput(AudioModuleOutput** output, int32_t) override;
  int32_t SetChain(MMediaChain* chain) override;
  int32_t StateChange(int32_t state) override;
  int32_t Prepare(int32_t mode) override;
  int32_t Seek(double seconds, uint32_t flags, uint32_t flush) override;

 private:
  friend class OutputNode;

  MUnknown* QueryMore(const Guid& iid) override;

  struct Notification {
    MAudioCallback* callback;
    double seconds;
    uint32_t key;
    uint32_t tag;
  };

  class Input final : public AudioModuleInput {
   public:
    explicit Input(InputNode* owner) : owner_(owner) {}
    int32_t GetName(TString* name) override;
    int32_t CanHandle(AudioModuleOutput* upstream, uint32_t* s1, uint32_t* s2) override;
    int32_t Connect(AudioModuleOutput* upstream) override;
    int32_t GetOwner(MAudioModule** owner) override;

   private:
    InputNode* owner_;
  };

  class Callbacks final : public SubObject<MCallbackRegistry, InputNode> {
   public:
    using SubObject::SubObject;
    int32_t RegisterCallback(MAudioCallback* callback, uint32_t key) override {
      return Owner()->callbacks_.Register(callback, key);
    }
    int32_t UnregisterCallback(MAudioCallback* callback, uint32_t key) override {
      return Owner()->callbacks_.Unregister(callback, key);
    }
  };

  class Notifications final : public SubObject<MTimeNotifications, InputNode> {
   public:
    using SubObject::SubObject;
    int32_t AddNotification(MAudioCallback* callback, double seconds, uint32_t key) override;
    int32_t RemoveNotification(MAudioCallback* callback, double seconds, uint32_t key) override;
  };

  // While this input is the head, its properties are the endpoint's (what is being heard).
  class Properties final : public SubObject<MModuleProperties, InputNode> {
   public:
    using SubObject::SubObject;
    int32_t GetString(const char16_t* name, TString* value) override;
    int32_t GetInteger(const char16_t* name, int32_t* value) override;
    int32_t GetNumber(const char16_t* name, double* value) override;
    int32_t Describe(PropertyDescriptionList* list) override;
    int32_t SetString(const char16_t* name, const char16_t* value) override;
    int32_t SetInteger(const char16_t* name, int32_t value) override;
    int32_t SetNumber(const char16_t* name, double value) override;
    int32_t LoadSettings(MPreferenceStore*) override { return 0; }
    int32_t SaveSettings(MPreferenceStore*) override { return 0; }
    int32_t SendFilterMessage(const char16_t*, uint32_t) override { return 0; }

   private:
    // The endpoint's properties when this input is the head, else null.
    RefPtr<MModuleProperties> HeadEndpoint();
  };

  RefPtr<OutputNode> node_;
  // Guarded by the node's queue lock.
  AudioModuleOutput* upstream_ = nullptr;
  MMediaChain* chain_ = nullptr;
  int32_t state_ = 1;
  bool queued_ = true;
  std::vector<Notification> notifications_;
  CallbackList callbacks_;
  Input input_{this};
  Callbacks callbackFace_{this};
  Notifications notificationFace_{this};
  Properties properties_{this};
};

}  // namespace vk2

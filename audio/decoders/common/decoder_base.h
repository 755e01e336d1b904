// What the decoders share (the MPEG, WAVE and Ogg Vorbis decoders present the same interface
// set): the main object, the input and output sub-objects, the property sub-object, the
// callback registry and the media-type list, the main lock, the connection to the upstream
// output, the current output format record and the requested output mode.
//
// Events: a decoder that replaces its format record while it holds the main lock only queues
// event 5 (QueueFormatChanged); the event goes to the callbacks when the outermost DecoderLock
// is released, so callbacks never run under the main lock.
#pragma once

#include <atomic>
#include <cstdint>
#include <utility>
#include <vector>

#include "audio/common/callback_list.h"
#include "audio/common/media_errors.h"
#include "audio/common/properties_face.h"
#include "audio/common/property_table.h"
#include "component/object/com_object.h"
#include "component/object/sub_object.h"
#include "foundation/util/ref_ptr.h"
#include "foundation/util/result.h"
#include "interfaces/audio/audio_callbacks.h"
#include "interfaces/audio/audio_module.h"
#include "interfaces/audio/audio_packet.h"
#include "interfaces/audio/chain_types.h"
#include "interfaces/audio/media_types.h"
#include "interfaces/ids.h"
#include "platform/critical_section.h"

namespace vk2 {

class MErrorRegistry;

// The sample width a downstream module asked for through SetFormat.
enum DecoderOutputMode : int32_t {
  kOutputModeNone = 0,
  kOutputModeInt16 = 1,
  kOutputModeFloat32 = 2,
};

// The scores CanHandle gives a stream the decoder has read and accepts (0 and 0 otherwise).
// Both clear the chain builder's "good enough" bar (score 1 above 79, score 2 above 19), so a
// decoder of the file's own type is taken without probing the others.
inline constexpr uint32_t kAcceptedScore1 = 80;
inline constexpr uint32_t kAcceptedScore2 = 50;

// A packet asked for before SetFormat chose the sample width: "Basic Errors" -13.
inline constexpr int32_t kErrNoOutputMode = kErrAccessDenied;

struct DecoderTraits {
  Guid ownInterface;
  // The read-only 7-operation property interface only (MModuleInfo), or both ids.
  bool readOnlyProperties = false;
  bool callbackRegistry = true;
  std::vector<std::pair<const char16_t*, const char16_t*>> fileTypes;  // (pattern, description)
  std::vector<const char16_t*> mimeTypes;  // each with the first file type's description
};

class DecoderBase : public ComObject<DecoderBase, Face<MAudioModule, kIID_MAudioModule>> {
 public:
  int32_t HasInput() override { return 1; }
  int32_t HasOutput() override { return 1; }
  int32_t GetInputByName(AudioModuleInput** input, const char16_t* name) override;
  int32_t GetInput(AudioModuleInput** input, int32_t index) override;
  int32_t GetOutputByName(AudioModuleOutput** output, const char16_t* name) override;
  int32_t GetOutput(AudioModuleOutput** output, int32_t index) override;
  int32_t SetChain(MMediaChain* chain) override;

 protected:
  explicit DecoderBase(DecoderTraits traits);
  ~DecoderBase() override;

  // The decoder's own class id, and the sub-objects its traits ask for.
  MUnknown* QueryMore(const Guid& iid) override;

  // The decoder-specific halves of the sub-objects.
  virtual int32_t CanHandle(AudioModuleOutput* upstream, uint32_t* score1, uint32_t* score2) = 0;
  virtual int32_t GetPacket(AudioPacket** slot) = 0;
  virtual int32_t GetFormats(AudioFormatList* formats) = 0;
  virtual int32_t SetFormat(AudioFormat* format) = 0;
  // Connect has chosen `upstream` (null: disconnected); under the main lock.
  virtual void OnConnected(AudioModuleOutput* upstream) { (void)upstream; }

  // Holds the main lock; releasing the outermost one delivers the events queued meanwhile.
  class DecoderLock {
   public:
    explicit DecoderLock(DecoderBase& decoder) : decoder_(decoder) { decoder_.mainLock_.Enter(); }
    ~DecoderLock();
    DecoderLock(const DecoderLock&) = delete;
    DecoderLock& operator=(const DecoderLock&) = delete;

   private:
    DecoderBase& decoder_;
  };
  // Whether a stream is there for the properties available only during playback: 0, or the
  // MediaSystem "wrong state" code. Under the main lock.
  virtual int32_t PlaybackState() const = 0;
  // The body of such a property's getter: `read` runs under the main lock once PlaybackState
  // allows; otherwise its code is the answer.
  template <typename Read>
  int32_t WhilePlaying(Read read) {
    DecoderLock lock(*this);
    if (const int32_t r = PlaybackState(); r < 0) return r;
    return read();
  }
  // Under the main lock: event 5 goes out once the lock is released.
  void QueueFormatChanged() { pendingFormatEvents_.fetch_add(1, std::memory_order_relaxed); }

  // The first byte-stream format `upstream` offers, or null (`result` gets GetFormats' failure).
  static RefPtr<AudioFormat> FindByteStreamFormat(AudioModuleOutput* upstream, int32_t* result);
  // The start every CanHandle shares, under the main lock: the decoder must be stopped, and
  // `upstream` is set to its first byte-stream format. 1 when there is a stream to probe;
  // otherwise what CanHandle answers (0 when no byte stream is offered, or a failure).
  int32_t SetUpProbe(AudioModuleOutput* upstream);
  // "repeat": set by the playlist to loop one piece; read and cleared under the main lock.
  void AddRepeatProperty(uint32_t flags);

  MMediaChain* Chain() const { return chain_.load(std::memory_order_acquire); }
  MErrorRegistry* ErrorRegistry() const { return errors_.Registry(); }
  int32_t State() const { return state_; }

  MediaErrorRegistration errors_;
  CriticalSection mainLock_;
  // Under the main lock.
  int32_t state_ = kChainStopped;
  bool repeat_ = false;
  AudioModuleOutput* upstream_ = nullptr;   // not counted
  AudioModuleInput* downstream_ = nullptr;  // not counted
  RefPtr<AudioFormat> format_;              // the current output format record
  int32_t outputMode_ = kOutputModeNone;
  RefPtr<MPacketPool> pool_;
  PropertyTable table_;
  PropertiesFace properties_{static_cast<MUnknown*>(this), &table_};

 private:
  class Input final : public AudioModuleInput {
   public:
    explicit Input(DecoderBase* owner) : owner_(owner) {}
    int32_t GetName(TString* name) override;
    int32_t CanHandle(AudioModuleOutput* upstream, uint32_t* s1, uint32_t* s2) override {
      return owner_->CanHandle(upstream, s1, s2);
    }
    int32_t Connect(AudioModuleOutput* upstream) override { return owner_->Connect(upstream); }
    int32_t GetOwner(MAudioModule** owner) override;

   private:
    DecoderBase* owner_;
  };
  class Output final : public AudioModuleOutput {
   public:
    explicit Output(DecoderBase* owner) : owner_(owner) {}
    int32_t GetName(TString* name) override;
    int32_t GetPacket(AudioPacket** slot) override { return owner_->GetPacket(slot); }
    int32_t GetFormats(AudioFormatList* formats) override { return owner_->GetFormats(formats); }
    int32_t SetFormat(AudioFormat* format) override { return owner_->SetFormat(format); }
    int32_t SetDestination(AudioModuleInput* downstream) override;
    int32_t GetOwner(MAudioModule** owner) override;

   private:
    DecoderBase* owner_;
  };
  class Registry final : public SubObject<MCallbackRegistry, DecoderBase> {
   public:
    using SubObject::SubObject;
    int32_t RegisterCallback(MAudioCallback* callback, uint32_t key) override {
      return Owner()->callbacks_.Register(callback, key);
    }
    int32_t UnregisterCallback(MAudioCallback* callback, uint32_t key) override {
      return Owner()->callbacks_.Unregister(callback, key);
    }
  };
  class Types final : public SubObject<MMediaTypes, DecoderBase> {
   public:
    using SubObject::SubObject;
    int32_t GetFileTypes(MediaTypeList* list) override;
    int32_t GetMimeTypes(MediaTypeList* list) override;
  };

  int32_t Connect(AudioModuleOutput* upstream);
  void DeliverEvents();

  DecoderTraits traits_;
  std::atomic<MMediaChain*> chain_{nullptr};
  std::atomic<int32_t> pendingFormatEvents_{0};
  CallbackList callbacks_;
  Input input_{this};
  Output output_{this};
  Registry registry_{this};
  Types types_{this};
};

}  // namespace vk2

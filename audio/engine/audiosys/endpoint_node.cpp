// The device-less endpoint: accepts the first PCM format it is offered, records states and
// settings, plays nothing. The media core ends its scan chains with it.
#include <new>

#include "audio/common/callback_list.h"
#include "audio/common/media_errors.h"
#include "audio/common/notification_list.h"
#include "audio/common/properties_face.h"
#include "audio/common/property_table.h"
#include "audio/engine/audiosys/chain_nodes.h"
#include "audio/engine/shared/endpoint_help.h"
#include "component/object/com_object.h"
#include "component/object/sub_object.h"
#include "foundation/util/result.h"
#include "interfaces/audio/audio_module.h"
#include "interfaces/audio/chain_types.h"
#include "interfaces/ids.h"
#include "platform/critical_section.h"

namespace vk2 {
namespace {

class EndpointNode final : public ComObject<EndpointNode, Face<MAudioModule, kIID_MAudioModule>> {
 public:
  EndpointNode() { BuildProperties(); }

  MUnknown* QueryMore(const Guid& iid) override {
    if (iid == kIID_MVolumeControl) return &volumeFace_;
    if (iid == kIID_MCallbackRegistry) return &callbacks_;
    if (iid == kIID_MTimeNotifications) return &notifications_;
    // Read-only: the node answers MModuleInfo, not MModuleProperties.
    if (iid == kIID_MModuleInfo) return static_cast<MModuleInfo*>(&properties_);
    return nullptr;
  }

  int32_t HasInput() override { return 1; }
  int32_t HasOutput() override { return 0; }
  int32_t GetInputByName(AudioModuleInput** input, const char16_t* name) override {
    if (!input) return kErrMissingArg;
    *input = nullptr;
    if (!name || WideCompare(name, u"input", true) != 0) return kErrNotFound;
    *input = &input_;
    return kOk;
  }
  int32_t GetInput(AudioModuleInput** input, int32_t index) override {
    if (!input) return kErrMissingArg;
    *input = index == 0 ? &input_ : nullptr;
    return index == 0 ? kOk : kErrNotFound;
  }
  int32_t GetOutputByName(AudioModuleOutput** output, const char16_t*) override {
    if (output) *output = nullptr;
    return kErrNotFound;
  }
  int32_t GetOutput(AudioModuleOutput** output, int32_t) override {
    if (output) *output = nullptr;
    return kErrNotFound;
  }
  int32_t SetChain(MMediaChain*) override { return kOk; }
  int32_t StateChange(int32_t state) override {
    if (!IsKnownChainState(state)) return MediaError(kMsUnknownState);
    ScopedLock lock(lock_);
    state_ = state;
    return kOk;
  }
  int32_t Prepare(int32_t) override { return kOk; }
  int32_t Seek(double, uint32_t, uint32_t flush) override {
    ScopedLock lock(lock_);
    if (flush & 0xFF) seekMark_ = true;
    return kOk;
  }

 private:
  class Input final : public AudioModuleInput {
   public:
    explicit Input(EndpointNode* node) : node_(node) {}
    int32_t GetName(TString* name) override {
      if (name) *name = u"input";
      return kOk;
    }
    int32_t CanHandle(AudioModuleOutput* upstream, uint32_t* s1, uint32_t* s2) override {
      if (!upstream || !s1 || !s2) return kErrMissingArg;
      ScopedLock lock(node_->lock_);
      *s1 = *s2 = 0;
      AudioFormatList formats;
      const int32_t r = upstream->GetFormats(&formats);
      if (r < 0) return r;
      for (uint32_t i = 0; i < formats.Count(); ++i) {
        if (IsPcm(*formats.At(i))) {
          *s1 = 100;
          *s2 = 1;
          break;
        }
      }
      return kOk;
    }
    int32_t Connect(AudioModuleOutput* upstream) override {
      ScopedLock lock(node_->lock_);
      node_->upstream_ = upstream;
      if (!upstream) return kOk;
      AudioFormatList formats;
      const int32_t r = upstream->GetFormats(&formats);
      if (r < 0) return r;
      for (uint32_t i = 0; i < formats.Count(); ++i) {
        AudioFormat* f = formats.At(i);
        if (!IsPcm(*f)) continue;
        const int32_t set = upstream->SetFormat(f);
        if (set < 0) return set;
        node_->sampleRate_ = f->sampleRate;
        node_->channels_ = f->channels;
        node_->bits_ = f->bitsPerSample;
        node_->isFloat_ = f->isFloat;
        node_->isSigned_ = f->isSigned;
        return kOk;
      }
      return MediaError(kMsIncompatibleFormat);
    }
    int32_t GetOwner(MAudioModule** owner) override {
      if (!owner) return kErrMissingArg;
      node_->AddRef();
      *owner = node_;
      return kOk;
    }

   private:
    EndpointNode* node_;
  };

  class Volume final : public SubObject<MVolumeControl, EndpointNode> {
   public:
    using SubObject::SubObject;
    int32_t SetVolume(double v) override {
      if (!(v >= 0.0 && v <= 1.0)) return kErrMissingArg;
      ScopedLock lock(Owner()->lock_);
      Owner()->volume_ = v;
      return kOk;
    }
    int32_t GetVolume(double* v) override {
      if (!v) return kErrMissingArg;
      ScopedLock lock(Owner()->lock_);
      *v = Owner()->volume_;
      return kOk;
    }
    int32_t SetBalance(double b) override {
      if (!(b >= -1.0 && b <= 1.0)) return kErrMissingArg;
      ScopedLock lock(Owner()->lock_);
      Owner()->balance_ = b;
      return kOk;
    }
    int32_t GetBalance(double* b) override {
      if (!b) return kErrMissingArg;
      ScopedLock lock(Owner()->lock_);
      *b = Owner()->balance_;
      return kOk;
    }
    int32_t RampVolume(double from, double to, double seconds) override {
      if (!(from >= 0.0 && from <= 1.0) || !(to >= 0.0 && to <= 1.0) ||
          !(seconds > 0.0 && seconds <= 60.0)) {
        return kErrMissingArg;
      }
      ScopedLock lock(Owner()->lock_);
      Owner()->volume_ = to;
      return kOk;
    }
  };

  class Callbacks final : public SubObject<MCallbackRegistry, EndpointNode> {
   public:
    using SubObject::SubObject;
    int32_t RegisterCallback(MAudioCallback* callback, uint32_t key) override {
      return Owner()->callbackList_.Register(callback, key);
    }
    int32_t UnregisterCallback(MAudioCallback* callback, uint32_t key) override {
      return Owner()->callbackList_.Unregister(callback, key);
    }
  };

  // Kept and never fired: the node plays nothing, so no time is ever heard.
  class Notifications final : public SubObject<MTimeNotifications, EndpointNode> {
   public:
    using SubObject::SubObject;
    int32_t AddNotification(MAudioCallback* callback, double seconds, uint32_t key) override {
      ScopedLock lock(Owner()->lock_);
      return Owner()->notificationList_.Add(callback, seconds, key);
    }
    int32_t RemoveNotification(MAudioCallback* callback, double seconds, uint32_t key) override {
      ScopedLock lock(Owner()->lock_);
      return Owner()->notificationList_.Remove(callback, seconds, key);
    }
  };

  uint32_t BytesPerSecondLocked() const { return (bits_ + 7) / 8 * channels_ * sampleRate_; }

  void BuildProperties() {
    // Every value but "bytespersecond" and "bufferlength" exists only while the chain runs.
    auto playing = [this](auto fn) {
      return [this, fn](auto* v) {
        ScopedLock lock(lock_);
        if (state_ == kChainStopped) return MediaError(kMsWrongState);
        *v = fn();
        return kOk;
      };
    };
    table_.AddNumber(u"bufferlength", kPropStoredNumber, kHelpBufferLength, [](double* v) {
      *v = 0.1;
      return kOk;
    });
    table_.AddInteger(u"channels", kPropFormatInteger, kHelpChannels,
                      playing([this] { return static_cast<int32_t>(channels_); }));
    table_.AddInteger(u"samplerate", kPropFormatInteger, kHelpSampleRate,
                      playing([this] { return static_cast<int32_t>(sampleRate_); }));
    table_.AddInteger(u"buffersize", kPropPlaybackDeviceInteger, kHelpBufferSize,
                      playing([] { return int32_t{4096}; }));
    table_.AddNumber(u"bufferlevel", kPropPlaybackNumber, kHelpBufferLevel,
                     playing([] { return 1.0; }));
    table_.AddNumber(u"throughtime", kPropPlaybackNumber, kHelpThroughTime,
                     playing([this] { return SecondsCounted(); }));
    table_.AddInteger(u"throughbytes", kPropPlaybackInteger, kHelpThroughBytes,
                      playing([this] { return static_cast<int32_t>(bytesCounted_); }));
    table_.AddNumber(u"streamtime", kPropPlaybackNumber, kHelpStreamTime,
                     playing([this] { return SecondsCounted(); }));
    table_.AddInteger(u"currentstreamid", kPropPlaybackInteger, kHelpCurrentStreamId,
                      playing([this] { return currentStreamId_; }));
    // Not described, as with the generic endpoint's counters.
    table_.AddInteger(u"heardbytes", kPropPlaybackInteger, nullptr,
                      playing([this] { return static_cast<int32_t>(bytesCounted_); }));
    table_.AddInteger(u"bytespersecond", kPropInfo, nullptr, [this](int32_t* v) {
      ScopedLock lock(lock_);
      *v = static_cast<int32_t>(BytesPerSecondLocked());
      return kOk;
    });
  }

  double SecondsCounted() const {
    const uint32_t bps = BytesPerSecondLocked();
    return bps ? static_cast<double>(bytesCounted_) / bps : 0.0;
  }

  CriticalSection lock_;
  int32_t state_ = kChainStopped;
  double volume_ = 1.0;
  double balance_ = 0.0;
  AudioModuleOutput* upstream_ = nullptr;
  uint32_t sampleRate_ = 0;
  uint32_t channels_ = 0;
  uint32_t bits_ = 0;
  uint8_t isFloat_ = 0;
  uint8_t isSigned_ = 0;
  int32_t currentStreamId_ = 0;
  uint64_t bytesCounted_ = 0;
  bool seekMark_ = false;
  CallbackList callbackList_;
  NotificationList notificationList_;
  MediaErrorRegistration errors_;
  PropertyTable table_;
  Input input_{this};
  Volume volumeFace_{this};
  Callbacks callbacks_{this};
  Notifications notifications_{this};
  PropertiesFace properties_{this, &table_};
};

}  // namespace

int32_t CreateEndpointNode(void** out) {
  if (!out) return kErrMissingArg;
  auto* node = new (std::nothrow) EndpointNode;
  if (!node) {
    *out = nullptr;
    return kErrOutOfMemory;
  }
  node->AddRef();
  *out = static_cast<MAudioModule*>(node);
  return kOk;
}

}  // namespace vk2

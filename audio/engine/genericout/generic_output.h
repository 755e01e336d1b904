// The generic output endpoint: the last module of every playing chain. Its playback thread
// pulls PCM packets from upstream and writes them into an output device; the endpoint follows
// the chain states, maps the bytes written back to stream time and stream ids, ramps the
// volume, fires time notifications and reports the end of a stream, failures and format
// changes to its chain.
//
// Locks, in order: the operation lock (owner operations that wait; the playback thread never
// takes it), the state lock, then either the time lock or the flags lock (never both). Every
// wait for the playback thread (start, suspension, stop) happens with the state lock released,
// every event is fired after those locks are released (under the fire lock alone), and the
// endpoint never calls its upstream or its chain while it holds the state lock.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <memory>

#include "audio/common/callback_list.h"
#include "audio/common/media_errors.h"
#include "audio/common/notification_list.h"
#include "audio/common/properties_face.h"
#include "audio/common/property_table.h"
#include "audio/engine/genericout/heard_time.h"
#include "component/object/com_object.h"
#include "component/object/sub_object.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/audio/audio_callbacks.h"
#include "interfaces/audio/audio_module.h"
#include "interfaces/audio/output_device.h"
#include "interfaces/ids.h"
#include "platform/critical_section.h"
#include "platform/event.h"
#include "platform/thread.h"

namespace vk2 {

class GenericOutput final
    : public ComObject<GenericOutput, Face<AudioEndpoint, kIID_AudioEndpoint, kIID_MAudioModule>> {
 public:
  static constexpr uint32_t kDefaultBufferMs = 1200;
  // How long a seek waits for the playback thread to drop what the device holds.
  static constexpr uint32_t kFlushWaitMs = 2000;
  static constexpr uint32_t kMinBufferMs = 25;
  static constexpr uint32_t kMaxBufferMs = 10000;
  // Waits for the playback thread (start, suspension, stop) give up after this long; a thread
  // that does not end by then is left to end by itself (it holds the endpoint).
  static constexpr uint32_t kThreadWaitLimitMs = 10000;
  // The thread writes when more than this many bytes are free (or a quarter of a smaller
  // buffer).
  static constexpr uint32_t kWriteThreshold = 512;
  // With the device buffer topped up, the thread sleeps until this share of it is free again
  // (a quarter), so it wakes a few times a second rather than for every few milliseconds played.
  static constexpr uint32_t kRefillDivisor = 4;
  // The longest it sleeps in one go: what nothing else wakes it for (a device that plays
  // slower or faster than its rate says) is looked at this often.
  static constexpr uint32_t kIdleWaitMs = 250;
  // A volume ramp is stepped this often.
  static constexpr uint32_t kRampStepMs = 10;

  // A new endpoint with one reference; null when memory runs out.
  static RefPtr<GenericOutput> Create();

  // MAudioModule
  int32_t HasInput() override { return 1; }
  int32_t HasOutput() override { return 0; }
  int32_t GetInputByName(AudioModuleInput** input, const char16_t* name) override;
  int32_t GetInput(AudioModuleInput** input, int32_t index) override;
  int32_t GetOutputByName(AudioModuleOutput** output, const char16_t* name) override;
  int32_t GetOutput(AudioModuleOutput** output, int32_t index) override;
  int32_t SetChain(MMediaChain* chain) override;
  int32_t StateChange(int32_t state) override;
  int32_t Prepare(int32_t) override { return 0; }
  int32_t Seek(double seconds, uint32_t flags, uint32_t flush) override;
  // AudioEndpoint
  int32_t SetOutputDevice(MOutputDevice* device) override;

  // For tests and diagnostics.
  int32_t CurrentState();
  uint32_t BufferMs();

 private:
  // The volume, callback, notification and property sub-objects.
  MUnknown* QueryMore(const Guid& iid) override;

  struct Session;
  struct PendingEvent {
    MAudioCallback* callback;  // null: every registered callback
    int32_t code;
    uint32_t key;
    int32_t argument;
  };
  using Events = std::vector<PendingEvent>;

  class Input final : public AudioModuleInput {
   public:
    explicit Input(GenericOutput* owner) : owner_(owner) {}
    int32_t GetName(TString* name) override;
    int32_t CanHandle(AudioModuleOutput* upstream, uint32_t* s1, uint32_t* s2) override;
    int32_t Connect(AudioModuleOutput* upstream) override;
    int32_t GetOwner(MAudioModule** owner) override;

   private:
    GenericOutput* owner_;
  };

  class Volume final : public SubObject<MVolumeControl, GenericOutput> {
   public:
    using SubObject::SubObject;
    int32_t SetVolume(double volume) override;
    int32_t GetVolume(double* volume) override;
    int32_t SetBalance(double balance) override;
    int32_t GetBalance(double* balance) override;
    int32_t RampVolume(double from, double to, double seconds) override;
  };

  class Callbacks final : public SubObject<MCallbackRegistry, GenericOutput> {
   public:
    using SubObject::SubObject;
    int32_t RegisterCallback(MAudioCallback* callback, uint32_t key) override;
    int32_t UnregisterCallback(MAudioCallback* callback, uint32_t key) override;
  };

  class Notifications final : public SubObject<MTimeNotifications, GenericOutput> {
   public:
    using SubObject::SubObject;
    int32_t AddNotification(MAudioCallback* callback, double seconds, uint32_t key) override;
    int32_t RemoveNotification(MAudioCallback* callback, double seconds, uint32_t key) override;
  };

  GenericOutput();
  ~GenericOutput() override;
  void BuildProperties();

  // ---- State machine (owner thread, under the operation lock) ----
  using StateLock = std::unique_lock<CriticalSection>;
  int32_t StartPlayback(StateLock& st);
  void StopPlayback(StateLock& st);
  void Suspend(StateLock& st, bool wasPlaying);
  void Resume();
  // Waits (bounded) until the playback thread has answered the last seek.
  void AwaitFlush(Session& session);
  // Waits until the previous playback thread has ended (state lock released meanwhile).
  bool WaitForOldThread(StateLock& st);
  bool ThreadEndedItself() const;
  // A playback thread runs and has not stopped by itself.
  bool ThreadRunning() const;

  // Wakes the playback thread to look again at once, unless it plays out the end of the stream
  // (where the wake event cuts the drain short, which is for pauses and stops).
  void WakeThread();

  // ---- Device control ----
  bool DevicePlay();
  bool DevicePause();

  // ---- Playback thread ----
  void Run(const std::shared_ptr<Session>& session);
  // Returns false when the loop must end.
  bool Pass(Session& s, Events& events);
  bool Fetch(Session& s, Events& events);
  void Flush(Session& s, Events& events);
  void Write(Session& s, uint32_t free);
  // Moves the heard-time map to what the device has played when it had `free` bytes free.
  void AdvanceHeard(Session& s, uint32_t free, Events& events);
  // How long the thread may sleep after a pass: until the device has room for a worthwhile
  // write, a stream change or a notification is heard, or a ramp step falls due.
  uint32_t IdleWaitMs(const Session& s);
  // After a flush: whether the new position is in the device far enough to answer the seek.
  bool SeekLanded(Session& s);
  bool FinishStream(Session& s, Events& events);
  void ParkWhileSuspended(Session& s);
  void RampStep();
  // Fires the notifications that fell due; answers the seconds until the next one does
  // (infinity when none will while the device plays on as it is).
  double NotificationStep();
  // Fires event 7 to the callback of each notification; the fire lock is held.
  void FireNotificationsLocked(const std::vector<TimeNotification>& due);
  void ApplyPriority(Session& s);
  void StopFromThread(Session& s, int32_t code, int32_t argument, Events& events);

  // Writes wait for more than this much room: the write threshold, or a quarter of a device
  // buffer smaller than four times it.
  static uint32_t WriteThreshold(uint32_t bufferSize) {
    return std::min(kWriteThreshold, bufferSize / 4);
  }
  // Stream time now heard; under the time lock.
  double CurrentStreamTimeLocked();
  double CurrentStreamTime();
  // Fires collected events outside every lock.
  void Fire(Events& events);
  void Collect(Events& events, int32_t code, int32_t argument = 0);

  int32_t StoppedError() const { return MediaError(kMsWrongState); }

  CriticalSection opLock_;
  CriticalSection stateLock_;
  CriticalSection timeLock_;
  CriticalSection flagsLock_;
  CriticalSection settingsLock_;
  // Held while events are fired; unregistering and removing notifications take it, so no
  // callback is called after its receiver took it out.
  CriticalSection fireLock_;

  // Guarded by the state lock.
  RefPtr<MOutputDevice> device_;
  MMediaChain* chain_ = nullptr;  // not counted: a chain stops its endpoint before it goes
  AudioModuleOutput* upstream_ = nullptr;
  RefPtr<AudioFormat> format_;
  int32_t state_ = 1;
  double volume_ = 1.0;
  double rampLevel_ = 1.0;
  double balance_ = 0.0;
  struct Ramp {
    bool active = false;
    double start = 0, end = 0, from = 1, to = 1;
  } ramp_;
  bool wasPlaying_ = false;
  int32_t detectionFrom_ = 1;  // the state format detection was entered from
  NotificationList notificationList_;
  std::atomic<bool> hasNotifications_{false};
  std::atomic<bool> rampActive_{false};

  // Guarded by the settings lock.
  uint32_t bufferMs_ = kDefaultBufferMs;
  bool realtime_ = false;
  std::atomic<bool> realtimeChanged_{false};

  // The playback thread (owner side, under the operation lock) and its current session.
  Thread thread_;
  std::shared_ptr<Session> session_;  // guarded by the state lock
  Event wake_{EventReset::kAuto};
  Event resume_{EventReset::kAuto};
  std::atomic<bool> stopRequested_{false};
  std::atomic<bool> suspendRequested_{false};
  std::atomic<bool> flushPending_{false};
  std::atomic<double> flushTime_{0.0};
  Event flushDone_{EventReset::kManual};  // set by the playback thread once a flush is done

  // Guarded by the flags lock.
  bool deviceOpen_ = false;  // the playback thread has the device open
  bool playing_ = false;
  bool draining_ = false;
  bool restartPending_ = false;
  uint32_t drainCuts_ = 0;  // pauses and suspensions: each cuts a drain under way short

  // Guarded by the time lock.
  uint32_t bufferSize_ = 0;  // N
  uint64_t total_ = 0;
  uint32_t maxFree_ = 0;
  uint32_t bytesPerSecond_ = 0;
  bool finished_ = false;
  HeardTimeMap heard_;

  CallbackList callbackList_;
  MediaErrorRegistration errors_;
  PropertyTable table_;
  Input input_{this};
  Volume volumeFace_{this};
  Callbacks callbacks_{this};
  Notifications notifications_{this};
  PropertiesFace properties_{this, &table_};
};

}  // namespace vk2

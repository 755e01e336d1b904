#include "audio/engine/genericout/generic_output.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "audio/engine/genericout/playback_session.h"
#include "audio/engine/shared/endpoint_help.h"
#include "foundation/util/result.h"
#include "interfaces/audio/chain_types.h"
#include "interfaces/audio/media_chain.h"
#include "interfaces/ids.h"

namespace vk2 {

RefPtr<GenericOutput> GenericOutput::Create() {
  auto* e = new (std::nothrow) GenericOutput;
  return RefPtr<GenericOutput>(e);
}

GenericOutput::GenericOutput() {
  BuildProperties();
  properties_.SetInner([this]() -> RefPtr<MModuleProperties> {
    ScopedLock lock(stateLock_);
    return RefPtr<MModuleProperties>(device_.Get());
  });
}

GenericOutput::~GenericOutput() {
  // Owners stop the endpoint before they let it go; this is the last way out for one that did
  // not. The thread holds the endpoint, so it has ended (or this runs on it).
  stopRequested_ = true;
  resume_.Set();
  wake_.Set();
  if (thread_.IsStarted()) {
    if (thread_.IsCurrent()) {
      thread_.Detach();
    } else {
      thread_.Join(nullptr, kThreadWaitLimitMs);
    }
  }
}

MUnknown* GenericOutput::QueryMore(const Guid& iid) {
  if (iid == kIID_MVolumeControl) return &volumeFace_;
  if (iid == kIID_MCallbackRegistry) return &callbacks_;
  if (iid == kIID_MTimeNotifications) return &notifications_;
  if (iid == kIID_MModuleInfo || iid == kIID_MModuleProperties) return &properties_;
  return nullptr;
}

int32_t GenericOutput::GetInputByName(AudioModuleInput** input, const char16_t* name) {
  if (!input) return kErrMissingArg;
  *input = nullptr;
  if (!name || WideCompare(name, u"input", true) != 0) return kErrNotFound;
  *input = &input_;
  return kOk;
}

int32_t GenericOutput::GetInput(AudioModuleInput** input, int32_t index) {
  if (!input) return kErrMissingArg;
  *input = index == 0 ? &input_ : nullptr;
  return index == 0 ? kOk : kErrNotFound;
}

int32_t GenericOutput::GetOutputByName(AudioModuleOutput** output, const char16_t*) {
  if (output) *output = nullptr;
  return kErrNotFound;
}

int32_t GenericOutput::GetOutput(AudioModuleOutput** output, int32_t) {
  if (output) *output = nullptr;
  return kErrNotFound;
}

int32_t GenericOutput::SetChain(MMediaChain* chain) {
  ScopedLock lock(stateLock_);
  chain_ = chain;
  return kOk;
}

int32_t GenericOutput::SetOutputDevice(MOutputDevice* device) {
  RefPtr<MOutputDevice> old;
  ScopedLock lock(stateLock_);
  old = std::move(device_);
  device_ = RefPtr<MOutputDevice>(device);
  return kOk;
}

int32_t GenericOutput::CurrentState() {
  ScopedLock lock(stateLock_);
  return state_;
}

uint32_t GenericOutput::BufferMs() {
  ScopedLock lock(settingsLock_);
  return bufferMs_;
}

// ---- Input ---------------------------------------------------------------------------------

int32_t GenericOutput::Input::GetName(TString* name) {
  if (name) *name = u"input";
  return kOk;
}

int32_t GenericOutput::Input::CanHandle(AudioModuleOutput* upstream, uint32_t* s1, uint32_t* s2) {
  if (!upstream || !s1 || !s2) return kErrMissingArg;
  *s1 = *s2 = 0;
  RefPtr<MOutputDevice> device;
  {
    ScopedLock lock(owner_->stateLock_);
    device = owner_->device_;
  }
  if (!device) return kOk;
  // The upstream is asked without the state lock: an output node's upstream takes its own lock.
  AudioFormatList formats;
  const int32_t r = upstream->GetFormats(&formats);
  if (r < 0) return r;
  for (uint32_t i = 0; i < formats.Count(); ++i) {
    const int32_t can = device->CanOpen(formats.At(i));
    if (can < 0) return can;
    if (can > 0) {
      *s1 = 100;
      *s2 = 50;
      break;
    }
  }
  return kOk;
}

int32_t GenericOutput::Input::Connect(AudioModuleOutput* upstream) {
  if (!upstream) {
    ScopedLock lock(owner_->stateLock_);
    owner_->upstream_ = nullptr;
    owner_->format_ = nullptr;
    return kOk;
  }
  RefPtr<MOutputDevice> device;
  {
    ScopedLock lock(owner_->stateLock_);
    owner_->upstream_ = upstream;
    device = owner_->device_;
  }
  AudioFormatList formats;
  const int32_t r = upstream->GetFormats(&formats);
  if (r < 0) return r;
  AudioFormat* best = nullptr;
  uint32_t bestScore = 0;
  for (uint32_t i = 0; device && i < formats.Count(); ++i) {
    AudioFormat* f = formats.At(i);
    if (device->CanOpen(f) <= 0) continue;
    const uint32_t score = device->FormatScore(f);
    if (!best || score > bestScore) {  // the first of equals is kept
      best = f;
      bestScore = score;
    }
  }
  if (!best) return MediaError(kMsIncompatibleFormat);
  {
    ScopedLock lock(owner_->stateLock_);
    owner_->format_ = RefPtr<AudioFormat>(best);
  }
  return upstream->SetFormat(best);
}

int32_t GenericOutput::Input::GetOwner(MAudioModule** owner) {
  if (!owner) return kErrMissingArg;
  owner_->AddRef();
  *owner = owner_;
  return kOk;
}

// ---- State machine ---------------------------------------------------------------------------

void GenericOutput::WakeThread() {
  // Under the flags lock: a drain that starts after this sees the event reset.
  ScopedLock lock(flagsLock_);
  if (!draining_) wake_.Set();
}

bool GenericOutput::DevicePlay() {
  // The playback thread sleeps while the device does not play; it takes up the new pace now.
  WakeThread();
  ScopedLock lock(flagsLock_);
  // The playback thread stopped by itself meanwhile (and closed the device): nothing to play.
  if (!deviceOpen_) return true;
  // A flush stopped the device; the next write restarts it.
  if (restartPending_) return true;
  playing_ = device_ && device_->Play();
  return playing_;
}

bool GenericOutput::DevicePause() {
  ScopedLock lock(flagsLock_);
  if (!deviceOpen_) return true;
  if (restartPending_) {
    restartPending_ = false;
    playing_ = false;
    return true;
  }
  playing_ = false;
  ++drainCuts_;
  const bool paused = device_ && device_->Pause();
  // A pause while the end of the stream is played out really pauses: the drain is cut short
  // and taken up again on the next play.
  if (draining_) wake_.Set();
  return paused;
}

bool GenericOutput::ThreadEndedItself() const {
  return session_ && session_->endedItself.load(std::memory_order_acquire);
}

bool GenericOutput::WaitForOldThread(StateLock& st) {
  // Judged by the session, not by the thread record: a thread a stop gave up on was detached
  // and may still be on its way out.
  std::shared_ptr<Session> old = session_;
  if (old && !old->ended.Wait(0)) {
    stopRequested_ = true;
    resume_.Set();
    wake_.Set();
    st.unlock();
    const bool ended = old->ended.Wait(kThreadWaitLimitMs);
    st.lock();
    if (!ended) return false;
  }
  if (thread_.IsStarted()) {
    thread_.Join(nullptr, kThreadWaitLimitMs);
    thread_.CloseHandle();
  }
  return true;
}

int32_t GenericOutput::StartPlayback(StateLock& st) {
  // An old thread (one that stopped itself at the end of a stream) ends before a new one starts.
  if (!WaitForOldThread(st)) return kErrRefused;
  if (!device_ || !format_) return MediaError(kMsIncompatibleFormat);

  auto session = std::make_shared<Session>();
  session->device = device_;
  session->format = format_;
  {
    ScopedLock lock(settingsLock_);
    session->bufferSeconds = bufferMs_ * 0.001;
  }
  session->volumeLevel = rampLevel_ * volume_;
  session->balance = balance_;
  stopRequested_ = false;
  suspendRequested_ = false;
  flushPending_ = false;
  flushDone_.Set();  // no seek outstanding
  {
    ScopedLock lock(flagsLock_);
    playing_ = false;
    draining_ = false;
    restartPending_ = false;
  }
  session_ = session;
  AddRef();  // the thread's own reference
  if (!thread_.Start([this, session] {
        SetCurrentThreadName("vk2 playback");
        Run(session);
        Release();
      })) {
    Release();
    session_ = nullptr;
    return kErrRefused;
  }
  st.unlock();
  const bool started = session->started.Wait(kThreadWaitLimitMs);
  st.lock();
  if (!started) {
    // The device did not open in time: the thread is told to end and left to do so.
    stopRequested_ = true;
    wake_.Set();
    return MediaError(kMsDeviceFailed);
  }
  return session->startResult;
}

void GenericOutput::StopPlayback(StateLock& st) {
  {
    ScopedLock lock(flagsLock_);
    if (device_ && deviceOpen_) device_->Flush();
  }
  stopRequested_ = true;
  suspendRequested_ = false;
  resume_.Set();
  wake_.Set();
  if (!thread_.IsStarted()) return;
  if (thread_.IsCurrent()) {
    // Stopped from inside one of its own events: it ends when the event returns.
    thread_.Detach();
    return;
  }
  std::shared_ptr<Session> session = session_;
  st.unlock();
  const bool ended = !session || session->ended.Wait(kThreadWaitLimitMs);
  st.lock();
  if (ended) {
    thread_.Join(nullptr, kThreadWaitLimitMs);
    thread_.CloseHandle();
  } else {
    // Blocked upstream beyond every time limit: it ends by itself, holding the endpoint.
    thread_.Detach();
  }
}

void GenericOutput::Suspend(StateLock& st, bool wasPlaying) {
  wasPlaying_ = wasPlaying;
  std::shared_ptr<Session> session = session_;
  if (!session) return;
  session->suspended.Reset();
  suspendRequested_ = true;
  {
    // A drain under way ends early; the end is played out after the resume.
    ScopedLock lock(flagsLock_);
    ++drainCuts_;
  }
  // The thread parks at its next pass, which comes now.
  wake_.Set();
  // The handshake happens with the state lock released; a thread that ends instead wakes the
  // waiter too. Past the limit the thread parks at its next pass.
  st.unlock();
  WaitAny({&session->suspended, &session->ended}, kThreadWaitLimitMs);
  st.lock();
}

void GenericOutput::Resume() {
  suspendRequested_ = false;
  resume_.Set();
}

bool GenericOutput::ThreadRunning() const {
  return session_ && !session_->ended.Wait(0) && !ThreadEndedItself();
}

int32_t GenericOutput::StateChange(int32_t state) {
  ScopedLock op(opLock_);
  StateLock st(stateLock_);
  int32_t current = state_;
  const int32_t deviceFailed = MediaError(kMsDeviceFailed);
  int32_t r = kOk;
  if (!IsKnownChainState(state)) return MediaError(kMsUnknownState);
  // Format detection only changes the state. Entered from a running state (a filter inserted
  // into a cued chain), the endpoint keeps running, and leaving it goes on from where it was:
  // a stop then really stops.
  if (current == kChainFormatDetection && ThreadRunning()) current = detectionFrom_;
  if (state == kChainFormatDetection) {
    if (current != kChainFormatDetection) detectionFrom_ = current;
    state_ = state;
    return kOk;
  }
  switch (current) {
    case kChainStopped:
    case kChainFormatDetection:
      if (state == kChainCued) {
        r = StartPlayback(st);
      } else if (state == kChainPlaying) {
        r = StartPlayback(st);
        if (r >= 0 && !DevicePlay()) {
          StopPlayback(st);
          r = deviceFailed;
        }
      }
      break;
    case kChainSuspended:
      if (state == kChainStopped) {
        Resume();
        const bool paused = DevicePause();
        StopPlayback(st);
        // Stopped either way; a refused pause is still reported.
        state_ = kChainStopped;
        return paused ? kOk : deviceFailed;
      }
      if (state == kChainCued) {
        if (wasPlaying_ && !DevicePause()) return deviceFailed;
        Resume();
      } else if (state == kChainPlaying) {
        if (!wasPlaying_ && !DevicePlay()) return deviceFailed;
        Resume();
      }
      if (state != kChainStopped) {
        // A seek made while parked is answered here, once its flush is done.
        std::shared_ptr<Session> session = session_;
        if (session && !flushDone_.Wait(0) && !thread_.IsCurrent()) {
          st.unlock();
          AwaitFlush(*session);
          st.lock();
        }
      }
      break;
    case kChainCued:
      if (state == kChainSuspended) {
        Suspend(st, false);
      } else if (state == kChainStopped) {
        StopPlayback(st);
      } else if (state == kChainPlaying) {
        if (!DevicePlay()) {
          StopPlayback(st);
          state_ = kChainStopped;
          return deviceFailed;
        }
      }
      break;
    case kChainPlaying:
      if (state == kChainStopped) {
        const bool paused = DevicePause();
        StopPlayback(st);
        state_ = kChainStopped;
        return paused ? kOk : deviceFailed;
      }
      if (state == kChainCued) {
        if (!DevicePause()) return deviceFailed;
      } else if (state == kChainSuspended) {
        Suspend(st, true);
      }
      break;
    default:
      return MediaError(kMsUnknownState);
  }
  if (r < 0) return r;
  // A thread that stopped itself meanwhile (end of stream, upstream failure) left the state at 1.
  if (state == kChainStopped || !ThreadEndedItself()) state_ = state;
  return kOk;
}

int32_t GenericOutput::Seek(double seconds, uint32_t, uint32_t flush) {
  std::shared_ptr<Session> session;
  {
    ScopedLock lock(stateLock_);
    if (state_ == kChainStopped || state_ == kChainFormatDetection) return StoppedError();
    if (!(flush & 0xFF) || flushPending_.load()) return kOk;
    flushTime_.store(seconds);
    flushDone_.Reset();
    flushPending_.store(true, std::memory_order_release);
    if (ThreadRunning() && !thread_.IsCurrent()) session = session_;
  }
  wake_.Set();
  // A play that follows at once must not hear what the device held from before the seek: wait
  // until the playback thread has dropped it. A parked thread flushes when it runs again, and
  // the resume waits.
  if (session && !suspendRequested_.load(std::memory_order_acquire)) AwaitFlush(*session);
  return kOk;
}

void GenericOutput::AwaitFlush(Session& session) {
  WaitAny({&flushDone_, &session.ended}, kFlushWaitMs);
}

// ---- Volume ----------------------------------------------------------------------------------

namespace {
bool InRange(double v, double lo, double hi) {
  return v >= lo && v <= hi;
}
}  // namespace

int32_t GenericOutput::Volume::SetVolume(double volume) {
  if (!InRange(volume, 0.0, 1.0)) return kErrMissingArg;
  ScopedLock lock(Owner()->stateLock_);
  Owner()->volume_ = volume;
  if (Owner()->state_ != kChainStopped && Owner()->device_ &&
      !Owner()->device_->SetVolume(Owner()->rampLevel_ * volume)) {
    return MediaError(kMsDeviceFailed);
  }
  return kOk;
}

int32_t GenericOutput::Volume::GetVolume(double* volume) {
  if (!volume) return kErrMissingArg;
  ScopedLock lock(Owner()->stateLock_);
  *volume = Owner()->volume_;
  return kOk;
}

int32_t GenericOutput::Volume::SetBalance(double balance) {
  if (!InRange(balance, -1.0, 1.0)) return kErrMissingArg;
  ScopedLock lock(Owner()->stateLock_);
  Owner()->balance_ = balance;
  if (Owner()->state_ != kChainStopped && Owner()->device_ &&
      !Owner()->device_->SetBalance(balance)) {
    return MediaError(kMsDeviceFailed);
  }
  return kOk;
}

int32_t GenericOutput::Volume::GetBalance(double* balance) {
  if (!balance) return kErrMissingArg;
  ScopedLock lock(Owner()->stateLock_);
  *balance = Owner()->balance_;
  return kOk;
}

int32_t GenericOutput::Volume::RampVolume(double from, double to, double seconds) {
  if (!InRange(from, 0.0, 1.0) || !InRange(to, 0.0, 1.0) || !(seconds > 0.0 && seconds <= 60.0)) {
    return kErrMissingArg;
  }
  ScopedLock lock(Owner()->stateLock_);
  if (Owner()->state_ == kChainStopped) return Owner()->StoppedError();
  const double now = Owner()->CurrentStreamTime();
  Owner()->ramp_ = Ramp{true, now, now + seconds, from, to};
  Owner()->rampLevel_ = from;
  Owner()->rampActive_.store(true, std::memory_order_release);
  // The thread steps ramps more often than it otherwise wakes.
  Owner()->WakeThread();
  if (Owner()->device_ && !Owner()->device_->SetVolume(from * Owner()->volume_)) {
    return MediaError(kMsDeviceFailed);
  }
  return kOk;
}

// ---- Callbacks and notifications -------------------------------------------------------------

int32_t GenericOutput::Callbacks::RegisterCallback(MAudioCallback* callback, uint32_t key) {
  return Owner()->callbackList_.Register(callback, key);
}

int32_t GenericOutput::Callbacks::UnregisterCallback(MAudioCallback* callback, uint32_t key) {
  ScopedLock fire(Owner()->fireLock_);
  return Owner()->callbackList_.Unregister(callback, key);
}

int32_t GenericOutput::Notifications::AddNotification(MAudioCallback* callback, double seconds,
                                                      uint32_t key) {
  ScopedLock lock(Owner()->stateLock_);
  const int32_t r = Owner()->notificationList_.Add(callback, seconds, key);
  Owner()->hasNotifications_ = !Owner()->notificationList_.IsEmpty();
  // The thread's sleep was measured without it.
  Owner()->WakeThread();
  return r;
}

int32_t GenericOutput::Notifications::RemoveNotification(MAudioCallback* callback, double seconds,
                                                         uint32_t key) {
  ScopedLock fire(Owner()->fireLock_);
  ScopedLock lock(Owner()->stateLock_);
  const int32_t r = Owner()->notificationList_.Remove(callback, seconds, key);
  Owner()->hasNotifications_ = !Owner()->notificationList_.IsEmpty();
  return r;
}

void GenericOutput::Collect(Events& events, int32_t code, int32_t argument) {
  events.push_back(PendingEvent{nullptr, code, 0, argument});
}

void GenericOutput::Fire(Events& events) {
  if (events.empty()) return;
  MMediaChain* chain = nullptr;
  {
    ScopedLock lock(stateLock_);
    chain = chain_;
  }
  MUnknown* source = chain;
  ScopedLock fire(fireLock_);
  for (const PendingEvent& e : events) {
    if (e.callback) {
      e.callback->OnEvent(source, e.code, e.key, e.argument);
    } else {
      callbackList_.Fire(source, e.code, e.argument);
    }
  }
  events.clear();
}

// ---- Properties ------------------------------------------------------------------------------

double GenericOutput::CurrentStreamTimeLocked() {
  const uint32_t free = device_ ? device_->FreeSpace() : 0;
  const int64_t heard =
      static_cast<int64_t>(free) + static_cast<int64_t>(total_) - static_cast<int64_t>(bufferSize_);
  return heard_.TimeAt(heard, bytesPerSecond_);
}

double GenericOutput::CurrentStreamTime() {
  ScopedLock lock(timeLock_);
  return CurrentStreamTimeLocked();
}

void GenericOutput::BuildProperties() {
  // Values that exist only while the endpoint runs: entry 5 when stopped.
  auto running = [this](auto fn) {
    return [this, fn](auto* v) -> int32_t {
      ScopedLock lock(stateLock_);
      if (state_ == kChainStopped) return StoppedError();
      ScopedLock time(timeLock_);
      *v = fn();
      return kOk;
    };
  };
  auto freeSpace = [this]() -> uint32_t { return device_ ? device_->FreeSpace() : 0; };

  table_.AddNumber(
      u"bufferlength", kPropStoredNumber, kHelpBufferLength,
      [this](double* v) {
        ScopedLock lock(settingsLock_);
        *v = bufferMs_ * 0.001;
        return kOk;
      },
      [this](double v) {
        if (!(v >= kMinBufferMs * 0.001 && v <= kMaxBufferMs * 0.001)) return kErrOutOfRange;
        ScopedLock lock(settingsLock_);
        // Whole milliseconds; the epsilon keeps 0.029 from becoming 28.
        bufferMs_ = static_cast<uint32_t>(std::floor(v * 1000.0 + 1e-6));
        return kOk;
      });
  table_.AddInteger(
      u"realtimepriority", kPropStoredInteger, kHelpRealtimePriority,
      [this](int32_t* v) {
        ScopedLock lock(settingsLock_);
        *v = realtime_ ? 1 : 0;
        return kOk;
      },
      [this](int32_t v) {
        ScopedLock lock(settingsLock_);
        if (realtime_ != (v != 0)) realtimeChanged_ = true;
        realtime_ = v != 0;
        return kOk;
      },
      SettingStorage::kBool);
  table_.AddInteger(u"channels", kPropFormatInteger, kHelpChannels, running([this] {
                      return static_cast<int32_t>(device_ ? device_->Channels() : 0);
                    }));
  table_.AddInteger(u"samplerate", kPropFormatInteger, kHelpSampleRate, running([this] {
                      return static_cast<int32_t>(device_ ? device_->SampleRate() : 0);
                    }));
  table_.AddInteger(u"buffersize", kPropPlaybackDeviceInteger, kHelpBufferSize,
                    running([this] { return static_cast<int32_t>(bufferSize_); }));
  table_.AddNumber(
      u"bufferlevel", kPropPlaybackNumber, kHelpBufferLevel, running([this, freeSpace] {
        if (finished_ || bufferSize_ == 0) return 1.0;
        return 1.0 - static_cast<double>(std::min(freeSpace(), bufferSize_)) / bufferSize_;
      }));
  table_.AddNumber(u"maxbufferlag", kPropPlaybackNumber, kHelpMaxBufferLag, running([this] {
                     return bufferSize_ ? static_cast<double>(maxFree_) / bufferSize_ : 0.0;
                   }));
  auto heardBytes = [this, freeSpace]() -> int64_t {
    const int64_t heard = static_cast<int64_t>(total_) -
                          (static_cast<int64_t>(bufferSize_) - static_cast<int64_t>(freeSpace()));
    return std::max<int64_t>(heard, 0);
  };
  table_.AddNumber(
      u"throughtime", kPropPlaybackNumber, kHelpThroughTime, running([this, heardBytes] {
        return bytesPerSecond_ ? static_cast<double>(heardBytes()) / bytesPerSecond_ : 0.0;
      }));
  table_.AddInteger(u"throughbytes", kPropPlaybackInteger, kHelpThroughBytes,
                    running([this] { return static_cast<int32_t>(total_); }));
  table_.AddNumber(u"streamtime", kPropPlaybackNumber, kHelpStreamTime,
                   running([this] { return CurrentStreamTimeLocked(); }));
  table_.AddInteger(u"currentstreamid", kPropPlaybackInteger, kHelpCurrentStreamId,
                    running([this] { return heard_.CurrentStreamId(); }));
  table_.AddInteger(u"heardbytes", kPropPlaybackInteger, nullptr,
                    running([heardBytes] { return static_cast<int32_t>(heardBytes()); }));
  table_.AddInteger(u"bytespersecond", kPropInfo, nullptr, [this](int32_t* v) {
    ScopedLock lock(stateLock_);
    *v = static_cast<int32_t>(device_ ? device_->BytesPerSecond() : 0);
    return kOk;
  });
}

}  // namespace vk2

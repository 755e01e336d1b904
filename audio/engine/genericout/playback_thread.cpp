// The endpoint's playback thread: keeps the device buffer filled from upstream.
#include <algorithm>
#include <cmath>
#include <limits>

#include "audio/engine/genericout/generic_output.h"
#include "audio/engine/genericout/playback_session.h"
#include "component/object/query.h"
#include "foundation/util/result.h"
#include "interfaces/audio/chain_types.h"
#include "interfaces/audio/media_chain.h"
#include "interfaces/ids.h"
#include "platform/thread_priority.h"

namespace vk2 {

void GenericOutput::Run(const std::shared_ptr<Session>& session) {
  Session& s = *session;
  Events events;
  // Open the device with the chosen format.
  if (!s.device->Open(s.format.Get(), s.bufferSeconds)) {
    s.startResult = MediaError(kMsIncompatibleFormat);
  } else if (!s.device->SetVolume(s.volumeLevel) || !s.device->SetBalance(s.balance)) {
    s.device->Close();
    s.startResult = MediaError(kMsDeviceFailed);
  } else {
    s.deviceOpen = true;
    {
      ScopedLock flags(flagsLock_);
      deviceOpen_ = true;
    }
    s.noPollDelay = s.device->NoPollDelay();
    ScopedLock lock(timeLock_);
    bufferSize_ = s.device->BufferSize();
    bytesPerSecond_ = s.device->BytesPerSecond();
    total_ = 0;
    maxFree_ = 0;
    finished_ = false;
    heard_.Reset(0.0, 0);
    heard_.SetCurrentStreamId(0);
    s.startResult = kOk;
  }
  s.started.Set();

  if (s.deviceOpen) {
    s.lastFree = 0;
    uint32_t waitMs = 0;
    while (!stopRequested_.load(std::memory_order_acquire)) {
      // Every request from outside (play, pause, seek, stop, suspension, a new notification or
      // ramp) sets the wake event, so the sleep in between is as long as the audio allows.
      wake_.Wait(waitMs);
      if (stopRequested_.load(std::memory_order_acquire)) break;
      const bool goOn = Pass(s, events);
      Fire(events);
      if (!goOn) break;
      waitMs = IdleWaitMs(s);
    }
  }

  s.packet = nullptr;
  {
    ScopedLock lock(stateLock_);
    state_ = kChainStopped;
    {
      ScopedLock flags(flagsLock_);
      deviceOpen_ = false;
      restartPending_ = false;
      playing_ = false;
    }
    if (s.deviceOpen) s.device->Close();
    s.deviceOpen = false;
  }
  if (s.priorityKnown && s.priorityPlaying) SetCurrentThreadPriority(ThreadPriority::kNormal);
  Fire(events);
  s.ended.Set();
}

void GenericOutput::ApplyPriority(Session& s) {
  bool playing = false;
  {
    ScopedLock lock(flagsLock_);
    playing = playing_;
  }
  bool realtime = false;
  {
    ScopedLock lock(settingsLock_);
    realtime = realtime_;
  }
  const bool changed = realtimeChanged_.exchange(false);
  if (s.priorityKnown && !changed && playing == s.priorityPlaying &&
      realtime == s.priorityRealtime) {
    return;
  }
  s.priorityKnown = true;
  s.priorityPlaying = playing;
  s.priorityRealtime = realtime;
  // Best effort: a refusal is reported by the platform and playback goes on.
  SetCurrentThreadPriority(!playing   ? ThreadPriority::kNormal
                           : realtime ? ThreadPriority::kTimeCritical
                                      : ThreadPriority::kHighest);
}

void GenericOutput::StopFromThread(Session& s, int32_t code, int32_t argument, Events& events) {
  ScopedLock lock(stateLock_);
  state_ = kChainStopped;
  s.endedItself.store(true, std::memory_order_release);
  {
    ScopedLock flags(flagsLock_);
    deviceOpen_ = false;
    playing_ = false;
    restartPending_ = false;
  }
  s.device->Pause();
  s.device->Close();
  s.deviceOpen = false;
  Collect(events, code, argument);
}

bool GenericOutput::Pass(Session& s, Events& events) {
  ApplyPriority(s);
  if (rampActive_.load(std::memory_order_acquire)) RampStep();

  if (flushPending_.load(std::memory_order_acquire)) Flush(s, events);
  if (stopRequested_.load(std::memory_order_acquire)) return false;

  s.progressed = false;
  s.written = 0;
  if (!s.packet && !Fetch(s, events)) return false;

  const uint32_t free = s.device->FreeSpace();
  s.lastFree = free;
  {
    bool playing = false;
    {
      ScopedLock lock(flagsLock_);
      playing = playing_;
    }
    if (playing) {
      ScopedLock lock(timeLock_);
      maxFree_ = std::max(maxFree_, free);
    }
  }
  Write(s, free);
  AdvanceHeard(s, free, events);
  if (s.flushAwaitingWrite && SeekLanded(s)) {
    s.flushAwaitingWrite = false;
    flushDone_.Set();
  }

  if (s.packet && s.offset >= s.packet->byteCount) {
    if (s.packet->flags & kPacketLast) {
      // A seek while the end waited to be played out goes on from the new position.
      return !FinishStream(s, events);
    }
    s.packet = nullptr;
  }

  ParkWhileSuspended(s);

  s.notificationDue = hasNotifications_.load(std::memory_order_acquire)
                          ? NotificationStep()
                          : std::numeric_limits<double>::infinity();
  return true;
}

uint32_t GenericOutput::IdleWaitMs(const Session& s) {
  // A packet used up while the device may have room left: the next one at once.
  if (s.progressed && !s.packet) return 0;
  // A seek is answered once the device holds the new position; its caller waits for that.
  if (s.flushAwaitingWrite) return 1;
  uint32_t bufferSize = 0;
  uint32_t bytesPerSecond = 0;
  {
    ScopedLock lock(timeLock_);
    bufferSize = bufferSize_;
    bytesPerSecond = bytesPerSecond_;
  }
  const uint32_t free = s.lastFree - std::min(s.written, s.lastFree);
  const uint32_t refill = std::max(bufferSize / kRefillDivisor, WriteThreshold(bufferSize) + 1);
  // Nothing written although there is room: a source of empty packets, which must not spin.
  if (!s.progressed && free >= refill) return s.noPollDelay ? 0 : 1;
  bool playing = false;
  {
    ScopedLock lock(flagsLock_);
    playing = playing_;
  }
  // A device that does not play makes no room; whatever changes that wakes the thread.
  if (!playing || bytesPerSecond == 0) return kIdleWaitMs;
  auto millisFor = [bytesPerSecond](int64_t bytes) {
    return static_cast<double>(bytes) * 1000.0 / bytesPerSecond;
  };
  double ms = std::min<double>(kIdleWaitMs, millisFor(refill - std::min(free, refill)));
  if (s.nextIdChange >= 0) ms = std::min(ms, millisFor(s.nextIdChange - s.heardBytes));
  ms = std::min(ms, s.notificationDue * 1000.0);
  if (rampActive_.load(std::memory_order_acquire)) ms = std::min<double>(ms, kRampStepMs);
  // Rounded up, so the thread wakes after the moment rather than just before it.
  return static_cast<uint32_t>(std::clamp(std::ceil(ms), 1.0, double{kIdleWaitMs}));
}

bool GenericOutput::Fetch(Session& s, Events& events) {
  AudioModuleOutput* upstream = nullptr;
  {
    ScopedLock lock(stateLock_);
    upstream = upstream_;
  }
  AudioPacket* raw = nullptr;
  const int32_t r = upstream ? upstream->GetPacket(&raw) : MediaError(kMsNotInChain);
  RefPtr<AudioPacket> packet = RefPtr<AudioPacket>::Adopt(raw);
  if (r < 0 || !packet) {
    StopFromThread(s, kEventUpstreamFailed, r < 0 ? r : kErrFailed, events);
    return false;
  }
  {
    ScopedLock lock(timeLock_);
    heard_.Append(packet.Get(), total_);
  }
  s.packet = std::move(packet);
  s.offset = 0;
  AudioFormat* format = s.packet->format;
  if (format && s.device->FormatDiffers(format)) {
    bool changed = false;
    {
      ScopedLock lock(stateLock_);
      changed = s.device->ChangeFormat(format);
      if (changed) {
        ScopedLock time(timeLock_);
        bufferSize_ = s.device->BufferSize();
        bytesPerSecond_ = s.device->BytesPerSecond();
      }
    }
    if (!changed) {
      StopFromThread(s, kEventFormatRefused, 0, events);
      return false;
    }
    Collect(events, kEventFormatChanged);
  }
  return true;
}

void GenericOutput::Flush(Session& s, Events& events) {
  flushPending_.store(false, std::memory_order_release);
  // Drop what was queued before the seek: packets up to the first one that starts a stream or
  // follows a discontinuity.
  s.packet = nullptr;
  AudioModuleOutput* upstream = nullptr;
  {
    ScopedLock lock(stateLock_);
    upstream = upstream_;
  }
  while (upstream && !stopRequested_.load(std::memory_order_acquire)) {
    AudioPacket* raw = nullptr;
    const int32_t r = upstream->GetPacket(&raw);
    RefPtr<AudioPacket> packet = RefPtr<AudioPacket>::Adopt(raw);
    if (r < 0 || !packet) break;
    if (packet->flags & (kPacketFirst | kPacketDiscontinuity)) {
      s.packet = std::move(packet);
      s.offset = 0;
      break;
    }
    // A stream position the decoder has not reached yet: a moment before asking again.
    wake_.Wait(1);
  }
  {
    ScopedLock lock(timeLock_);
    heard_.Reset(flushTime_.load(), total_);
    finished_ = false;
    if (s.packet) heard_.Append(s.packet.Get(), total_);
  }
  Collect(events, kEventFlushed);
  {
    ScopedLock flags(flagsLock_);
    s.device->Flush();
    // Only a playing device restarts at the next write; a paused one stays paused.
    restartPending_ = playing_;
  }
  // The seek is answered once the new position's first bytes are in the device: a play that
  // followed at once would otherwise start a device that holds nothing yet.
  s.flushAwaitingWrite = s.packet != nullptr;
  if (!s.flushAwaitingWrite) flushDone_.Set();
}

bool GenericOutput::SeekLanded(Session& s) {
  const bool packetDone = !s.packet || s.offset >= s.packet->byteCount;
  bool playing = false;
  {
    ScopedLock flags(flagsLock_);
    playing = playing_;
  }
  // A playing device goes on from the first bytes written.
  if (playing) return s.progressed || packetDone;
  // A device that waits to play is filled as it was before the seek (or up to the end of the
  // stream): a play that follows at once would otherwise start a device that holds a single
  // packet, and one that plays from its own buffer would run into silence.
  if (packetDone) return s.packet && (s.packet->flags & kPacketLast);
  // The device took nothing of a packet it has: it is as full as it gets.
  return !s.progressed;
}

void GenericOutput::Write(Session& s, uint32_t free) {
  if (!s.packet || s.offset >= s.packet->byteCount) return;
  uint32_t bufferSize = 0;
  {
    ScopedLock lock(timeLock_);
    bufferSize = bufferSize_;
  }
  const uint32_t frame =
      std::max<uint32_t>(s.packet->format ? BytesPerFrame(*s.packet->format) : 1, 1);
  if (free <= WriteThreshold(bufferSize) || free <= frame) return;
  const uint32_t remaining = s.packet->byteCount - s.offset;
  // One frame of the device buffer always stays free; writes are whole frames (a packet that
  // ends in a partial frame gives its tail as it is).
  uint32_t count = std::min(remaining, free - frame);
  if (count < remaining) count = WholeFrameBytes(count, frame);
  if (count == 0) return;
  s.device->Write(s.packet->data + s.offset, count);
  {
    ScopedLock flags(flagsLock_);
    if (restartPending_) {
      s.device->Play();
      restartPending_ = false;
      playing_ = true;
    }
  }
  s.offset += count;
  s.progressed = true;
  s.written = count;
  ScopedLock lock(timeLock_);
  total_ += count;
}

void GenericOutput::AdvanceHeard(Session& s, uint32_t free, Events& events) {
  bool idChanged = false;
  {
    ScopedLock lock(timeLock_);
    // What had been heard when the room was measured, before this pass wrote.
    const int64_t before = static_cast<int64_t>(total_) - s.written;
    const int64_t heard = before - (static_cast<int64_t>(bufferSize_) - static_cast<int64_t>(free));
    idChanged = heard_.Advance(heard);
    s.heardBytes = heard;
    s.nextIdChange = heard_.NextIdChangeAt();
  }
  if (idChanged) Collect(events, kEventStreamIdChanged);
}

void GenericOutput::ParkWhileSuspended(Session& s) {
  if (!suspendRequested_.load(std::memory_order_acquire)) return;
  while (suspendRequested_.load(std::memory_order_acquire) &&
         !stopRequested_.load(std::memory_order_acquire)) {
    // Acknowledged on every turn: a resume followed at once by a new suspension (which resets
    // the event) finds the thread still parked and is answered too.
    s.suspended.Set();
    resume_.Wait(50);
  }
  s.suspended.Reset();
}

bool GenericOutput::FinishStream(Session& s, Events& events) {
  {
    ScopedLock lock(timeLock_);
    finished_ = true;
  }
  Collect(events, kEventDraining);
  Fire(events);
  // What is in the device buffer is played out before the endpoint stops. A stream that ended
  // while the device was not playing (cued, paused) waits to be played: stopping here would
  // lose the audio still in the buffer. A pause during the drain pauses it.
  for (;;) {
    uint32_t cuts = 0;
    for (;;) {
      // Suspended while the end waits to be played out: parked here as anywhere else.
      ParkWhileSuspended(s);
      {
        ScopedLock flags(flagsLock_);
        if (restartPending_) {
          s.device->Play();
          restartPending_ = false;
          playing_ = true;
        }
        if (playing_ && !suspendRequested_.load(std::memory_order_acquire)) {
          draining_ = true;
          cuts = drainCuts_;
          break;
        }
      }
      if (stopRequested_.load(std::memory_order_acquire)) return true;
      if (flushPending_.load(std::memory_order_acquire)) return false;
      // Play, stop, seek and suspension all set the wake event.
      wake_.Wait(kIdleWaitMs);
    }
    wake_.Reset();
    if (stopRequested_.load(std::memory_order_acquire)) return true;
    if (!flushPending_.load(std::memory_order_acquire)) s.device->Drain(&wake_);
    bool drained = false;
    {
      ScopedLock flags(flagsLock_);
      draining_ = false;
      drained = playing_ && drainCuts_ == cuts;
    }
    if (stopRequested_.load(std::memory_order_acquire)) return true;
    if (flushPending_.load(std::memory_order_acquire)) return false;
    if (drained) break;
  }
  {
    ScopedLock lock(stateLock_);
    if (stopRequested_.load(std::memory_order_acquire)) return true;
    state_ = kChainStopped;
    s.endedItself.store(true, std::memory_order_release);
  }
  // Every notification still waiting falls due now.
  {
    ScopedLock fire(fireLock_);
    std::vector<TimeNotification> remaining;
    {
      ScopedLock lock(stateLock_);
      remaining = notificationList_.TakeAll();
      hasNotifications_ = false;
    }
    FireNotificationsLocked(remaining);
  }
  Collect(events, kEventStreamEnded);
  return true;
}

void GenericOutput::RampStep() {
  {
    ScopedLock flags(flagsLock_);
    if (!playing_) return;
  }
  ScopedLock lock(stateLock_);
  if (!ramp_.active) return;
  double t = CurrentStreamTime();
  if (t >= ramp_.end) {
    ramp_.active = false;
    rampActive_.store(false, std::memory_order_release);
    t = ramp_.end;
  }
  const double span = ramp_.end - ramp_.start;
  const double into = std::max(t - ramp_.start, 0.0);
  rampLevel_ = span > 0 ? ramp_.from + into * (ramp_.to - ramp_.from) / span : ramp_.to;
  if (device_) device_->SetVolume(rampLevel_ * volume_);
}

double GenericOutput::NotificationStep() {
  constexpr double kNever = std::numeric_limits<double>::infinity();
  {
    ScopedLock flags(flagsLock_);
    if (!playing_) return kNever;
  }
  MMediaChain* chain = nullptr;
  bool needTotal = false;
  {
    ScopedLock lock(stateLock_);
    chain = chain_;
    for (const TimeNotification& n : notificationList_.Entries())
      needTotal |= n.seconds < 0;
  }
  // The stream's length, for notifications counted from the end: read once per pass, through
  // the chain (the decoder answers), without taking a reference.
  double total = -1.0;
  if (needTotal && chain) {
    if (auto* info = QueryBorrowed<MModuleInfo>(chain, kIID_MModuleInfo)) {
      if (info->GetNumber(u"totaltime", &total) < 0) total = -1.0;
    }
  }
  const double now = CurrentStreamTime();
  // Taken and fired under the fire lock: a receiver that removes its notification meanwhile
  // waits until the call is over.
  ScopedLock fire(fireLock_);
  std::vector<TimeNotification> due;
  double next = kNever;
  {
    ScopedLock lock(stateLock_);
    auto dueAt = [total](const TimeNotification& n) {
      if (n.seconds >= 0) return n.seconds;
      return total >= 0 ? total + n.seconds : kNever;
    };
    due = notificationList_.TakeIf([&](const TimeNotification& n) { return now >= dueAt(n); });
    hasNotifications_ = !notificationList_.IsEmpty();
    for (const TimeNotification& n : notificationList_.Entries())
      next = std::min(next, dueAt(n) - now);
  }
  FireNotificationsLocked(due);
  return next;
}

void GenericOutput::FireNotificationsLocked(const std::vector<TimeNotification>& due) {
  if (due.empty()) return;
  MMediaChain* chain = nullptr;
  {
    ScopedLock lock(stateLock_);
    chain = chain_;
  }
  for (const TimeNotification& n : due) {
    n.callback->OnEvent(chain, kEventTimeNotification, n.key, 0);
  }
}

}  // namespace vk2

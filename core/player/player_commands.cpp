// The transport commands and the player thread that serves them.
#include <algorithm>

#include "core/player/player_control.h"
#include "foundation/util/result.h"

namespace vk2 {

namespace {

PlayerCommand Command(uint32_t kind) {
  PlayerCommand c;
  c.command = kind;
  return c;
}

}  // namespace

int32_t PlayerControl::Play(uint8_t async) {
  return Post(Command(kCommandPlay), async);
}
int32_t PlayerControl::Stop(uint8_t async) {
  CancelSwitch();
  return Post(Command(kCommandStop), async);
}

// A Stop must not wait behind a switch that is building or buffering a chain (a stalled
// stream would hold it for as long as the buffer wait lasts): the media system's Stop cancels
// the switch at once, and the queued Stop then only reports.
void PlayerControl::CancelSwitch() {
  if (!switching_.load(std::memory_order_acquire) || OnCommandThread()) return;
  stopRequested_.store(true, std::memory_order_release);
  media_->Stop();
}
int32_t PlayerControl::Pause(uint8_t async) {
  return Post(Command(kCommandPause), async);
}
int32_t PlayerControl::Next(uint8_t async) {
  return Post(Command(kCommandNext), async);
}
int32_t PlayerControl::Previous(uint8_t async) {
  return Post(Command(kCommandPrevious), async);
}

int32_t PlayerControl::SeekToUID(uint32_t id, double position, uint8_t exact, uint8_t play,
                                 uint8_t async) {
  if (position < 0.0 && position != -1.0) return kErrOutOfRange;
  if (position >= 0.0) media_->HoldPosition(position);
  PlayerCommand c = Command(kCommandGoToItem);
  c.target = id;
  c.position = position;
  c.exact = exact;
  c.play = play;
  return Post(c, async);
}

int32_t PlayerControl::SeekToIndex(uint32_t index, double position, uint8_t exact, uint8_t play,
                                   uint8_t async) {
  if (position != -1.0) media_->HoldPosition(position);
  PlayerCommand c = Command(kCommandGoToIndex);
  c.target = index;
  c.position = position;
  c.exact = exact;
  c.play = play;
  return Post(c, async);
}

int32_t PlayerControl::Scan(double seconds, uint8_t exact, uint8_t async) {
  PlayerCommand c = Command(kCommandScan);
  c.position = seconds;
  c.exact = exact;
  return Post(c, async);
}

int32_t PlayerControl::Post(PlayerCommand command, uint8_t async) {
  if (async) {
    if (commands_.Push(QueuedCommand{command, nullptr})) return kOk;
    if (command.command == kCommandSetPlaylist) {
      reinterpret_cast<MPlaylist*>(command.target)->Release();
    }
    return kPlayerCommandCancelled;
  }
  // A waiting call made on the player thread itself would wait for ever: run it in place.
  if (OnCommandThread()) return Execute(command);
  auto waiter = std::make_shared<PlayerCompletion>();
  command.completion = waiter.get();
  if (!commands_.Push(QueuedCommand{command, waiter})) return kPlayerCommandCancelled;
  return waiter->Wait(env_.timings.commandWaitMs).value_or(kErrTimedOut);
}

void PlayerControl::ServeCommands() {
  while (std::optional<CommandBatch> batch = commands_.Take()) {
    if (batch->clearHeldPosition) media_->HoldPosition(-1.0);
    const uint32_t kind = batch->survivor.record.command;
    switching_.store(kind != kCommandStop && kind != kCommandPause && kind != kCommandScan,
                     std::memory_order_release);
    const int32_t result = Execute(batch->survivor.record);
    switching_.store(false, std::memory_order_release);
    if (batch->survivor.waiter) batch->survivor.waiter->Complete(result);
    CompleteMerged(*batch, result);
  }
}

int32_t PlayerControl::Execute(const PlayerCommand& c) {
  switch (c.command) {
    case kCommandPlay:
      return RunPlay();
    case kCommandStop:
      return RunStop();
    case kCommandPause:
      return RunPause();
    case kCommandNext:
      return RunStep(1);
    case kCommandPrevious:
      return RunStep(-1);
    case kCommandGoToItem:
      return RunGoTo(static_cast<uint32_t>(c.target), c.steps, c.position, c.exact, c.play);
    case kCommandGoToIndex:
      return RunGoToIndex(c);
    case kCommandScan:
      return RunScan(c.position, c.exact);
    case kCommandSetPlaylist:
      return RunSetPlaylist(reinterpret_cast<MPlaylist*>(c.target));
    default:
      return kErrOutOfRange;
  }
}

int32_t PlayerControl::RunPlay() {
  int32_t r = errors_(PlayerError::kNoPlaylist);
  if (Playlist()) {
    RevalidateCurrentItem(false);
    const int32_t state = media_->GetState();
    if (state == kMediaPlaying) return errors_(PlayerError::kAlreadyPlaying);
    if (state == kMediaStopped) {
      ScopedLock lock(lock_);
      lastStreamId_ = 0;
    }
    r = media_->Play();
    if (r >= 0) {
      Fire(kPlayerPlaying);
      return r;
    }
  }
  if (r != kErrCancelled) Fire(kPlayerPlayFailed, FailureText(registry_.Get(), r));
  return r;
}

int32_t PlayerControl::RunStop() {
  if (media_->GetState() == kMediaStopped) {
    // The switch this Stop cancelled already stopped the media system.
    if (!stopRequested_.exchange(false, std::memory_order_acq_rel)) {
      return errors_(PlayerError::kNotPlaying);
    }
    Fire(kPlayerStopping);
    return kOk;
  }
  stopRequested_.store(false, std::memory_order_release);
  if (media_->Stop() < 0) return errors_(PlayerError::kInternalError);
  Fire(kPlayerStopping);
  return kOk;
}

int32_t PlayerControl::RunPause() {
  const int32_t state = media_->GetState();
  if (state == kMediaStopped) return errors_(PlayerError::kNotPlaying);
  if (state == kMediaPaused) return errors_(PlayerError::kAlreadyPaused);
  if (media_->Pause() < 0) return errors_(PlayerError::kInternalError);
  Fire(kPlayerPausing);
  return kOk;
}

void PlayerControl::FailWithStop(int32_t result) {
  if (result == kErrCancelled) return;  // a Stop cancelled the switch and reports itself
  Fire(kPlayerPlayFailed, FailureText(registry_.Get(), result));
  Fire(kPlayerStopping);
}

int32_t PlayerControl::RunStep(int32_t direction) {
  RefPtr<MPlaylist> playlist;
  uint32_t current = 0;
  bool shuffle = false;
  {
    ScopedLock lock(lock_);
    playlist = playlist_;
    current = currentId_;
    shuffle = (flags_ & kPlayerShuffleFlag) != 0;
  }
  if (!playlist) {
    FailWithStop(errors_(PlayerError::kNoPlaylist));
    return errors_(PlayerError::kNoPlaylist);
  }
  uint32_t id = 0;
  int32_t r = current == 0    ? playlist->GetFirstUID(&id, shuffle)
              : direction > 0 ? playlist->GetNextUID(current, &id, shuffle)
                              : playlist->GetPrevUID(current, &id, shuffle);
  if (r >= 0 && id != 0) r = media_->SwitchToNewChain(id);
  if (r < 0 && r != errors_(PlayerError::kNoMoreSongs)) FailWithStop(r);
  return r < 0 ? r : kOk;
}

int32_t PlayerControl::RunGoTo(uint32_t target, int32_t steps, double position, uint8_t exact,
                               uint8_t play) {
  RefPtr<MPlaylist> playlist;
  uint32_t current = 0;
  bool shuffle = false;
  {
    ScopedLock lock(lock_);
    playlist = playlist_;
    current = currentId_;
    shuffle = (flags_ & kPlayerShuffleFlag) != 0;
  }
  if ((target != 0 || steps != 0) && !playlist) return errors_(PlayerError::kNoPlaylist);
  if (steps != 0) {
    uint32_t id = target ? target : current;
    if (id == 0) {
      // Nothing current yet: the first item is the first step.
      const int32_t r = playlist->GetFirstUID(&id, shuffle);
      if (r < 0) return r;
      steps -= steps > 0 ? 1 : 0;
    }
    for (; id != 0 && steps != 0; steps += steps > 0 ? -1 : 1) {
      uint32_t next = 0;
      const int32_t r = steps > 0 ? playlist->GetNextUID(id, &next, shuffle)
                                  : playlist->GetPrevUID(id, &next, shuffle);
      if (r < 0) return r;
      if (next == 0) break;
      id = next;
    }
    target = id;
  }
  if (target != 0) {
    const int32_t r = media_->SwitchToNewChain(target);
    if (r >= 0 && play) RunPlay();
    // A position asked for with the item is sought once its chain plays (or is paused).
    if (r >= 0 && position >= 0.0 && media_->GetState() != kMediaStopped) {
      Fire(media_->SeekStream(position, exact) >= 0 ? kPlayerSeeking : kPlayerSeekFailed);
    }
    media_->HoldPosition(-1.0);
    return r;
  }
  if (position == -1.0) return kOk;
  const int32_t r = media_->SeekStream(position, exact);
  if (r >= 0) {
    Fire(kPlayerSeeking);
    if (play) RunPlay();
  } else {
    media_->HoldPosition(-1.0);
    Fire(kPlayerSeekFailed);
  }
  return r;
}

int32_t PlayerControl::RunGoToIndex(const PlayerCommand& c) {
  RefPtr<MPlaylist> playlist = Playlist();
  int32_t r = errors_(PlayerError::kNoPlaylist);
  uint32_t id = 0;
  if (playlist) r = playlist->GetUIDAtIndex(static_cast<int32_t>(c.target), &id);
  if (r >= 0) r = RunGoTo(id, c.steps, c.position, c.exact, c.play);
  if (r < 0) {
    media_->HoldPosition(-1.0);
    FailWithStop(r);
  }
  return r;
}

int32_t PlayerControl::RunScan(double seconds, uint8_t exact) {
  MediaPlayInfo info;
  const int32_t read = media_->GetPlayInfo(&info);
  if (read < 0) return read;
  // The upper bound goes last: an unknown total (-1.0) asks for the end.
  const double target = std::min(std::max(0.0, info.streamTime + seconds), info.totalTime);
  const int32_t r = media_->SeekStream(target, exact);
  Fire(kPlayerSeeking);
  return r;
}

int32_t PlayerControl::RunSetPlaylist(MPlaylist* incoming) {
  RefPtr<MPlaylist> playlist = RefPtr<MPlaylist>::Adopt(incoming);
  RefPtr<MPlaylist> old;
  uint32_t oldCurrent = 0;
  {
    ScopedLock lock(lock_);
    old = std::move(playlist_);
    playlist_ = playlist;
    oldCurrent = std::exchange(currentId_, 0);
  }
  // Listener registration takes the playlists' listener locks: never under the player lock.
  if (old) {
    old->AddRemoveListener(&playlistWatch_, 0, 0);
    if (oldCurrent) old->ReleaseItems(&oldCurrent, 1);
    old = nullptr;
  }
  playlist->AddRemoveListener(&playlistWatch_, 1, 0);
  // Only a player that was playing goes on playing, now from the new list.
  if (media_->GetState() == kMediaPlaying && oldCurrent != 0) {
    RunStop();
    RunPlay();
  }
  return kOk;
}

}  // namespace vk2

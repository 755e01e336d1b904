// Play, stop, pause, seek and the switch from one item's chain to the next.
#include "component/object/query.h"
#include "core/media/buffer_wait.h"
#include "core/media/chain_id.h"
#include "core/media/media_system.h"
#include "core/playlist/item_info.h"
#include "foundation/util/result.h"
#include "interfaces/audio/chain_types.h"
#include "platform/debug_output.h"

namespace vk2 {

int32_t MediaSystem::Play() {
  bool fromStopped = false;
  {
    ScopedLock state(stateLock_);
    std::vector<RefPtr<MMediaChain>> resume;
    {
      ScopedLock table(tableLock_);
      if (state_ == kMediaPlaying) return MediaError(kMsAlreadyInState);
      if (state_ == kMediaStopped) {
        fromStopped = true;
        state_ = kMediaPlaying;
      } else {
        // A crossfade's ending chain (finished) fades on with the current one; a prepared
        // successor waits for its cue, except behind the seamless output, which starts it.
        const bool seamless = transition_.method == kPlaybackSeamless;
        table_.ForEach([&resume, seamless](const ChainEntry& e) {
          if (e.role == ChainRole::kFinished || e.role == ChainRole::kCurrent ||
              (e.role == ChainRole::kNext && seamless)) {
            resume.push_back(e.chain);
          }
        });
        state_ = kMediaPlaying;
      }
    }
    for (const RefPtr<MMediaChain>& chain : resume)
      chain->StateChange(kChainPlaying);
  }
  if (!fromStopped) return kOk;
  const int32_t r = SwitchToNewChain(0);
  if (r < 0) {
    ScopedLock table(tableLock_);
    if (state_ == kMediaPlaying && !table_.Current()) state_ = kMediaStopped;
  }
  return r;
}

int32_t MediaSystem::Stop() {
  std::vector<ChainEntry> entries;
  {
    ScopedLock state(stateLock_);
    RefPtr<MOutputNode> node;
    {
      ScopedLock table(tableLock_);
      ApplyPendingLocked();
      // A switch still building or buffering is abandoned, whatever the state says.
      ++generation_;
      CancelBuildsLocked();
      if (state_ == kMediaStopped) return MediaError(kMsAlreadyInState);
      StopAllLocked(&entries);
      if (transition_.method == kPlaybackSeamless) node = outputNode_;
      state_ = kMediaStopped;
    }
    for (ChainEntry& e : entries) {
      if (e.role != ChainRole::kScan && e.role != ChainRole::kNext) {
        e.chain->StateChange(kChainStopped);
      }
    }
    if (node) node->DrainInputs();
  }
  Retire(entries);
  return kOk;
}

void MediaSystem::StopAllLocked(std::vector<ChainEntry>* out) {
  table_.TakeIf(
      [](const ChainEntry& e) { return e.role == ChainRole::kNext || e.role == ChainRole::kScan; },
      out);
  table_.TakeAll(out);
}

int32_t MediaSystem::Pause() {
  ScopedLock state(stateLock_);
  std::vector<RefPtr<MMediaChain>> chains;
  {
    ScopedLock table(tableLock_);
    if (state_ != kMediaPlaying) return MediaError(kMsWrongState);
    table_.ForEach([&chains](const ChainEntry& e) {
      if (e.role != ChainRole::kScan) chains.push_back(e.chain);
    });
    state_ = kMediaPaused;
  }
  // Cued: the devices stay open, so playing on starts at once.
  for (const RefPtr<MMediaChain>& chain : chains)
    chain->StateChange(kChainCued);
  return kOk;
}

int32_t MediaSystem::SeekStream(double seconds, uint32_t flags) {
  ScopedLock state(stateLock_);
  RefPtr<MMediaChain> chain;
  {
    ScopedLock table(tableLock_);
    if (state_ == kMediaStopped) return MediaError(kMsWrongState);
    ChainEntry* current = table_.Current();
    if (!current) return kOk;
    chain = current->chain;
  }
  if (seconds < 0.0) {
    auto info = Query<MModuleInfo>(chain, kIID_MModuleInfo);
    double total = -1.0;
    if (!info || info->GetNumber(u"totaltime", &total) < 0 || total < 0.0) {
      return MediaError(kMsCannotSeek);
    }
    seconds += total;
    if (seconds < 0.0) seconds = 0.0;
  }
  return chain->Seek(seconds, flags, 1);
}

int32_t MediaSystem::SwitchToNewChain(uint32_t itemId) {
  if (!owner_.HasOwner()) return kErrAccessDenied;
  if (itemId != 0) {
    const int32_t r = owner_.Call([itemId](MediaSystemOwner* o) { return o->SelectItem(itemId); },
                                  kErrAccessDenied);
    if (r < 0) return r;
  }
  std::vector<ChainEntry> scans;
  bool stopped;
  {
    ScopedLock table(tableLock_);
    table_.TakeRole(ChainRole::kScan, &scans);
    stopped = state_ == kMediaStopped;
  }
  Retire(scans);
  if (stopped) {
    NotifyStreamId(itemId);
    return kOk;
  }
  ItemInfo item;
  const int32_t r = OwnerGetCurrentItem(&item);
  if (r < 0) return r;
  return SwitchTo(item);
}

int32_t MediaSystem::SwitchTo(const ItemInfo& item) {
  RefPtr<MMediaChain> restart;
  int32_t method;
  std::shared_ptr<SwitchTicket> ticket;
  {
    ScopedLock table(tableLock_);
    if (state_ == kMediaStopped) return kErrCancelled;  // a Stop came first
    ChainEntry* current = table_.Current();
    if (current && current->itemId == item.id) {
      ++generation_;
      CancelBuildsLocked();
      restart = current->chain;
    } else {
      ticket = NewSwitchTicket();
    }
    method = transition_.method;
  }
  if (restart) {
    // The item already playing starts again from its beginning.
    ScopedLock state(stateLock_);
    restart->StateChange(kChainStopped);
    bool playing;
    {
      ScopedLock table(tableLock_);
      playing = state_ == kMediaPlaying;
    }
    const int32_t r = restart->StateChange(playing ? kChainPlaying : kChainCued);
    return r < 0 ? r : kOk;
  }

  ChainEntry entry;
  int32_t r = BuildEntry(item, NextChainId(), false, kAnyAccessCost, ticket.get(), &entry);
  if (r >= 0) {
    DebugOutput("New chain built, buffering...\n");
    r = CueAndFill(entry.chain.Get(), kSwitchBufferLevel, ticket.get());
    if (r >= 0) DebugOutput("Done.\n");
  }
  if (r < 0) {
    {
      ScopedLock table(tableLock_);
      ForgetTicket(ticket);
    }
    Retire(std::move(entry));
    return ticket->IsCancelled() ? kErrCancelled : r;
  }
  return Commit(ticket, std::move(entry), method);
}

int32_t MediaSystem::Commit(const std::shared_ptr<SwitchTicket>& ticket, ChainEntry entry,
                            int32_t method) {
  std::vector<ChainEntry> retired;
  int32_t result = kOk;
  const uint32_t itemId = entry.itemId;
  const uint32_t newId = entry.chainId;
  RefPtr<MMediaChain> chain = entry.chain;
  {
    ScopedLock state(stateLock_);
    uint32_t finishedId = 0;
    bool playing;
    {
      ScopedLock table(tableLock_);
      ForgetTicket(ticket);
      if (IsStale(*ticket) || state_ == kMediaStopped) {
        retired.push_back(std::move(entry));
        result = kErrCancelled;
      } else {
        playing = state_ == kMediaPlaying;
        if (ChainEntry* current = table_.Current()) {
          current->role = ChainRole::kFinished;
          finishedId = current->chainId;
        }
        table_.TakeRole(ChainRole::kNext, &retired);
        table_.Add(std::move(entry));
      }
    }
    if (result == kOk) {
      if (method == kPlaybackSeamless && playing) {
        // Behind the shared output the new input takes over before the old one stops.
        const int32_t r = chain->StateChange(kChainPlaying);
        if (r < 0) {
          ScopedLock table(tableLock_);
          table_.Take(newId, &retired);
          if (ChainEntry* finished = table_.Find(finishedId)) finished->role = ChainRole::kCurrent;
          finishedId = 0;
          result = r;
        }
      }
      if (finishedId != 0) {
        DebugOutput("Stopping old chain.\n");
        std::vector<ChainEntry> finished;
        {
          ScopedLock table(tableLock_);
          table_.Take(finishedId, &finished);
        }
        for (ChainEntry& e : finished) {
          e.chain->StateChange(kChainStopped);
          retired.push_back(std::move(e));
        }
      }
      if (result == kOk && method != kPlaybackSeamless && playing) {
        DebugOutput("Playing new chain.\n");
        const int32_t r = chain->StateChange(kChainPlaying);
        if (r < 0) {
          ScopedLock table(tableLock_);
          table_.Take(newId, &retired);
          result = r;
        }
      }
      ScopedLock table(tableLock_);
      ApplyPendingLocked();
    }
  }
  Retire(retired);
  if (result == kOk) NotifyStreamId(itemId);
  return result;
}

// ---- Tickets ----

std::shared_ptr<SwitchTicket> MediaSystem::NewSwitchTicket() {
  ++generation_;
  CancelBuildsLocked();
  auto ticket = std::make_shared<SwitchTicket>();
  ticket->generation = generation_;
  tickets_.push_back(ticket);
  BeginPendingLocked();
  return ticket;
}

std::shared_ptr<SwitchTicket> MediaSystem::NewPrepareTicket() {
  auto ticket = std::make_shared<SwitchTicket>();
  ticket->generation = generation_;
  tickets_.push_back(ticket);
  BeginPendingLocked();
  return ticket;
}

void MediaSystem::ForgetTicket(const std::shared_ptr<SwitchTicket>& ticket) {
  std::erase(tickets_, ticket);
}

bool MediaSystem::IsStale(const SwitchTicket& ticket) const {
  return ticket.IsCancelled() || ticket.generation != generation_;
}

void MediaSystem::CancelBuildsLocked() {
  for (const std::shared_ptr<SwitchTicket>& ticket : tickets_)
    ticket->Cancel();
}

void MediaSystem::BeginPendingLocked() {
  // A switch is under way: transition changes wait for its end.
  if (pendingFlag_) return;
  pendingFlag_ = true;
  pending_ = transition_;
}

void MediaSystem::ApplyPendingLocked() {
  if (!pendingFlag_) return;
  transition_ = pending_;
  pendingFlag_ = false;
}

// ---- Retiring chains ----

void MediaSystem::Retire(std::vector<ChainEntry>& entries) {
  for (ChainEntry& e : entries)
    Retire(std::move(e));
  entries.clear();
}

void MediaSystem::Retire(ChainEntry entry) {
  if (!entry.chain) return;
  // The chain may outlive this object (another holder): it must not call back into it.
  entry.chain->UnregisterCallback(&callback_, entry.chainId);
  if (!entry.notifications.empty()) {
    if (auto timer = Query<MTimeNotifications>(entry.chain, kIID_MTimeNotifications)) {
      for (const ChainNotification& n : entry.notifications)
        timer->RemoveNotification(&callback_, n.seconds, n.key);
    }
  }
  entry.chain = nullptr;
}

}  // namespace vk2

// Chain events: queued from the chains' event threads, handled in order on this object's own
// event thread, where building the next item's chain may take as long as it needs without
// holding up a chain's thread or the owner's.
#include <algorithm>

#include "audio/common/media_errors.h"
#include "component/object/query.h"
#include "core/media/buffer_wait.h"
#include "core/media/chain_id.h"
#include "core/media/media_system.h"
#include "core/playlist/item_info.h"
#include "foundation/util/result.h"
#include "interfaces/audio/chain_types.h"
#include "interfaces/runtime/error_registry.h"

namespace vk2 {
namespace {

double ChainNumber(MMediaChain* chain, const char16_t* name, double fallback) {
  auto info = Query<MModuleInfo>(chain, kIID_MModuleInfo);
  double value = fallback;
  if (!info || info->GetNumber(name, &value) < 0) return fallback;
  return value;
}

int32_t ChainInteger(MMediaChain* chain, const char16_t* name) {
  auto info = Query<MModuleInfo>(chain, kIID_MModuleInfo);
  int32_t value = 0;
  if (!info || info->GetInteger(name, &value) < 0) return 0;
  return value;
}

RefPtr<MVolumeControl> VolumeOf(MMediaChain* chain) {
  RefPtr<MVolumeControl> control;
  if (chain->QueryVolumeControl(control.Put()) != 0) return nullptr;
  return control;
}

}  // namespace

int32_t MediaSystem::ChainCallback::OnEvent(MUnknown*, int32_t code, uint32_t key,
                                            int32_t argument) {
  MediaSystem* system = Owner();
  // Being destroyed: its chains are going too.
  if (!system->TryAddRef()) return kOk;
  RefPtr<MediaSystem> self = RefPtr<MediaSystem>::Adopt(system);
  system->events_.Post([self, code, key, argument] {
    self->HandleEvent(code, key & ~kChainKindMask, key & kChainKindMask, argument);
  });
  return kOk;
}

void MediaSystem::HandleEvent(int32_t code, uint32_t chainId, uint32_t kind, int32_t argument) {
  // Behind the shared output only the input being heard reports anything: the first word from
  // a queued successor means the output has moved on to it.
  if (code != kEventStreamIdChanged) TakeOverIfHeard(chainId);
  switch (code) {
    case kEventStreamEnded:
      OnChainEnded(chainId);
      break;
    case kEventStreamIdChanged:
      OnStreamChanged(chainId, true);
      break;
    case kEventFormatChanged:
      OnStreamChanged(chainId, false);
      break;
    case kEventUpstreamFailed:
      OnChainFailed(chainId, DecodingErrorText(argument));
      break;
    case kEventFormatRefused:
      OnChainFailed(chainId, TString(u"audio format unacceptable"));
      break;
    case kEventTimeNotification: {
      int32_t method;
      {
        ScopedLock table(tableLock_);
        method = transition_.method;
      }
      if (method == kPlaybackCrossfade && kind == kKindPrepareCrossfade) PrepareCrossfade(chainId);
      if (method == kPlaybackCrossfade && kind == kKindStartCrossfade) StartCrossfade(chainId);
      if (method == kPlaybackSeamless && kind == kKindPrepareSeamless) PrepareSeamless(chainId);
      break;
    }
    case kEventFlushed:
      owner_.Call([](MediaSystemOwner* o) { return o->OnFlushed(); }, kOk);
      break;
    default:
      break;
  }
}

void MediaSystem::OnChainEnded(uint32_t chainId) {
  std::vector<ChainEntry> retired;
  uint64_t generation = 0;
  uint32_t successorItem = 0;
  {
    ScopedLock state(stateLock_);
    RefPtr<MMediaChain> successor;
    {
      ScopedLock table(tableLock_);
      ChainEntry* ended = table_.Find(chainId);
      if (!ended) return;
      // A successor already prepared (behind the shared output, or for a crossfade whose start
      // never came) plays now instead of advancing once more.
      ChainEntry* next = transition_.method == kPlaybackSeamless ? table_.FirstIn(ChainRole::kNext)
                                                                 : table_.FollowerOf(chainId);
      if (ended->role != ChainRole::kCurrent) {
        // A faded-out chain, or one that never got its turn.
        table_.Take(chainId, &retired);
      } else if (next) {
        next->role = ChainRole::kCurrent;
        next->predecessor = 0;
        if (state_ == kMediaPlaying) successor = next->chain;
        successorItem = next->itemId;
        table_.Take(chainId, &retired);
        ApplyPendingLocked();
      } else {
        ApplyPendingLocked();
        generation = generation_;
      }
    }
    if (successor) successor->StateChange(kChainPlaying);
  }
  if (!retired.empty()) {
    Retire(retired);
    if (successorItem != 0) NotifyStreamId(successorItem);
    return;
  }
  // The current item ended by itself: on to the next one, unless the owner acted meanwhile.
  const int32_t advanced = OwnerAdvance();
  {
    ScopedLock table(tableLock_);
    if (generation != generation_) return;
  }
  if (advanced >= 0) {
    const int32_t r = SwitchToNewChain(0);
    if (r >= 0 || r == kErrCancelled) return;
  }
  Stop();
  NotifyStreamId(0);
}

bool MediaSystem::TakeOverIfHeard(uint32_t chainId) {
  std::vector<ChainEntry> retired;
  uint32_t itemId = 0;
  {
    ScopedLock state(stateLock_);
    ScopedLock table(tableLock_);
    ChainEntry* e = table_.Find(chainId);
    if (!e || e->role != ChainRole::kNext || transition_.method != kPlaybackSeamless) return false;
    // The shared output moved on to this chain: it is what is heard now.
    if (ChainEntry* current = table_.Current()) table_.Take(current->chainId, &retired);
    if ((e = table_.Find(chainId))) {
      e->role = ChainRole::kCurrent;
      e->predecessor = 0;
      itemId = e->itemId;
    }
    ApplyPendingLocked();
  }
  Retire(retired);
  if (itemId != 0) NotifyStreamId(itemId);
  return true;
}

void MediaSystem::OnStreamChanged(uint32_t chainId, bool takeOver) {
  // Told from the item's own record when it takes over; the stream id read below says the same.
  if (takeOver && TakeOverIfHeard(chainId)) return;
  RefPtr<MMediaChain> chain;
  {
    ScopedLock table(tableLock_);
    ChainEntry* e = table_.Find(chainId);
    if (!e) return;
    chain = e->chain;
  }
  const int32_t streamId = ChainInteger(chain.Get(), u"currentstreamid");
  // The silence between seamless items is stream -1: no item.
  if (streamId > 0) NotifyStreamId(static_cast<uint32_t>(streamId));
}

void MediaSystem::OnChainFailed(uint32_t chainId, const TString& text) {
  std::vector<ChainEntry> retired;
  {
    ScopedLock table(tableLock_);
    ChainEntry* e = table_.Find(chainId);
    if (!e) return;
    // Only the chain being heard stops playback; a failing successor or scan chain just goes,
    // and the end of the current one switches as usual.
    if (e->role != ChainRole::kCurrent) table_.Take(chainId, &retired);
  }
  if (!retired.empty()) {
    Retire(retired);
    return;
  }
  Stop();
  owner_.Call([&text](MediaSystemOwner* o) { return o->OnError(text.c_str()); }, kOk);
}

TString MediaSystem::DecodingErrorText(int32_t code) {
  if (code == 0) return TString(u"decoding error");
  const ErrorRecord* record = nullptr;
  if (MErrorRegistry* registry = errors_.Registry()) record = registry->GetRecord(code, 0);
  const TString message =
      record && record->message ? Utf16(record->message) : TString(u"unknown error");
  return TString::Format(u"decoding error - %s", message.c_str());
}

void MediaSystem::PrepareCrossfade(uint32_t endingId) {
  std::shared_ptr<SwitchTicket> ticket;
  RefPtr<MMediaChain> endingChain;
  {
    ScopedLock table(tableLock_);
    ChainEntry* ending = table_.Find(endingId);
    if (!ending || ending->role != ChainRole::kCurrent || state_ != kMediaPlaying) return;
    endingChain = ending->chain;
    ticket = NewPrepareTicket();
  }
  ItemInfo item;
  int32_t r = OwnerAdvance();
  if (r >= 0) r = OwnerGetCurrentItem(&item);
  ChainEntry entry;
  if (r >= 0) r = BuildEntry(item, NextChainId(), false, kAnyAccessCost, ticket.get(), &entry);
  if (r >= 0) r = CueAndFill(entry.chain.Get(), kSwitchBufferLevel, ticket.get());
  bool prepared = false;
  double fade = 0.0;
  {
    ScopedLock state(stateLock_);
    ScopedLock table(tableLock_);
    ChainEntry* ending = table_.Find(endingId);
    if (r >= 0 && !IsStale(*ticket) && ending && ending->role == ChainRole::kCurrent) {
      entry.role = ChainRole::kNext;
      entry.predecessor = endingId;
      table_.Add(std::move(entry));
      prepared = true;
      fade = transition_.seconds;
    } else {
      ForgetTicket(ticket);
    }
  }
  if (!prepared) {
    Retire(std::move(entry));
    return;
  }
  // The endpoint's own notification for the start may come only when the ending item has been
  // played out (it falls within the audio already buffered); so the start is also kept here,
  // from the heard time. Whichever comes first starts the fade; the other finds nothing to do.
  const double total = ChainNumber(endingChain.Get(), u"totaltime", -1.0);
  const double heard = ChainNumber(endingChain.Get(), u"streamtime", -1.0);
  bool due = false;
  if (total >= 0.0 && heard >= 0.0) {
    const double left = total - fade - heard;
    const uint32_t limitMs = static_cast<uint32_t>(std::max(left, 0.0) * 1000.0) + 5000;
    due = WaitUntilHeard(endingChain.Get(), total - fade, ticket.get(), limitMs);
  }
  {
    ScopedLock table(tableLock_);
    ForgetTicket(ticket);
  }
  if (due && !ticket->IsCancelled()) StartCrossfade(endingId);
}

void MediaSystem::StartCrossfade(uint32_t endingId) {
  uint32_t streamId = 0;
  {
    ScopedLock state(stateLock_);
    RefPtr<MMediaChain> ending;
    RefPtr<MMediaChain> next;
    {
      ScopedLock table(tableLock_);
      ChainEntry* follower = table_.FollowerOf(endingId);
      if (!follower || state_ != kMediaPlaying) return;
      next = follower->chain;
      if (ChainEntry* e = table_.Find(endingId)) ending = e->chain;
    }
    double remaining = -1.0;
    if (ending) {
      const double total = ChainNumber(ending.Get(), u"totaltime", -1.0);
      const double heard = ChainNumber(ending.Get(), u"streamtime", -1.0);
      if (total >= 0.0 && heard >= 0.0) remaining = total - heard;
    }
    double seconds;
    {
      ScopedLock table(tableLock_);
      seconds = transition_.seconds;
    }
    // Too little left to fade: the next item simply starts.
    if (ending && remaining > 0.0 && seconds * 0.5 <= remaining) {
      RefPtr<MVolumeControl> out = VolumeOf(ending.Get());
      RefPtr<MVolumeControl> in = VolumeOf(next.Get());
      // Ramps scale the user's volume, which each endpoint keeps.
      if (out) out->RampVolume(1.0, 0.0, remaining);
      if (in) in->RampVolume(0.0, 1.0, remaining);
    }
    next->StateChange(kChainPlaying);
    {
      ScopedLock table(tableLock_);
      if (ChainEntry* e = table_.Find(endingId)) e->role = ChainRole::kFinished;
      if (ChainEntry* n = table_.FollowerOf(endingId)) {
        n->role = ChainRole::kCurrent;
        n->predecessor = 0;
      }
      ApplyPendingLocked();
    }
    streamId = static_cast<uint32_t>(ChainInteger(next.Get(), u"streamid"));
  }
  if (streamId != 0) NotifyStreamId(streamId);
}

void MediaSystem::PrepareSeamless(uint32_t endingId) {
  std::shared_ptr<SwitchTicket> ticket;
  uint32_t endingItem;
  RefPtr<MMediaChain> endingChain;
  {
    ScopedLock table(tableLock_);
    ChainEntry* ending = table_.Find(endingId);
    if (!ending || ending->role != ChainRole::kCurrent || state_ != kMediaPlaying) return;
    endingItem = ending->itemId;
    endingChain = ending->chain;
    ticket = NewPrepareTicket();
  }
  ItemInfo item;
  int32_t r = OwnerAdvance();
  if (r >= 0) r = OwnerGetCurrentItem(&item);
  if (r >= 0 && item.id == endingItem) {
    // The same item again (repeat one): the chain plays it again by itself.
    if (auto props = Query<MModuleProperties>(endingChain, kIID_MModuleProperties)) {
      props->SetInteger(u"repeat", 1);
    }
    r = kErrFailed;
  }
  ChainEntry entry;
  if (r >= 0) r = BuildEntry(item, NextChainId(), false, kAnyAccessCost, ticket.get(), &entry);
  if (r >= 0) r = CueAndFill(entry.chain.Get(), kSwitchBufferLevel, ticket.get());
  {
    ScopedLock state(stateLock_);
    ScopedLock table(tableLock_);
    ForgetTicket(ticket);
    if (r >= 0 && !IsStale(*ticket) && state_ == kMediaPlaying) {
      ChainEntry* ending = table_.Find(endingId);
      if (ending) {
        entry.role = ChainRole::kNext;
        entry.predecessor = endingId;
        table_.Add(std::move(entry));
      } else {
        // The old item is already over: this one plays now.
        entry.role = ChainRole::kCurrent;
        RefPtr<MMediaChain> chain = entry.chain;
        table_.Add(std::move(entry));
        chain->StateChange(kChainPlaying);
      }
      return;
    }
  }
  Retire(std::move(entry));
}

}  // namespace vk2

// What the media system asks of the player, what it tells it, and what the playlist tells it.
#include "core/player/player_control.h"
#include "foundation/util/result.h"

namespace vk2 {

namespace {

// How costly a reader the refresh of a starting item may use to scan it.
constexpr int32_t kRefreshScanCost = 767;

}  // namespace

int32_t PlayerControl::OwnerCurrentItem(ItemInfo* item) {
  RefPtr<MPlaylist> playlist = Playlist();
  if (!playlist) return errors_(PlayerError::kNoPlaylist);
  uint32_t current = 0;
  {
    ScopedLock lock(lock_);
    current = currentId_;
  }
  if (current == 0) {
    const int32_t r = OwnerAdvance();
    if (r < 0) return r;
    ScopedLock lock(lock_);
    current = currentId_;
  }
  if (current == 0) return errors_(PlayerError::kPlaylistEmpty);
  return playlist->GetUIDInfo(current, item);
}

int32_t PlayerControl::OwnerAdvance() {
  RefPtr<MPlaylist> playlist;
  uint32_t current = 0;
  uint32_t flags = 0;
  {
    ScopedLock lock(lock_);
    playlist = playlist_;
    current = currentId_;
    flags = flags_;
  }
  if (!playlist) return errors_(PlayerError::kNoPlaylist);
  const uint32_t repeat = (flags & kPlayerRepeatMask) >> kPlayerRepeatShift;
  const bool shuffle = (flags & kPlayerShuffleFlag) != 0;
  if (repeat == kRepeatOne && current != 0) return kOk;
  uint32_t next = 0;
  int32_t r = current ? playlist->GetNextUID(current, &next, shuffle)
                      : playlist->GetFirstUID(&next, shuffle);
  if (r < 0) return r;
  if (next == 0 && repeat == kRepeatAll) {
    r = playlist->GetFirstUID(&next, shuffle);
    if (r < 0) return r;
  }
  if (next == 0) return errors_(PlayerError::kNoMoreSongs);
  return OwnerSelectItem(next);
}

int32_t PlayerControl::OwnerSelectItem(uint32_t id) {
  RefPtr<MPlaylist> playlist;
  uint32_t current = 0;
  {
    ScopedLock lock(lock_);
    playlist = playlist_;
    current = currentId_;
  }
  if (!playlist) return errors_(PlayerError::kNoPlaylist);
  if (id == current) return kOk;
  // The hold keeps a current item that leaves the list navigable until it is let go.
  if (id != 0) {
    const int32_t r = playlist->HoldItems(&id, 1);
    if (r < 0) return r;
  }
  uint32_t previous = 0;
  bool stillOurs = false;
  {
    ScopedLock lock(lock_);
    stillOurs = playlist_ == playlist;
    if (stillOurs) previous = std::exchange(currentId_, id);
  }
  if (!stillOurs) {
    // The playlist changed meanwhile; the hold belongs to a list the player left.
    if (id != 0) playlist->ReleaseItems(&id, 1);
    return errors_(PlayerError::kNoPlaylist);
  }
  if (previous != 0) playlist->ReleaseItems(&previous, 1);
  return kOk;
}

int32_t PlayerControl::OwnerStreamIdChanged(uint32_t id) {
  if (id != 0) {
    if (!Playlist()) return kOk;
    RefreshItem(id);
    bool changed = false;
    {
      ScopedLock lock(lock_);
      changed = id != lastStreamId_;
      lastStreamId_ = id;
    }
    if (changed) {
      Fire(kPlayerSongStarted);
      Fire(kPlayerCurrentIdChanged);
    }
    return kOk;
  }
  bool ended = false;
  {
    ScopedLock lock(lock_);
    ended = lastStreamId_ != 0;
    lastStreamId_ = 0;
  }
  if (ended) Fire(kPlayerStopping);
  return kOk;
}

int32_t PlayerControl::OwnerError(const char16_t* text) {
  Fire(kPlayerPlayFailed, text ? TString(text) : TString());
  Fire(kPlayerStopping);
  return kOk;
}

int32_t PlayerControl::OwnerFlushed() {
  media_->HoldPosition(-1.0);
  return kOk;
}

void PlayerControl::RefreshItem(uint32_t id) {
  RefPtr<MPlaylist> playlist = Playlist();
  if (!playlist || id == kInsertedAudioId) return;
  ItemInfo record;
  if (playlist->GetUIDInfo(id, &record) < 0) return;
  if (media_->FillItemInfo(&record) >= 0) {
    playlist->SetItemInfo(id, record);
    return;
  }
  uint32_t current = 0;
  {
    ScopedLock lock(lock_);
    current = currentId_;
  }
  ItemInfo fresh;
  if (playlist->GetUIDInfo(current, &fresh) < 0) return;
  if (fresh.Has(kScanPresent) && fresh.GetScan() != kScanNone) return;
  ItemInfo toScan;
  if (OwnerCurrentItem(&toScan) < 0) return;
  if (media_->PrepareScan(&toScan, 0, kRefreshScanCost) < 0) return;
  if (media_->FillItemInfo(&record) >= 0) playlist->SetItemInfo(id, record);
}

void PlayerControl::RevalidateCurrentItem(bool restart) {
  RefPtr<MPlaylist> playlist;
  uint32_t current = 0;
  {
    ScopedLock lock(lock_);
    playlist = playlist_;
    current = currentId_;
  }
  if (!playlist || current == 0 || playlist->GetUIDIndex(current) >= 0) return;
  // The held item still knows its neighbours: the one after it takes its place.
  uint32_t replacement = 0;
  if (playlist->GetNextUID(current, &replacement, 0) < 0 || replacement == 0) {
    replacement = 0;
    playlist->GetFirstUID(&replacement, 0);
  }
  if (OwnerSelectItem(replacement) < 0) return;
  if (!restart || media_->GetState() != kMediaPlaying) return;
  Post(PlayerCommand{kCommandStop}, 1);
  if (replacement != 0) Post(PlayerCommand{kCommandPlay}, 1);
}

}  // namespace vk2

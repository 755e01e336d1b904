// What is playing (GetInfo) and how far through the playlist (GetPlayProgress).
#include "component/object/query.h"
#include "core/player/player_control.h"
#include "foundation/util/result.h"

namespace vk2 {

namespace {

// Holds the playlist's lock for a scope, so that an early return cannot leak it.
class PlaylistLockGuard {
 public:
  explicit PlaylistLockGuard(MPlaylist* playlist) : playlist_(playlist) {
    if (playlist_->Lock(&token_) < 0) token_ = 0;
  }
  ~PlaylistLockGuard() {
    if (token_) playlist_->Unlock(token_);
  }
  PlaylistLockGuard(const PlaylistLockGuard&) = delete;
  PlaylistLockGuard& operator=(const PlaylistLockGuard&) = delete;

 private:
  MPlaylist* playlist_;
  uint32_t token_ = 0;
};

MediaPlayInfo ReadPlayInfo(MMediaSystem* media) {
  MediaPlayInfo info;
  if (media->GetPlayInfo(&info) < 0) {
    info = MediaPlayInfo{};
    info.state = kMediaStopped;
    info.totalTime = -1.0;
    info.streamTime = 0.0;
  }
  return info;
}

}  // namespace

int32_t PlayerControl::GetInfo(PlayerInfo* out) {
  if (!out) return kErrNullResult;
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
  const MediaPlayInfo play = ReadPlayInfo(media_.Get());
  const uint32_t id = play.streamId != 0 ? play.streamId : current;
  *out = PlayerInfo{};
  out->time = play.streamTime;
  if (id == kInsertedAudioId) {
    ItemInfo& item = out->item;
    item.id = kInsertedAudioId;
    item.revision = 0;
    TString title;
    if (media_->GetString(u"insertedaudiotitle", &title) < 0) title = u"inserted audio";
    item.SetUrl(TString());
    item.SetTitle(title);
    double length = 0.0;
    if (media_->GetNumber(u"insertedaudiolength", &length) >= 0) {
      item.SetDuration(static_cast<float>(length), kDurationVerified);
    } else {
      item.SetDuration(-1.0f, kDurationUnknown);
    }
  } else if (id != 0) {
    if (playlist->GetUIDInfo(id, &out->item) >= 0) {
      const uint32_t type = out->item.GetDurationType();
      if (out->item.Has(kDurationPresent) &&
          (type == kDurationEstimate || type == kDurationVerified) &&
          out->time > out->item.duration) {
        out->time = out->item.duration;
      }
    }
  }
  out->state = (static_cast<uint32_t>(play.state) & kPlayerStateMask) |
               (flags & (kPlayerShuffleFlag | kPlayerRepeatMask));
  out->currentId = id;
  const int32_t count = playlist->GetCount();
  out->count = count > 0 ? static_cast<uint32_t>(count) : 0;
  if (id != 0 && id != kInsertedAudioId) {
    const int32_t index = playlist->GetUIDIndex(id);
    out->index = index > 0 ? static_cast<uint32_t>(index) : 0;
  }
  return kOk;
}

int32_t PlayerControl::GetPlayProgress(double* fraction) {
  if (!fraction) return kErrNullResult;
  RefPtr<MPlaylist> playlist;
  uint32_t current = 0;
  {
    ScopedLock lock(lock_);
    playlist = playlist_;
    current = currentId_;
  }
  if (!playlist) return errors_(PlayerError::kNoPlaylist);
  const MediaPlayInfo play = ReadPlayInfo(media_.Get());
  PlaylistLockGuard hold(playlist.Get());
  const int32_t count = playlist->GetCount();
  if (count <= 0) return errors_(PlayerError::kPlaylistEmpty);
  double total = 0.0;
  uint32_t type = kDurationUnknown;
  const int32_t r = playlist->GetTotalPlayTime(&total, &type);
  if (r < 0) return r;
  if (type == kDurationInfinite) {
    *fraction = 0.0;
    return kOk;
  }
  if (type == kDurationEstimate || type == kDurationVerified) {
    RefPtr<MPlaylistControl> control;
    if (current != 0 && total > 0.0) {
      control = Query<MPlaylistControl>(playlist, kIID_PlaylistControl);
    }
    double before = 0.0;
    if (!control || control->TotalPlayTimeUntil(&before, nullptr, current) < 0) {
      *fraction = -1.0;
      return kOk;
    }
    *fraction = (before + play.streamTime) / total;
    return kOk;
  }
  // Unknown total: the item's place in the list and the way through it.
  const uint32_t sid = play.streamId;
  const int32_t index = (sid != 0 && sid != kInsertedAudioId) ? playlist->GetUIDIndex(sid) : -1;
  if (play.totalTime != -1.0 && play.totalTime > 0.0 && index >= 0) {
    *fraction = (play.streamTime / play.totalTime + index) / count;
  } else {
    *fraction = -1.0;
  }
  return kOk;
}

}  // namespace vk2

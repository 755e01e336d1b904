// Holds a playlist's lock for a scope, so that several operations see and leave one state.
#pragma once

#include <cstdint>

#include "interfaces/core/playlist.h"

namespace vk2 {

class PlaylistLock {
 public:
  explicit PlaylistLock(MPlaylist* playlist) : playlist_(playlist) {
    if (playlist_->Lock(&token_) < 0) token_ = 0, held_ = false;
  }
  ~PlaylistLock() {
    if (held_) playlist_->Unlock(token_);
  }
  PlaylistLock(const PlaylistLock&) = delete;
  PlaylistLock& operator=(const PlaylistLock&) = delete;

  bool held() const { return held_; }

 private:
  MPlaylist* playlist_;
  uint32_t token_ = 0;
  bool held_ = true;
};

}  // namespace vk2

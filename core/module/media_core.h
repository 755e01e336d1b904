// The media core: the one object through which the user interface, the launcher and the other
// modules reach the named players and playlists. It embeds both managers, passes every player
// event to its listeners on its own event thread (in posting order, holding the player for the
// call), keeps the callback sinks, reads the proxy settings and scrambles text.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "component/object/com_object.h"
#include "core/managers/player_manager.h"
#include "core/managers/playlist_manager.h"
#include "core/registry/listener_channel.h"
#include "interfaces/core/core.h"
#include "interfaces/ids.h"

namespace vk2 {

struct MediaCoreEnvironment {
  PlaylistManagerEnvironment playlists;
  // Its core listener is the core's own.
  PlayerManagerEnvironment players;
  // The proxy settings' store. Null: the runtime's.
  PreferenceMaker makePreferences;
};

class MediaCore final : public ComObject<MediaCore, Face<MCore, kIID_MCore>> {
 public:
  explicit MediaCore(MediaCoreEnvironment environment);

  int32_t SetName(const TString& name) override;
  int32_t RemoveAllObjects() override;
  int32_t GetName(TString* name) override;
  int32_t GetVersion(TString* version) override;
  int32_t GetBuildDate(TString* date) override;
  int32_t ScrambleText(TString* out, const TString& in, int32_t unscramble) override;
  int32_t GetProxySettings(MProxyReceiver* receiver) override;
  int32_t RegisterCallbackSink(MMediaCoreNotify** out, uintptr_t callback, uintptr_t word1,
                               uintptr_t word2, uintptr_t word3, uintptr_t required) override;
  int32_t UnregisterCallbackSink(MMediaCoreNotify* sink) override;
  MPlaylistManager* GetPlaylistManager() override { return &playlists_; }
  MPlayerManager* GetPlayerManager() override { return &players_; }
  int32_t AddRemoveListener(MCoreListener* listener, int32_t add) override;
  int32_t Reserved() override;

 private:
  struct CoreEvent {
    int32_t code;
    TString text;
    RefPtr<MPlayer> player;
  };
  // What players are given as their listener: posts into the core's queue. Owned by the core,
  // which takes it off every player before it goes.
  class EventSink final : public ComObject<EventSink, Face<MPlayerListener>> {
   public:
    explicit EventSink(MediaCore* core) : ComObject(Lifetime::kOwnedElsewhere), core_(core) {}
    void OnEvent(MPlayer* player, int32_t code, const char16_t* text) override;

   private:
    MediaCore* core_;
  };
  class CallbackSink;

  ~MediaCore() override;
  void BeforeDestroy() override;
  void Destroy() override;
  void Post(CoreEvent event);
  void RunEvents();
  PlayerManagerEnvironment WithCoreListener(PlayerManagerEnvironment players);

  const PreferenceMaker makePreferences_;
  std::mutex nameMutex_;
  TString name_;

  ListenerChannel<MCoreListener, CoreEvent> listeners_;
  std::mutex eventMutex_;
  std::condition_variable eventWake_;
  bool eventsWaiting_ = false;  // guarded by eventMutex_
  bool stopping_ = false;       // guarded by eventMutex_
  bool deleteOnExit_ = false;   // guarded by eventMutex_
  std::thread eventThread_;

  std::mutex sinksMutex_;
  std::vector<CallbackSink*> sinks_;  // each holds one reference

  // Declared after the listeners and before the managers: players post into it until the
  // managers have let them go.
  EventSink eventSink_{this};
  PlaylistManager playlists_;
  PlayerManager players_;
};

}  // namespace vk2

// `PlayerControl`: one named player. Transport requests become command records served by the
// player's own thread (player_commands.cpp); options and settings are in player_options.cpp,
// what is playing in player_info.cpp, the media system's and the playlist's callbacks in
// player_callbacks.cpp.
//
// Locks: lock_ guards the playlist, the current item, flags, volume and transition times. It is
// never held while calling the playlist, the media system or a listener, nor while joining, so
// none of them can close a cycle through it.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <utility>
#include <vector>

#include "component/object/com_object.h"
#include "component/object/sub_object.h"
#include "core/player/player_command_queue.h"
#include "core/player/player_errors.h"
#include "core/player/player_event_queue.h"
#include "core/player/player_factory.h"
#include "core/player/player_listeners.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/core/control_object.h"
#include "interfaces/core/media_system.h"
#include "interfaces/core/player.h"
#include "interfaces/core/playlist.h"
#include "interfaces/ids.h"
#include "platform/critical_section.h"
#include "platform/thread.h"

namespace vk2 {

class PlayerControl final : public ComObject<PlayerControl, Face<MPlayer, kIID_MPlayer>,
                                             Face<MPlayerEvents, kIID_MPlayerEvents>> {
 public:
  static int32_t Create(const TString& name, const PlayerEnvironment& environment, MPlayer** out);

  // MPlayer
  int32_t Shutdown() override;
  int32_t GetName(TString* name) override;
  int32_t SetName(const char16_t* name) override;
  int32_t GetFileExtensionText(TString* text) override;
  int32_t GetFileExtensions(MediaTypeList* list) override;
  int32_t Play(uint8_t async) override;
  int32_t Stop(uint8_t async) override;
  int32_t Pause(uint8_t async) override;
  int32_t Next(uint8_t async) override;
  int32_t Previous(uint8_t async) override;
  int32_t SeekToUID(uint32_t id, double position, uint8_t exact, uint8_t play,
                    uint8_t async) override;
  int32_t SeekToIndex(uint32_t index, double position, uint8_t exact, uint8_t play,
                      uint8_t async) override;
  int32_t Scan(double seconds, uint8_t exact, uint8_t async) override;
  int32_t GetInfo(PlayerInfo* info) override;
  int32_t GetPlayProgress(double* fraction) override;
  int32_t GetShuffle(uint8_t* shuffle) override;
  int32_t SetShuffle(uint8_t shuffle) override;
  int32_t GetRepeat(uint32_t* mode) override;
  int32_t SetRepeat(uint32_t mode) override;
  int32_t GetVolume(double* volume) override;
  int32_t SetVolume(double volume) override;
  int32_t GetPlaybackMethod(int32_t* method, double* seconds) override;
  int32_t SetPlaybackMethod(int32_t method, double seconds) override;
  int32_t SetPlaylist(MPlaylist* playlist) override;
  int32_t GetPlaylist(MPlaylist** playlist) override;
  int32_t AddRemoveListener(MPlayerListener* listener, int32_t add) override;
  int32_t GetString(const char16_t* name, TString* value) override;
  int32_t GetInteger(const char16_t* name, int32_t* value) override;
  int32_t GetNumber(const char16_t* name, double* value) override;
  int32_t Describe(PropertyDescriptionList* list) override;
  int32_t SetString(const char16_t* name, const char16_t* value) override;
  int32_t SetInteger(const char16_t* name, int32_t value) override;
  int32_t SetNumber(const char16_t* name, double value) override;
  int32_t LoadSettings(MPreferenceStore* section) override;
  int32_t SaveSettings(MPreferenceStore* section) override;
  int32_t SendFilterMessage(const char16_t* text, uint32_t reserved) override;
  int32_t ListModules(std::vector<TString>* names) override;
  int32_t AddRemoveModuleListListener(MModuleListListener* listener, int32_t add) override;
  int32_t GetModuleString(const char16_t* module, const char16_t* name, TString* value) override;
  int32_t GetModuleNumber(const char16_t* module, const char16_t* name, double* value) override;
  int32_t GetModuleInteger(const char16_t* module, const char16_t* name, int32_t* value) override;
  int32_t SetModuleString(const char16_t* module, const char16_t* name,
                          const char16_t* value) override;
  int32_t SetModuleNumber(const char16_t* module, const char16_t* name, double value) override;
  int32_t SetModuleInteger(const char16_t* module, const char16_t* name, int32_t value) override;
  int32_t QueryControlObjects(const Guid& iid, void** out) override;

  // MPlayerEvents
  int32_t Broadcast(uintptr_t value) override;

 protected:
  MUnknown* QueryMore(const Guid& iid) override;
  void BeforeDestroy() override;

 private:
  // The player's module properties: the media system's, with the player's own settings.
  class Properties final : public SubObject<MModuleProperties, PlayerControl> {
   public:
    using SubObject::SubObject;
    int32_t GetString(const char16_t* n, TString* v) override { return Owner()->GetString(n, v); }
    int32_t GetInteger(const char16_t* n, int32_t* v) override { return Owner()->GetInteger(n, v); }
    int32_t GetNumber(const char16_t* n, double* v) override { return Owner()->GetNumber(n, v); }
    int32_t Describe(PropertyDescriptionList* l) override { return Owner()->Describe(l); }
    int32_t SetString(const char16_t* n, const char16_t* v) override {
      return Owner()->SetString(n, v);
    }
    int32_t SetInteger(const char16_t* n, int32_t v) override { return Owner()->SetInteger(n, v); }
    int32_t SetNumber(const char16_t* n, double v) override { return Owner()->SetNumber(n, v); }
    int32_t LoadSettings(MPreferenceStore* s) override { return Owner()->LoadSettings(s); }
    int32_t SaveSettings(MPreferenceStore* s) override { return Owner()->SaveSettings(s); }
    int32_t SendFilterMessage(const char16_t* t, uint32_t r) override {
      return Owner()->SendFilterMessage(t, r);
    }
  };

  // What the media system asks of and tells the player.
  class MediaOwner final : public MediaSystemOwner {
   public:
    explicit MediaOwner(PlayerControl* player) : player_(player) {}
    int32_t GetCurrentItem(ItemInfo* item) override { return player_->OwnerCurrentItem(item); }
    int32_t Advance() override { return player_->OwnerAdvance(); }
    int32_t SelectItem(uint32_t id) override { return player_->OwnerSelectItem(id); }
    int32_t OnStreamIdChanged(uint32_t id) override { return player_->OwnerStreamIdChanged(id); }
    int32_t OnError(const char16_t* text) override { return player_->OwnerError(text); }
    int32_t OnFlushed() override { return player_->OwnerFlushed(); }

   private:
    PlayerControl* player_;
  };

  class PlaylistWatch final : public MPlaylistListener {
   public:
    explicit PlaylistWatch(PlayerControl* player) : player_(player) {}
    int32_t OnChange(const PlaylistChangeList*) override {
      player_->RevalidateCurrentItem(true);
      return 0;
    }

   private:
    PlayerControl* player_;
  };

  PlayerControl(const TString& name, const PlayerEnvironment& environment);
  ~PlayerControl() override;
  int32_t Init();

  // Commands (player_commands.cpp).
  int32_t Post(PlayerCommand command, uint8_t async);
  void ServeCommands();
  int32_t Execute(const PlayerCommand& command);
  int32_t RunPlay();
  int32_t RunStop();
  int32_t RunPause();
  int32_t RunStep(int32_t direction);
  int32_t RunGoTo(uint32_t target, int32_t steps, double position, uint8_t exact, uint8_t play);
  int32_t RunGoToIndex(const PlayerCommand& command);
  int32_t RunScan(double seconds, uint8_t exact);
  int32_t RunSetPlaylist(MPlaylist* playlist);
  void FailWithStop(int32_t result);
  void CancelSwitch();
  void StopCommandThread();

  // Callbacks (player_callbacks.cpp).
  int32_t OwnerCurrentItem(ItemInfo* item);
  int32_t OwnerAdvance();
  int32_t OwnerSelectItem(uint32_t id);
  int32_t OwnerStreamIdChanged(uint32_t id);
  int32_t OwnerError(const char16_t* text);
  int32_t OwnerFlushed();
  // When the current item has left the playlist, the item after it becomes current; with
  // `restart` a playing player then plays it.
  void RevalidateCurrentItem(bool restart);
  void RefreshItem(uint32_t id);

  // Settings (player_options.cpp).
  RefPtr<MPreferenceStore> NewPreferences();
  RefPtr<MPreferenceStore> OpenOwnSection(MPreferenceStore* base);
  void LoadControlObjects(MPreferenceStore* section);
  void DetachControlObjects();
  RefPtr<MModuleProperties> ModuleProperties(const char16_t* module,
                                             RefPtr<MPreferenceStore>* section);

  void Fire(int32_t code, TString text = TString());
  void Deliver(const PlayerEvent& event);
  RefPtr<MPlaylist> Playlist();
  bool Shuffled();
  bool OnCommandThread() const;

  const PlayerEnvironment env_;
  Properties properties_{this};
  MediaOwner mediaOwner_{this};
  PlaylistWatch playlistWatch_{this};
  PlayerErrors errors_;
  RefPtr<MErrorRegistry> registry_;
  RefPtr<MMediaSystem> media_;
  RefPtr<MUnknown> baseObject_;  // inner unknown of the aggregated base object (parts)

  std::mutex nameMutex_;
  TString name_;

  CriticalSection lock_;
  RefPtr<MPlaylist> playlist_;
  uint32_t currentId_ = 0;
  uint32_t lastStreamId_ = 0;
  uint32_t flags_ = 0;
  double volume_ = 1.0;
  double seamlessTime_ = 0.0;
  double crossfadeTime_ = 5.0;

  std::mutex settingsMutex_;
  RefPtr<MPreferenceStore> section_;     // the player's own section, from LoadSettings
  RefPtr<MPreferenceStore> loadedFrom_;  // what LoadSettings was given: saved to at shutdown
  std::vector<std::pair<Guid, RefPtr<MControlObject>>> controls_;  // in category order

  PlayerCommandQueue commands_;
  Thread commandThread_;
  PlayerListenerList listeners_;
  PlayerEventQueue events_;
  std::atomic<bool> shutDown_{false};
  std::atomic<bool> switching_{false};      // the player thread runs a command that switches
  std::atomic<bool> stopRequested_{false};  // a Stop cancelled that switch
};

}  // namespace vk2

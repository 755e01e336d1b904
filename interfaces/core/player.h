// A named player of the media core: transport commands served by the player's own thread,
// options (shuffle, repeat, volume, playback method), what is playing, module settings, and the
// events it sends to its listeners.
#pragma once

#include <cstdint>
#include <vector>

#include "core/playlist/item_info.h"
#include "foundation/text/tstring.h"
#include "interfaces/audio/module_properties.h"
#include "interfaces/core/media_system.h"
#include "interfaces/unknown.h"

namespace vk2 {

class MPlaylist;
class MPlayer;
class MPreferenceStore;

// Player events, in the order the script layer numbers them.
enum PlayerEventCode : int32_t {
  kPlayerPlaying = 0,
  kPlayerPlayFailed = 1,  // text: the failure's message
  kPlayerStopping = 2,
  kPlayerPausing = 3,
  kPlayerSongStarted = 4,
  kPlayerSeeking = 5,
  kPlayerSeekFailed = 6,
  kPlayerSeeked = 7,  // not sent by the player itself
  kPlayerVolumeChanged = 8,
  kPlayerShuffleChanged = 9,
  kPlayerRepeatChanged = 10,
  kPlayerCurrentIdChanged = 11,
};
inline constexpr int32_t kPlayerEventCount = 12;

// Entries of the player's error table, "Velkora Audio Player Control".
enum class PlayerError : uint32_t {
  kNoPlaylist = 0,
  kPlaylistEmpty = 1,
  kRefusedToPlay = 2,
  kRefusedToLoad = 3,
  kAlreadyPlaying = 4,
  kNotPlaying = 5,
  kInternalError = 6,
  kAlreadyPaused = 7,
  kNoMoreSongs = 8,
};
inline constexpr uint32_t kPlayerErrorCount = 9;
inline constexpr char kPlayerErrorTable[] = "Velkora Audio Player Control";

// Repeat modes (the low two bits of SetRepeat; 3 acts as off).
enum RepeatMode : uint32_t {
  kRepeatOff = 0,
  kRepeatAll = 1,
  kRepeatOne = 2,
};

// The player's flag word. GetInfo's state word carries the playback state in bits 0-1 and
// these flags in bits 2-4.
inline constexpr uint32_t kPlayerShuffleFlag = 0x4;
inline constexpr uint32_t kPlayerRepeatShift = 3;
inline constexpr uint32_t kPlayerRepeatMask = 0x18;
inline constexpr uint32_t kPlayerStateMask = 0x3;

// Stream id of audio that is not a playlist item.
inline constexpr uint32_t kInsertedAudioId = 0xFFFFFFFFu;

// What GetInfo reports.
struct PlayerInfo {
  ItemInfo item;
  uint32_t state = 0;  // bits 0-1 playback state, bits 2-4 the player's shuffle and repeat flags
  uint32_t currentId = 0;
  uint32_t count = 0;
  uint32_t index = 0;
  double time = 0.0;  // seconds into the item
};

// A transport request, as queued for the player's thread.
enum PlayerCommandKind : uint32_t {
  kCommandPlay = 0,
  kCommandStop = 1,
  kCommandPause = 2,
  kCommandNext = 3,
  kCommandPrevious = 4,
  kCommandGoToItem = 5,
  kCommandGoToIndex = 6,
  kCommandScan = 7,
  kCommandSetPlaylist = 8,
};

// What a waiting caller hears when its command never ran as posted: merged into a later one
// that succeeded (and did the work; a failure of the later one is passed on as it is), or still
// queued when the player shut down, or posted after.
inline constexpr int32_t kPlayerCommandMerged = 1;
inline constexpr int32_t kPlayerCommandCancelled = -12;

struct PlayerCompletion;

struct PlayerCommand {
  uint32_t command = kCommandPlay;
  uintptr_t target = 0;    // item id (go to item), index (go to index), MPlaylist* (set playlist)
  int32_t steps = 0;       // items to move from the target (go to item)
  double position = -1.0;  // seconds within the item; -1.0 none; the distance for a scan
  uint8_t exact = 0;
  uint8_t play = 0;
  int32_t result = 0;
  PlayerCompletion* completion = nullptr;  // set for a waiting caller; null when posted async
};

// Told of every player event, on the player's event thread, in posting order.
class MPlayerListener : public MUnknown {
 public:
  virtual void OnEvent(MPlayer* player, int32_t code, const char16_t* text) = 0;

 protected:
  ~MPlayerListener() = default;
};

// Told when the list of audio modules a player can configure changes. Held without a reference.
class MModuleListListener {
 public:
  virtual void OnModuleListChanged() = 0;

 protected:
  ~MModuleListListener() = default;
};

class MPlayer : public MUnknown {
 public:
  virtual int32_t Shutdown() = 0;
  virtual int32_t GetName(TString* name) = 0;
  virtual int32_t SetName(const char16_t* name) = 0;
  virtual int32_t GetFileExtensionText(TString* text) = 0;
  virtual int32_t GetFileExtensions(MediaTypeList* list) = 0;

  // `async` non-zero posts and returns 0 at once; zero waits and returns the command's result.
  virtual int32_t Play(uint8_t async) = 0;
  virtual int32_t Stop(uint8_t async) = 0;
  virtual int32_t Pause(uint8_t async) = 0;
  virtual int32_t Next(uint8_t async) = 0;
  virtual int32_t Previous(uint8_t async) = 0;
  virtual int32_t SeekToUID(uint32_t id, double position, uint8_t exact, uint8_t play,
                            uint8_t async) = 0;
  virtual int32_t SeekToIndex(uint32_t index, double position, uint8_t exact, uint8_t play,
                              uint8_t async) = 0;
  virtual int32_t Scan(double seconds, uint8_t exact, uint8_t async) = 0;

  virtual int32_t GetInfo(PlayerInfo* info) = 0;
  // The fraction of the playlist played, 0 to 1; -1.0 when it cannot be told.
  virtual int32_t GetPlayProgress(double* fraction) = 0;

  virtual int32_t GetShuffle(uint8_t* shuffle) = 0;
  virtual int32_t SetShuffle(uint8_t shuffle) = 0;
  virtual int32_t GetRepeat(uint32_t* mode) = 0;
  virtual int32_t SetRepeat(uint32_t mode) = 0;
  virtual int32_t GetVolume(double* volume) = 0;
  virtual int32_t SetVolume(double volume) = 0;
  virtual int32_t GetPlaybackMethod(int32_t* method, double* seconds) = 0;
  virtual int32_t SetPlaybackMethod(int32_t method, double seconds) = 0;

  // Must not be null. Posted: the playlist is taken in on the player's thread.
  virtual int32_t SetPlaylist(MPlaylist* playlist) = 0;
  virtual int32_t GetPlaylist(MPlaylist** playlist) = 0;
  // -6 when adding a present listener, -5 when removing an absent one.
  virtual int32_t AddRemoveListener(MPlayerListener* listener, int32_t add) = 0;

  // The media system's properties (those of the playing chain), and the player's settings.
  virtual int32_t GetString(const char16_t* name, TString* value) = 0;
  virtual int32_t GetInteger(const char16_t* name, int32_t* value) = 0;
  virtual int32_t GetNumber(const char16_t* name, double* value) = 0;
  virtual int32_t Describe(PropertyDescriptionList* list) = 0;
  virtual int32_t SetString(const char16_t* name, const char16_t* value) = 0;
  virtual int32_t SetInteger(const char16_t* name, int32_t value) = 0;
  virtual int32_t SetNumber(const char16_t* name, double value) = 0;
  // `section`: the store under whose section the player keeps its own, named after it.
  virtual int32_t LoadSettings(MPreferenceStore* section) = 0;
  virtual int32_t SaveSettings(MPreferenceStore* section) = 0;
  // Sends a text to every module of the playing chain (effect filters reload on it).
  virtual int32_t SendFilterMessage(const char16_t* text, uint32_t reserved) = 0;

  // The audio modules that can be configured through the player, from its manager.
  virtual int32_t ListModules(std::vector<TString>* names) = 0;
  virtual int32_t AddRemoveModuleListListener(MModuleListListener* listener, int32_t add) = 0;

  // Settings of one audio module, kept in the module's section under the player's.
  virtual int32_t GetModuleString(const char16_t* module, const char16_t* name, TString* value) = 0;
  virtual int32_t GetModuleNumber(const char16_t* module, const char16_t* name, double* value) = 0;
  virtual int32_t GetModuleInteger(const char16_t* module, const char16_t* name,
                                   int32_t* value) = 0;
  virtual int32_t SetModuleString(const char16_t* module, const char16_t* name,
                                  const char16_t* value) = 0;
  virtual int32_t SetModuleNumber(const char16_t* module, const char16_t* name, double value) = 0;
  virtual int32_t SetModuleInteger(const char16_t* module, const char16_t* name, int32_t value) = 0;
  // The first control object that answers `iid`; -5 when none does.
  virtual int32_t QueryControlObjects(const Guid& iid, void** out) = 0;

 protected:
  ~MPlayer() = default;
};

// Hands a value (the script object of the player) to every control object of the player.
class MPlayerEvents : public MUnknown {
 public:
  virtual int32_t Broadcast(uintptr_t value) = 0;

 protected:
  ~MPlayerEvents() = default;
};

// What a player needs of the manager that made it: the catalogue of audio modules and the
// module instances it keeps per player. The manager outlives its players.
class MPlayerModuleCatalogue {
 public:
  virtual int32_t ListModules(std::vector<TString>* names) = 0;
  virtual int32_t AddRemoveListener(MModuleListListener* listener, int32_t add) = 0;
  // The instance of `module` kept under `key`, made and given its settings from `settings`
  // when there is none; one reference for the caller. -5 for an unknown module.
  virtual int32_t GetModuleInstance(const char16_t* module, const char16_t* key,
                                    MPreferenceStore* settings, MUnknown** instance) = 0;

 protected:
  ~MPlayerModuleCatalogue() = default;
};

}  // namespace vk2

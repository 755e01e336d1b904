// The media core: the one object through which the user interface, the launcher and the other
// modules reach the named players and playlists, with the two managers that keep them and the
// module-wide notification thread.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/text/tstring.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/core/named_objects.h"
#include "interfaces/core/player.h"
#include "interfaces/core/playlist.h"
#include "interfaces/unknown.h"

namespace vk2 {

class MPreferenceStore;

// Told of every player event, on the core's event thread, in posting order; held without a
// reference (removal waits for a call in flight). `player` is held for the length of the call.
class MCoreListener {
 public:
  virtual void OnCoreEvent(int32_t code, const TString& text, MPlayer* player) = 0;

 protected:
  ~MCoreListener() = default;
};

// A proxy for network readers: all three empty texts but the URL when there is no
// authentication.
struct ProxyRecord {
  NarrowString url;
  NarrowString user;
  NarrowString password;
};

class MProxyReceiver {
 public:
  virtual void SetProxy(const ProxyRecord& proxy) = 0;

 protected:
  ~MProxyReceiver() = default;
};

// A packet handed to a callback sink: the payload's byte length, its type and the payload.
struct MediaCorePacket {
  uint32_t type = 0;
  const uint8_t* payload = nullptr;
  uint32_t payloadBytes = 0;
};
inline constexpr uint32_t kMediaCorePacketCommand = 4099;

class MMediaCoreNotify : public MUnknown {
 public:
  virtual int32_t OnPacket(const MediaCorePacket& packet) = 0;
  virtual int32_t Reserved() = 0;
  virtual int32_t FreeBuffer(void* buffer) = 0;

 protected:
  ~MMediaCoreNotify() = default;
};

class MPlaylistManager : public MNamedObjects<MPlaylist> {
 public:
  // Stores the idle-scan settings and hands them to every playlist.
  virtual int32_t SetIdleScan(IdleScanMode mode, uint8_t startImmediately) = 0;
  // A new playlist, not kept by name; without `noIdleScan` it gets the idle-scan settings.
  virtual int32_t Create(RefPtr<MPlaylist>* out, uint8_t noIdleScan) = 0;

 protected:
  ~MPlaylistManager() = default;
};

class MPlayerManager : public MNamedObjects<MPlayer> {
 public:
  // A new player, not kept by name, with the core listening to its events.
  virtual int32_t Create(RefPtr<MPlayer>* out) = 0;
  // Stores the player's options in the preference section of players.
  virtual int32_t SavePlayer(MPlayer* player) = 0;
  virtual int32_t LoadPlayer(MPlayer* player) = 0;
  // Told after every rebuild of the module catalogue.
  virtual int32_t AddRemoveModuleListListener(MModuleListListener* listener, int32_t add) = 0;
  virtual int32_t ListModules(std::vector<TString>* names) = 0;
  virtual int32_t GetModuleInstance(const char16_t* module, const char16_t* key,
                                    MPreferenceStore* settings, MUnknown** instance) = 0;

 protected:
  ~MPlayerManager() = default;
};

class MCore : public MUnknown {
 public:
  virtual int32_t SetName(const TString& name) = 0;
  // Shuts down and removes every player (its options saved first), then every playlist.
  virtual int32_t RemoveAllObjects() = 0;
  virtual int32_t GetName(TString* name) = 0;
  virtual int32_t GetVersion(TString* version) = 0;
  virtual int32_t GetBuildDate(TString* date) = 0;
  // Scrambling hides text from a casual look; it protects nothing from anyone with this code.
  virtual int32_t ScrambleText(TString* out, const TString& in, int32_t unscramble) = 0;
  // Delivers the proxy of the preferences' "proxy" section, when one is enabled.
  virtual int32_t GetProxySettings(MProxyReceiver* receiver) = 0;
  virtual int32_t RegisterCallbackSink(MMediaCoreNotify** out, uintptr_t callback, uintptr_t word1,
                                       uintptr_t word2, uintptr_t word3, uintptr_t required) = 0;
  virtual int32_t UnregisterCallbackSink(MMediaCoreNotify* sink) = 0;
  // The embedded managers; they live as long as the core.
  virtual MPlaylistManager* GetPlaylistManager() = 0;
  virtual MPlayerManager* GetPlayerManager() = 0;
  virtual int32_t AddRemoveListener(MCoreListener* listener, int32_t add) = 0;
  virtual int32_t Reserved() = 0;

 protected:
  ~MCore() = default;
};

// Called about once a second on the notification thread; held without a reference.
class MNotificationTick {
 public:
  virtual void OnTick() = 0;

 protected:
  ~MNotificationTick() = default;
};

class MNotificationThread : public MUnknown {
 public:
  // add 1 adds (-6 when present), 0 removes (-5 when absent); a removal returns only after a
  // tick in progress on that listener.
  virtual int32_t AddRemoveListener(MNotificationTick* listener, int32_t add) = 0;

 protected:
  ~MNotificationThread() = default;
};

}  // namespace vk2

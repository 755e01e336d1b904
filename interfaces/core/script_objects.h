// The core script objects as the rest of the system sees them: the script face of each named
// playlist and player (parts of the core object, reached by asking it for these ids), the two
// containers `players` and `playlists`, the `player` helper and the `files` object. The module's
// class hands each out by the class ids of interfaces/ids.h.
#pragma once

#include <cstdint>

#include "foundation/text/tstring.h"
#include "interfaces/unknown.h"

namespace vk2 {

class MCore;
class MPlayer;
class MPlaylist;
class MPreferenceStore;

// The script face of one named playlist, aggregated into the core playlist.
class MScriptPlaylistObject : public MUnknown {
 public:
  virtual void GetName(TString* out) = 0;
  // An empty name shows as "default" to scripts.
  virtual void SetName(const TString& name) = 0;
  // Stops and starts the flow of playlist events into the script callbacks.
  virtual void Detach() = 0;
  virtual int32_t Attach(MPlaylist* playlist, MCore* core) = 0;

 protected:
  ~MScriptPlaylistObject() = default;
};

// The script face of one named player, aggregated into the core player.
class MScriptPlayerObject : public MUnknown {
 public:
  virtual void GetName(TString* out) = 0;
  virtual void SetName(const TString& name) = 0;
  // Also detaches the `settings` child from the player, so nothing reaches a player that goes.
  virtual void Detach() = 0;
  virtual int32_t Attach(MPlayer* player, MCore* core) = 0;

 protected:
  ~MScriptPlayerObject() = default;
};

// `players` and `playlists`: answered under their class ids (kIID_PlayersScriptContainer,
// kIID_PlaylistsScriptContainer). Attaching takes the core's player or playlist manager, turns
// every name it holds into a child and follows its changes from then on.
class MScriptContainer : public MUnknown {
 public:
  virtual int32_t AttachManager(MCore* core) = 0;
  // Stops following the manager and lets go of the children; the container stays usable.
  virtual void DetachManager() = 0;

 protected:
  ~MScriptContainer() = default;
};

// `player`, answered under kIID_PlayerHelperScriptObject. `preferences` is the branch under
// which the helper keeps its section "PlayerHelper" (null: the top of the preferences).
class MPlayerHelper : public MUnknown {
 public:
  virtual int32_t Attach(MCore* core, MPreferenceStore* preferences) = 0;
  // Leaves the script engine (which holds the helper once attached) and lets go of the core;
  // called at shutdown.
  virtual void Detach() = 0;

 protected:
  ~MPlayerHelper() = default;
};

// `files`, answered under kIID_FilesScriptObject: file-type associations for the program.
class MFilesObject : public MUnknown {
 public:
  // Writes the program identifier's keys for the program at `programPath` (UTF-8).
  virtual int32_t CreateProgIdKeys(const char* programPath) = 0;
  // `extension` without its dot. 0 on success, negative on failure.
  virtual int32_t SetExtensionAssociation(const TString& extension, bool registered) = 0;
  // 1 when the extension is ours, else 0.
  virtual int32_t IsExtensionAssociated(const TString& extension) = 0;

 protected:
  ~MFilesObject() = default;
};

}  // namespace vk2

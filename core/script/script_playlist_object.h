// The script face of one core playlist: a part of the core playlist (so asking the playlist for
// MScriptObject reaches it), carrying the playlist functions and turning the playlist's change
// lists into script callbacks ("ItemsAdded", "ItemsRemoved", ...), on the playlist's worker.
#pragma once

#include <cstdint>
#include <mutex>

#include "component/object/aggregation.h"
#include "component/script/script_binding_table.h"
#include "core/script/playlist_functions.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/core/playlist.h"
#include "interfaces/core/script_objects.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/base_object.h"

namespace vk2 {

class ScriptPlaylistObject final
    : public Aggregatable<ScriptPlaylistObject,
                          Face<MScriptPlaylistObject, kIID_MScriptPlaylistObject>>,
      public PlaylistFunctionTarget,
      private MPlaylistListener {
 public:
  // Made as a part of the object behind `host` (the core playlist), which keeps it. Null when
  // the host takes no parts or no script object can be made.
  static RefPtr<MScriptPlaylistObject> Create(MBaseObject* host);

  void GetName(TString* out) override;
  void SetName(const TString& name) override;
  void Detach() override;
  int32_t Attach(MPlaylist* playlist, MCore* core) override;

  MPlaylist* Playlist() override { return playlist_; }
  MErrorRegistry* Errors() override { return errors_.Get(); }

  // The event name of a change type ("unknown" past the last).
  static const char16_t* EventName(uint32_t changeType);

 private:
  explicit ScriptPlaylistObject(MBaseObject* host);
  ~ScriptPlaylistObject() override = default;
  bool Init(MBaseObject* host);

  int32_t OnChange(const PlaylistChangeList* changes) override;

  ScriptBindingTable bindings_;
  std::recursive_mutex eventLock_;
  std::mutex nameLock_;
  TString name_;
  MPlaylist* playlist_ = nullptr;  // not counted: the playlist owns this object
  RefPtr<MErrorRegistry> errors_;
  MScriptObject* script_ = nullptr;  // not counted: a part of the same host
};

}  // namespace vk2

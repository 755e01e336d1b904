// `players` and `playlists`: script objects whose children are the script faces of the core's
// named players or playlists. A container follows its manager: each name added becomes a child
// (the script face aggregated into the core object), each removal drops it, each rename renames
// it; scripts add, remove, rename, list and make temporary ones through its functions.
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "component/script/script_binding_table.h"
#include "core/script/script_native_object.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/core/core.h"
#include "interfaces/core/named_objects.h"
#include "interfaces/core/script_objects.h"
#include "interfaces/runtime/error_registry.h"

namespace vk2 {

// What a container's functions use of it, whatever it holds.
class ContainerFunctionTarget {
 public:
  virtual int32_t AddRemove(const TString& name, int32_t add) = 0;
  virtual int32_t Rename(const TString& oldName, const TString& newName) = 0;
  virtual int32_t MakeTemporaryName(const TString& base, TString* out) = 0;
  virtual int32_t ListNames(std::vector<TString>* out) = 0;
  virtual MErrorRegistry* Errors() = 0;
  // Null for the players container.
  virtual MPlaylistManager* Playlists() = 0;

 protected:
  ~ContainerFunctionTarget() = default;
};

// Object: MPlaylist or MPlayer; Child: its script face's interface.
template <class Object, class Child, const Guid& kClassId>
class ScriptContainer final : public ScriptNativeObject<ScriptContainer<Object, Child, kClassId>,
                                                        Face<MScriptContainer, kClassId>>,
                              public ContainerFunctionTarget,
                              private MNamedObjectListener {
 public:
  static RefPtr<MScriptContainer> Create();

  int32_t AttachManager(MCore* core) override;
  void DetachManager() override;

  int32_t AddRemove(const TString& name, int32_t add) override;
  int32_t Rename(const TString& oldName, const TString& newName) override;
  int32_t MakeTemporaryName(const TString& base, TString* out) override;
  int32_t ListNames(std::vector<TString>* out) override;
  MErrorRegistry* Errors() override { return errors_.Get(); }
  MPlaylistManager* Playlists() override;

 private:
  ScriptContainer();
  ~ScriptContainer() override;

  void OnChange(int32_t change, const TString& name, const TString& secondName) override;
  void AddChild(const TString& name, MScriptObject* params);
  void RemoveChild(const TString& name);
  void RenameChild(const TString& oldName, const TString& newName);
  MNamedObjects<Object>* Manager();

  std::recursive_mutex lock_;
  ScriptBindingTable bindings_;
  RefPtr<MErrorRegistry> errors_;
  RefPtr<MCore> core_;
  MNamedObjects<Object>* manager_ = nullptr;  // not counted: the core owns it
  std::vector<RefPtr<Child>> children_;
};

using PlaylistsContainer =
    ScriptContainer<MPlaylist, MScriptPlaylistObject, kIID_PlaylistsScriptContainer>;
using PlayersContainer = ScriptContainer<MPlayer, MScriptPlayerObject, kIID_PlayersScriptContainer>;

}  // namespace vk2

// The playlist view's script methods: the current item and the selection read and set by
// playlist id, and scrolling an item into view or to an edge.
#pragma once

#include <cstdint>
#include <vector>

#include "component/script/script_arg_list.h"
#include "foundation/text/tstring.h"
#include "interfaces/gui/list_view.h"
#include "interfaces/script/handler_call.h"

namespace vk2 {
class MScriptMemberRegistry;
}

namespace vk2::gui {

// What a method hands back: a text, or an array of member names (ids) with empty values.
struct PlaylistMethodResult {
  TString text;
  std::vector<TString> members;
  bool isArray = false;
  TString error;  // with -4
};

enum PlaylistMethod : int32_t {
  kGetCurrentItem = 0,
  kGetSelection,
  kSetCurrentItem,
  kSetSelection,
  kScrollToShowItem,
  kScrollToItem,
  kPlaylistMethodCount
};

// 0, -3 for arguments of the wrong shape, -4 (with `error`) when the view refuses an id.
int32_t RunPlaylistMethod(PlaylistMethod method, const ScriptArgList& args, MPlaylistView* view,
                          PlaylistMethodResult* result);

// Finds the list view a registered method acts on.
class PlaylistMethodTarget {
 public:
  virtual MPlaylistView* ListView() = 0;

 protected:
  ~PlaylistMethodTarget() = default;
};

// Registers the six methods with their help texts; `target` is each call's object datum.
void RegisterPlaylistMethods(MScriptMemberRegistry* registry, MScriptObject* object,
                             PlaylistMethodTarget* target);

}  // namespace vk2::gui

// How the player manager makes a player, and what a test may put in place of the real parts.
#pragma once

#include <cstdint>
#include <functional>

#include "foundation/text/tstring.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/core/media_system.h"
#include "interfaces/core/player.h"
#include "interfaces/runtime/class_enumerator.h"
#include "interfaces/runtime/error_registry.h"
#include "interfaces/runtime/preference_store.h"
#include "platform/wait.h"

namespace vk2 {

struct PlayerTimings {
  // How long a waiting caller waits for its command; it then gets kErrTimedOut and the command
  // still runs. Shutdown answers every waiting caller at once, whatever this is.
  uint32_t commandWaitMs = 60000;
};

struct PlayerEnvironment {
  // The manager's module catalogue; not held (the manager outlives its players). Null: the
  // module operations answer as a player without a manager.
  MPlayerModuleCatalogue* catalogue = nullptr;
  // Null: the runtime's.
  RefPtr<MErrorRegistry> errors;
  // Null: the runtime's class enumerator (control objects come from its category).
  RefPtr<MClassEnumerator> classes;
  // Makes the player's media system (DefaultPlayerEnvironment gives the media core's own).
  std::function<RefPtr<MMediaSystem>()> makeMediaSystem;
  // Null: a store of the runtime's preference tree.
  std::function<RefPtr<MPreferenceStore>()> makePreferences;
  // Makes the base object the player aggregates for the parts that scripts attach: its inner
  // unknown with one reference, `outer` being the player. Null: the runtime's.
  std::function<RefPtr<MUnknown>(MUnknown* outer)> makeBaseObject;
  PlayerTimings timings;
};

// The parts a player of the media core module uses: the media core's media system and the
// runtime's services, with the manager's catalogue.
PlayerEnvironment DefaultPlayerEnvironment(MPlayerModuleCatalogue* catalogue);

// A new player named `name`, its thread running, one reference in `*player`. The playlist is
// set afterwards (SetPlaylist).
int32_t CreatePlayer(const TString& name, const PlayerEnvironment& environment, MPlayer** player);

}  // namespace vk2

// Docking between hosts: while a host is dragged, its slave dock points snap to the master
// points of other shown hosts within kSnapDistance; docked slaves follow their master's moves.
// Loop thread only.
#pragma once

#include <cstdint>

#include "interfaces/gui/window_element.h"

namespace vk2::gui {

class HostWindowObject;

class Docking {
 public:
  static constexpr int32_t kSnapDistance = 10;

  // A drag proposes `location` for `moving`; snaps it to a master point when one is close and
  // docks or undocks with notifications 32.
  static void Snap(HostWindowObject* moving, PointI* location);
  // Moves every host docked to `master` by `delta`, recursively.
  static void MasterMoved(HostWindowObject* master, PointI delta);
  // Undocks every slave of `master` (hidden or going away).
  static void MasterHidden(HostWindowObject* master);
  // Drops every link of `host`.
  static void Forget(HostWindowObject* host);
  // The master `slave` is docked to, or null.
  static HostWindowObject* MasterOf(HostWindowObject* slave);
};

}  // namespace vk2::gui

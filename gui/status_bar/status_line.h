// The line a status bar shows: a resting line (the last level-0 record) and, for 3000 ms, a
// record of a higher level on top of it. Records and ticks arrive on other threads (the GUI main
// object's worker, the player bridge, the media core's notification thread); each change asks
// for a repaint through a callback that must be safe to call from any thread.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>

#include "foundation/text/tstring.h"
#include "interfaces/gui/listener_list.h"
#include "platform/clock.h"

namespace vk2::gui {

// A kept copy of a status record: a text (kind 1) or a progress (kind 2: left text, right text
// and the filled fraction of the bar between them).
struct StatusMessage {
  uint32_t kind = 0;
  uint32_t subKind = 0;
  TString text;
  TString rightText;
  double fraction = 0.0;
};

class StatusLine {
 public:
  static constexpr uint64_t kShowMs = 3000;

  StatusLine(Clock& clock, std::function<void()> repaint)
      : clock_(clock), repaint_(std::move(repaint)) {}

  // A record of at least the level shown replaces the top line; a level-0 record also becomes
  // the resting line.
  void OnStatus(const StatusRecord& record);
  // About once a second: a top line older than 3000 ms gives way to the resting line.
  void Tick();
  // What is shown now.
  StatusMessage Shown();
  uint32_t Level();

 private:
  Clock& clock_;
  const std::function<void()> repaint_;
  std::recursive_mutex mutex_;
  StatusMessage top_;
  StatusMessage resting_;
  uint32_t level_ = 0;
  uint64_t shownAtMs_ = 0;
};

}  // namespace vk2::gui

#include "visual/fullscreen/fullscreen_backend.h"

namespace vk2 {

bool ActionOfCharacter(char32_t c, FullscreenAction* action) {
  struct Entry {
    char32_t c;
    FullscreenAction action;
  };
  static constexpr Entry kTable[] = {
      {27, FullscreenAction::kQuit},           {'%', FullscreenAction::kPlayerPrevious},
      {'\'', FullscreenAction::kPlayerNext},   {'&', FullscreenAction::kVolumeUp},
      {'(', FullscreenAction::kVolumeDown},    {'x', FullscreenAction::kPlay},
      {'X', FullscreenAction::kPlay},          {'c', FullscreenAction::kStop},
      {'C', FullscreenAction::kStop},          {'+', FullscreenAction::kLargerMode},
      {'-', FullscreenAction::kSmallerMode},   {']', FullscreenAction::kDeeperMode},
      {'[', FullscreenAction::kShallowerMode}, {'.', FullscreenAction::kPreviousVisual},
      {';', FullscreenAction::kNextVisual},
  };
  for (const Entry& e : kTable) {
    if (e.c == c) {
      *action = e.action;
      return true;
    }
  }
  return false;
}

}  // namespace vk2

// What a player event shows on the status interface: a text at a level, or a value record
// (seek position, volume). Only reads the player; the caller broadcasts.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "foundation/text/tstring.h"
#include "interfaces/core/player.h"
#include "interfaces/gui/listener_list.h"

namespace vk2::gui {

// "h:mm:ss" from an hour on, else "mm:ss"; the seconds truncated.
TString PositionText(double seconds);
// "(55%)" for 0.555.
TString VolumeText(double volume);
TString RepeatText(uint32_t mode);

// A value record: kind kStatusValue, sub-kind 1.
StatusRecord ValueRecord(const char16_t* name, const TString& text, double value);
StatusRecord TextRecord(const TString& text, uint32_t level);

struct PlayerEventTexts {
  // The resting text ("Velkora 2 <version> (<date>)").
  std::function<TString()> versionText;
  // The current song's display text; empty when none.
  std::function<TString()> displayString;
};

// The records an event shows, in order; none for events that show nothing or when the player
// cannot be read.
std::vector<StatusRecord> StatusForEvent(int32_t code, const TString& text, MPlayer* player,
                                         const PlayerEventTexts& texts);

}  // namespace vk2::gui

// Display templates: text with fields ("%(title)"), conditionals ("%?(author){...}{...}") and
// escaped braces ("%{"), expanded against a song or a time. Literal text directly before a
// closing brace is dropped, so templates end such literals with a tab (never output itself).
#pragma once

#include <cstdint>
#include <functional>

#include "foundation/text/tstring.h"
#include "interfaces/core/player.h"

namespace vk2 {

using TemplateResolver = std::function<TString(const TString& field)>;

// False (and no text) when the template is malformed: a field without its parentheses, '%'
// before anything but a brace, '?', a blank or '(', a conditional without '{', or one left open.
bool ExpandTemplate(const TString& text, const TemplateResolver& resolve, TString* out);

// Fields of the player's state: method, streaming, filename, path, name, url, author, title,
// time, length, index, number, state, and any token of the current item.
TString ResolveSongField(const PlayerInfo& info, const TString& field);

// The class characters of the three time values.
inline constexpr char16_t kPlayTimeChar = 0xE000;
inline constexpr char16_t kTimeRemainingChar = 0xE001;
inline constexpr char16_t kTotalTimeChar = 0xE002;

struct TimeContext {
  double seconds = 0.0;
  char16_t classChar = kPlayTimeChar;
  uint32_t durationKind = 2;  // an ItemInfo duration type
};

// days, hours, minutes, seconds, milli (with the prefixes '0', a width digit and '%' for the
// wrapped value), multiple<unit>, classchar, playtime, timeremaining, totaltime, estimate,
// infinite and known.
TString ResolveTimeField(const TimeContext& time, const TString& field);

// The built-in templates of the player helper.
TString DefaultDisplayTemplate();
TString DefaultTimeTemplate();
TString DefaultTotalTimeTemplate();

}  // namespace vk2

// The console window's script method `SetMinDisplayType`, which it adds to the script object of
// the interface window holding it, so that the interface's scripts choose what it shows.
#pragma once

#include <cstdint>

namespace vk2 {
class MScriptObject;
}

namespace vk2::gui {

// The window's level setter: only debug, info, warning and error levels are taken.
class ConsoleLevelTarget {
 public:
  virtual bool SetMinLevel(int32_t level) = 0;

 protected:
  ~ConsoleLevelTarget() = default;
};

inline constexpr char16_t kSetMinDisplayTypeName[] = u"SetMinDisplayType";
inline constexpr char16_t kSetMinDisplayTypeHelp[] =
    u"Select how severe a message has to be to be displayed in the console window.\n"
    u"Options are: 'debug', 'info', 'warning' and 'error'";

// `target` must outlive the registration; RemoveConsoleLevelMethod takes it away.
bool AddConsoleLevelMethod(MScriptObject* script, ConsoleLevelTarget* target);
void RemoveConsoleLevelMethod(MScriptObject* script);

}  // namespace vk2::gui

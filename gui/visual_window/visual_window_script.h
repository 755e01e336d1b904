// The visual window's script methods: GetVisual, SetVisual, PreviousVisual, NextVisual,
// SetVisualGroup, GetVisualGroup, SetAssociatedPlayer, GetAssociatedPlayer and
// EnablePostEffect, each with its help text.
#pragma once

#include <cstdint>
#include <functional>

#include "foundation/text/tstring.h"
#include "gui/visual_window/visual_display.h"
#include "interfaces/script/script_object.h"

namespace vk2::gui {

inline constexpr char16_t kVisualWindowClassName[] = u"Brint Visual Window";

struct VisualWindowScriptTarget {
  VisualDisplay* display = nullptr;
  // The message of a failure code as the runtime's error registry words it; empty when it has
  // none.
  std::function<TString(int32_t code)> errorMessage;
};

// Adds the methods to `script`; `target` outlives it. False when the script object takes none.
bool RegisterVisualWindowMethods(MScriptObject* script, VisualWindowScriptTarget* target);

}  // namespace vk2::gui

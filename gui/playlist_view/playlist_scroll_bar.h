// The playlist view's vertical scroll bar: the markup engine's bar and its style object, docked
// at the right edge of the view, scrolling the list view it names as "scrolldest" and shown only
// while the list holds more rows than it shows.
#pragma once

#include <cstdint>

#include "foundation/util/ref_ptr.h"
#include "interfaces/gui/controls.h"
#include "interfaces/markup/interface_definition.h"
#include "interfaces/markup/scroll_bar_style.h"
#include "interfaces/runtime/xml_document.h"

namespace vk2::gui {

class PlaylistScrollBar {
 public:
  // Makes the bar and its style object through the markup engine; either may be missing when
  // the engine is not loaded, and then every operation does nothing.
  PlaylistScrollBar();
  ~PlaylistScrollBar();

  MScrollBar* Bar() { return bar_.Get(); }
  bool Shown() const { return shown_; }
  // Pixels across the bar: the style's thickness.
  int32_t Width();

  // Loads `element` (may be null) into the style object and applies the style to the bar.
  void LoadStyle(MInterfaceDefinition* iface, MXmlNode* element);
  // Docks the bar, hidden, at the right edge of `parent`, scrolling `target`.
  void Attach(MWindowElement* parent, MWindowElement* target);
  // Shows the bar when `target` has more than it shows, else hides it; true when that changed.
  bool Follow(MWindowElement* target);
  void Release();

 private:
  RefPtr<MScrollBar> bar_;
  RefPtr<MScrollBarStyle> style_;
  bool shown_ = false;
};

}  // namespace vk2::gui

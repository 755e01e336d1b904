// The visual window an interface places in its markup: it shows a visual of the handler, drawn
// for one player with its post effects, alone or as a member of a visual group. While open it
// asks its visual once a frame whether there is something new to draw, and repaints only then.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "gui/visual_window/visual_display.h"
#include "gui/visual_window/visual_window_script.h"
#include "gui/window_base/module_window.h"
#include "interfaces/markup/window_definition.h"

namespace vk2::gui {

class VisualWindow final : public ModuleWindow<VisualWindow> {
 public:
  explicit VisualWindow(MUnknown* base, VisualDisplayServices services);

  // Names the script object and adds the window's methods.
  void Setup();
  // The element's own attributes: "player", "group", "blendmode", "opacity", and the image
  // styles "background" and "foreground".
  void LoadStyle(MWindowDefinition* markup, MInterfaceDefinition* iface);

  VisualDisplay& Display() { return *display_; }

  int32_t OnPaint(MCanvas* canvas, const PaintRecord* record) override;
  int32_t OnNotify(uint32_t code, uintptr_t argument) override;

 private:
  void ScheduleFrame();

  std::unique_ptr<VisualDisplay> display_;
  VisualWindowScriptTarget scriptTarget_;
  RefPtr<MImageStyleDrawing> background_;
  RefPtr<MImageStyleDrawing> foreground_;
  uint64_t blendCode_;
  int32_t opacity_ = 256;
  bool open_ = false;
  std::vector<uint32_t> image_;
};

// The services of the running program: the process's handler, the application's visual
// control object, the media core's players, post effects and preferences through the runtime;
// `repaint` is set by the window.
VisualDisplayServices RuntimeVisualDisplayServices();

// Makes a visual window on `base` (a base object prepared for a window element).
RefPtr<VisualWindow> AssembleVisualWindow(RefPtr<MBaseObject> base);

}  // namespace vk2::gui

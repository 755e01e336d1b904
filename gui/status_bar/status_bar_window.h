// The status bar window type: one line showing the status records that the GUI main object
// and the bar's own top-level window broadcast, the higher levels for 3000 ms over the resting
// line. Records and the media core's ticks arrive on other threads.
#pragma once

#include <mutex>

#include "gui/status_bar/status_drawing.h"
#include "gui/status_bar/status_line.h"
#include "gui/window_base/module_window.h"
#include "interfaces/core/core.h"
#include "interfaces/gui/listener_list.h"

namespace vk2::gui {

class StatusBarWindow final : public ModuleWindow<StatusBarWindow>,
                              public MStatusListener,
                              public MNotificationTick {
 public:
  StatusBarWindow(MUnknown* base, Clock& clock);
  ~StatusBarWindow() override;

  // Listens to the GUI main object's records and the media core's ticks.
  void Setup();
  // Colour, justification, offsets, font and progress images from the element's properties.
  void LoadStyle(MWindowDefinition* markup, MInterfaceDefinition* iface);
  StatusLine& Line() { return line_; }
  StatusBarStyle Style();

  void OnStatus(const StatusRecord& record, bool quiet) override;
  void OnTick() override { line_.Tick(); }

  int32_t OnPaint(MCanvas* canvas, const PaintRecord* record) override;
  int32_t OnNotify(uint32_t code, uintptr_t argument) override;

 private:
  // The list of the top-level window above this one, when it keeps one.
  RefPtr<MListenerList> TopLevelList();

  StatusLine line_;
  std::mutex styleMutex_;
  StatusBarStyle style_;
  RefPtr<MFont> font_;  // the style's font; null: the window's
  RefPtr<MListenerList> mainList_;
  RefPtr<MListenerList> windowList_;
  RefPtr<MNotificationThread> ticks_;
};

}  // namespace vk2::gui

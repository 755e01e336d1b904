#include "gui/status_bar/status_bar_window.h"

#include "component/module/runtime_loader.h"
#include "component/object/query.h"
#include "gui/window_base/style_element.h"
#include "interfaces/gui/gui_application.h"
#include "interfaces/ids.h"
#include "interfaces/markup/interface_definition.h"
#include "markup/window/window_font.h"

namespace vk2::gui {

StatusBarWindow::StatusBarWindow(MUnknown* base, Clock& clock)
    : ModuleWindow(base), line_(clock, [this] { Repaint(); }) {}

StatusBarWindow::~StatusBarWindow() {
  if (mainList_) mainList_->AddRemoveListener(this, 0);
  if (windowList_) windowList_->AddRemoveListener(this, 0);
  // Returns only after a tick in progress on this listener.
  if (ticks_) ticks_->AddRemoveListener(this, 0);
}

void StatusBarWindow::Setup() {
  // The GUI main object answers its listener list among its interfaces.
  if (RefPtr<MGuiMain> main = CreateRuntimeObject<MGuiMain>(kGuiApplicationClass, kIID_MGuiMain))
    mainList_ = RefPtr<MListenerList>(QueryBorrowed<MListenerList>(main.Get(), kIID_MListenerList));
  if (mainList_) mainList_->AddRemoveListener(this, 1);
  ticks_ = CreateRuntimeObject<MNotificationThread>(kMediaCoreClass, kIID_MNotificationThread);
  if (ticks_) ticks_->AddRemoveListener(this, 1);
}

void StatusBarWindow::LoadStyle(MWindowDefinition* markup, MInterfaceDefinition* iface) {
  StatusBarStyle style;
  RefPtr<MFont> font;
  MXmlNode* element = markup ? markup->GetPropertyElement() : nullptr;
  if (markup && element && element->GetAttributeCount() > 0) {
    MImageStyleDrawing* image = nullptr;
    if (markup->FindImageStyle(u"progress_fill", &image) == 0 && image)
      style.progressFill = RefPtr<MImageStyleDrawing>::Adopt(image);
    image = nullptr;
    if (markup->FindImageStyle(u"progress_empty", &image) == 0 && image)
      style.progressEmpty = RefPtr<MImageStyleDrawing>::Adopt(image);
    ReadRectAttribute(iface, element, u"rect_status_offset", &style.statusOffset);
    ReadRectAttribute(iface, element, u"rect_progress_offset", &style.progressOffset);
    ReadColorAttribute(iface, element, u"font_color", &style.colour);
    ReadJustificationAttribute(iface, element, u"font_justification", &style.justification);
    font = ReadFontAttribute(iface, element, u"font_style");
  }
  std::lock_guard lock(styleMutex_);
  style_ = std::move(style);
  font_ = std::move(font);
}

StatusBarStyle StatusBarWindow::Style() {
  std::lock_guard lock(styleMutex_);
  return style_;
}

void StatusBarWindow::OnStatus(const StatusRecord& record, bool quiet) {
  (void)quiet;
  line_.OnStatus(record);
}

RefPtr<MListenerList> StatusBarWindow::TopLevelList() {
  MWindowElement* top = this;
  for (;;) {
    MWindowElement* parent = nullptr;
    if (top->GetValue(kValueParent, &parent, sizeof parent) != 0 || !parent) break;
    top = parent;
  }
  if (top == this) return nullptr;
  return RefPtr<MListenerList>(QueryBorrowed<MListenerList>(top, kIID_MListenerList));
}

int32_t StatusBarWindow::OnPaint(MCanvas* canvas, const PaintRecord* record) {
  SizeI size;
  GetValue(kValueSize, &size, sizeof size);
  RefPtr<MFont> font;
  {
    std::lock_guard lock(styleMutex_);
    font = font_;
  }
  // The style's font, else the window's or its nearest ancestor's.
  if (!font) font = RefPtr<MFont>(markup::InheritedWindowFont(this));
  const bool drew =
      DrawStatus(canvas, RectI{0, 0, size.width, size.height}, line_.Shown(), Style(), font.Get());
  return (ModuleWindowCore::OnPaint(canvas, record) != 0 || drew) ? 1 : 0;
}

int32_t StatusBarWindow::OnNotify(uint32_t code, uintptr_t argument) {
  if (code == kNotifyAttached && !windowList_) {
    windowList_ = TopLevelList();
    if (windowList_) windowList_->AddRemoveListener(this, 1);
  } else if (code == kNotifyDestroyed && windowList_) {
    windowList_->AddRemoveListener(this, 0);
    windowList_ = nullptr;
  }
  return ModuleWindowCore::OnNotify(code, argument);
}

}  // namespace vk2::gui

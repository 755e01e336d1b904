#include "gui/top_menu/top_menu_window.h"

#include "component/module/runtime_loader.h"
#include "gui/top_menu/menu_command_run.h"
#include "gui/window_base/menu_realize.h"
#include "gui/window_base/style_element.h"
#include "interfaces/gui/controls.h"
#include "interfaces/script/script_engine.h"
#include "markup/window/window_font.h"

namespace vk2::gui {
namespace {

constexpr int32_t kBarMargin = 8;
constexpr int32_t kDefaultBarHeight = 22;
constexpr uint32_t kPlainBar = 0x88888888;
constexpr uint64_t kAllChannels = 0xF;

}  // namespace

bool TopMenuWindow::Rebuild() {
  TopMenuSources sources = sources_ ? sources_() : TopMenuSources{};
  sources.reduced = sources.reduced || style_.reduced;
  const MenuEntry model = BuildTopMenu(sources, &commands_);
  if (!bar_) {
    bar_ = NewMenuWindow();
    MWindowElement* element = bar_ ? bar_->Element() : nullptr;
    if (!element) return false;
    // The bar fills the window; its commands come to this window as 257.
    PlacementRecord placement;
    placement.parent = static_cast<MWindowElement*>(this);
    placement.rect.alignment[2] = 1;
    placement.rect.alignment[3] = 1;
    placement.flags = kPlaceVisible | kPlaceEnabled;
    placement.mode = kPlaceModeTop;
    element->PostCommand(kCmdPlacement, 0, 0, reinterpret_cast<uintptr_t>(&placement), this, 0, 0);
  }
  // Styled, the bar lets this window's background show through and each drop-down takes the
  // drop-down look; plain, the GUI layer's own look stays.
  std::function<void(MMenuWindow*)> dress;
  if (style_.loaded) {
    DressMenuWindow(bar_.Get(), style_.bar, true);
    dress = [this](MMenuWindow* submenu) { DressMenuWindow(submenu, style_.drop, false); };
  }
  return FillMenuWindow(bar_.Get(), model, style_.textShadow, dress);
}

int32_t TopMenuWindow::OnPaint(MCanvas* canvas, const PaintRecord* record) {
  bool drew = false;
  if (!style_.loaded && canvas) {
    SizeI size;
    GetValue(kValueSize, &size, sizeof size);
    canvas->FillRect(RectF{0, 0, static_cast<double>(size.width), static_cast<double>(size.height)},
                     kPlainBar, kAllChannels, 256, false);
    drew = true;
  } else {
    drew = DrawOverWindow(style_.bar.background.Get(), canvas);
  }
  return (ModuleWindowCore::OnPaint(canvas, record) != 0 || drew) ? 1 : 0;
}

int32_t TopMenuWindow::PageSize() {
  // A line of the menu's font and a margin above and below it.
  const int32_t line = markup::FontLineHeight(markup::InheritedWindowFont(this));
  return line > 0 ? line + kBarMargin : kDefaultBarHeight;
}

bool TopMenuWindow::AttachPage(MInterfaceDefinition* definition, const TString& argument) {
  (void)argument;
  if (!LoadTopMenuStyle(definition, &style_)) return false;
  // The bar fades as the style says.
  PropertyValue fade;
  fade.type = kPropertyInteger;
  fade.integer = style_.bar.fadeMs;
  SetProperty(kPropFadeDuration, kPropertyInteger, &fade);
  if (bar_) Rebuild();
  return true;
}

int32_t TopMenuWindow::OnNotify(uint32_t code, uintptr_t argument) {
  if (code == kNotifyCreated) {
    Rebuild();
  } else if (code == kNotifyMenuCommand) {
    MWindowElement* parent = nullptr;
    GetValue(kValueParent, &parent, sizeof parent);
    auto* context = parent ? QueryBorrowed<MScriptObject>(parent, kIID_MScriptObject) : nullptr;
    RefPtr<MScriptEngine> engine =
        CreateRuntimeObject<MScriptEngine>(kMmlModuleClass, kIID_MScriptEngine);
    RunMenuCommand(commands_, static_cast<int32_t>(argument), engine.Get(), context);
  }
  return ModuleWindowCore::OnNotify(code, argument);
}

}  // namespace vk2::gui

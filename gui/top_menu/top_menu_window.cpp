#include "gui/top_menu/top_menu_window.h"

#include "component/module/runtime_loader.h"
#include "gui/top_menu/menu_command_run.h"
#include "gui/window_base/menu_realize.h"
#include "gui/window_base/style_element.h"
#include "interfaces/script/script_engine.h"
#include "markup/window/window_font.h"

namespace vk2::gui {
namespace {

constexpr int32_t kBarMargin = 8;
constexpr int32_t kDefaultBarHeight = 22;

}  // namespace

bool TopMenuWindow::Rebuild() {
  TopMenuSources sources = sources_ ? sources_() : TopMenuSources{};
  sources.reduced = sources.reduced || reduced_;
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
    PropertyValue fade;
    fade.type = kPropertyInteger;
    fade.integer = barFadeMs_;
    element->SetProperty(u"fade_duration", kPropertyInteger, &fade);
  }
  return FillMenuWindow(bar_.Get(), model, textShadow_);
}

int32_t TopMenuWindow::PageSize() {
  // A line of the menu's font and a margin above and below it.
  const int32_t line = markup::FontLineHeight(markup::InheritedWindowFont(this));
  return line > 0 ? line + kBarMargin : kDefaultBarHeight;
}

bool TopMenuWindow::AttachPage(MInterfaceDefinition* definition, const TString& argument) {
  (void)argument;
  if (!definition) return false;
  bool reduced = false;
  if (RefPtr<MXmlNode> app = FindStyleElement(definition, u"Velkora2")) {
    if (app->GetAttributeBool(u"devtestmode", &reduced) < 0) reduced = false;
  }
  reduced_ = reduced;
  textShadow_ = true;
  barFadeMs_ = 0;
  border_ = {};
  if (RefPtr<MXmlNode> style = FindStyleElement(definition, u"VK2_TopMenu")) {
    bool shadow = true;
    if (style->GetAttributeBool(u"textshadow", &shadow) >= 0) textShadow_ = shadow;
    int32_t fade = 0;
    if (style->GetAttributeInt(u"top_fade_duration", &fade) >= 0) barFadeMs_ = fade;
    ReadRectAttribute(definition, style.Get(), u"rect_borderoffset", &border_);
  }
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

#include "gui/settings_window/settings_window.h"

#include "component/module/runtime_loader.h"
#include "component/object/query.h"
#include "foundation/util/result.h"
#include "gui/window_base/menu_realize.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/resource_file.h"
#include "markup/window/window_font.h"

namespace vk2::gui {
namespace {

constexpr int32_t kDefaultAnimationMs = 1000;
constexpr int32_t kMenuHeight = 20;

void SetInteger(MWindowElement* window, const char16_t* name, int32_t value) {
  PropertyValue property;
  property.type = kPropertyInteger;
  property.integer = value;
  window->SetProperty(name, kPropertyInteger, &property);
}

PlacementRecord Anchored(MWindowElement* parent, std::array<int32_t, 4> offsets,
                         std::array<double, 4> relative) {
  PlacementRecord record;
  record.parent = static_cast<MUnknown*>(parent);
  for (size_t i = 0; i < 4; ++i) {
    record.rect.offset[i] = offsets[i];
    record.rect.alignment[i] = relative[i];
  }
  record.flags = kPlaceVisible | kPlaceEnabled;
  record.mode = kPlaceModeTop;
  return record;
}

}  // namespace

SettingsWindow::SettingsWindow(MUnknown* base, std::function<void(PreferenceTree*)> tree,
                               PaneProviderMaker makeProvider)
    : ModuleWindow(base), buildTree_(std::move(tree)), makeProvider_(std::move(makeProvider)) {}

SettingsWindow::~SettingsWindow() = default;

void SettingsWindow::Setup() {
  tree_ = std::make_unique<PreferenceTree>();
  if (buildTree_) buildTree_(tree_.get());
}

bool SettingsWindow::LoadStyle(MInterfaceDefinition* iface) {
  border_ = BorderOffset{};
  if (!iface) return false;
  definition_ = RefPtr<MInterfaceDefinition>(iface);
  if (RefPtr<MXmlNode> style = FindStyleElement(iface, u"VK2_SettingsWindow")) {
    background_ = ReadImageAttribute(iface, style.Get(), u"img_background");
    border_ = ReadBorderOffset(iface, style.Get());
  }
  return true;
}

std::array<int32_t, 4> SettingsWindow::PageBorder() {
  return {border_.left, border_.top, border_.right, border_.bottom};
}

bool SettingsWindow::AttachPage(MInterfaceDefinition* definition, const TString& argument) {
  (void)argument;
  return LoadStyle(definition);
}

int32_t SettingsWindow::AnimationDuration() {
  PropertyValue value;
  if (GetProperty(u"AnimationDuration", &value) == kOk && value.type == kPropertyInteger)
    return value.integer;
  return kDefaultAnimationMs;
}

void SettingsWindow::BuildMenu(const PreferenceNode* shown) {
  menu_ = BuildSettingsMenu(shown);
  if (!menuWindow_) {
    menuWindow_ = NewMenuWindow();
    MWindowElement* element = menuWindow_ ? menuWindow_->Element() : nullptr;
    if (!element) return;
    SetInteger(element, u"font_color1", static_cast<int32_t>(0xFF000000u));
    SetInteger(element, u"fade_duration", 500);
    SetInteger(element, u"font_color2", static_cast<int32_t>(0xFFFFFFFFu));
    SetInteger(element, u"font_color3", static_cast<int32_t>(0xFF00FFFFu));
    markup::SetWindowFont(element, markup::InheritedWindowFont(this));
    // The full width at the top; its choices come to this window as 257.
    PlacementRecord placement = Anchored(this, {0, 0, 0, kMenuHeight}, {0, 0, 1, 0});
    element->PostCommand(kCmdPlacement, 0, 0, reinterpret_cast<uintptr_t>(&placement), this, 0, 0);
  }
  FillMenuWindow(menuWindow_.Get(), menu_.bar, true);
}

void SettingsWindow::ShowPane(const PreferenceNode* node, bool fade) {
  if (!node || (fade && !ShouldShowPane(node, fade, lastPane_))) return;
  PrefsPaneRecord pane;
  if (!LoadSettingsPane(*node, makeProvider_, &pane)) return;
  auto archive = RefPtr<MUnknown>::Adopt(pane.archive);
  auto* resources =
      archive ? QueryBorrowed<MResourceFile>(archive.Get(), kIID_MResourceFile) : nullptr;
  RefPtr<MInterfaceLoader> document =
      CreateRuntimeObject<MInterfaceLoader>(kMmlModuleClass, kIID_MInterfaceLoader);
  LoadContext context;
  if (definition_) definition_->GetLanguageContext(&context);
  MInterfaceDefinition* raw = nullptr;
  // A pane's document names the colours, fonts and styles of the interface that shows it, and
  // through that interface the mood's, as every interface document does.
  if (!resources || !document ||
      document->LoadFromPackage(resources, Utf8(pane.resourceName).c_str(), &context, nullptr,
                                definition_.Get()) < 0 ||
      document->GetByName(pane.interfaceName.c_str(), &raw) < 0 || !raw) {
    return;
  }
  auto paneInterface = RefPtr<MInterfaceDefinition>::Adopt(raw);
  RefPtr<MBaseObject> base = MakeControlBase(kIID_MWindowElement);
  RefPtr<MWindowElement> container(
      base ? QueryBorrowed<MWindowElement>(base.Get(), kIID_MWindowElement) : nullptr);
  if (!container) return;
  SetInteger(container.Get(), u"arrowspeed", 1000);
  SetInteger(container.Get(), u"pagespeed", 8);
  PlacementRecord placement = Anchored(this, {0, kMenuHeight, 0, 0}, {0, 0, 1, 1});
  placement.name = u"DialogContanier";
  if (container->PostCommand(kCmdPlacement, 0, 0, reinterpret_cast<uintptr_t>(&placement), this, 0,
                             0) != kOk) {
    return;
  }
  WindowCreateRequest request;
  request.windowName = pane.moduleName.c_str();
  request.parent = container.Get();
  MWindowElement* made = nullptr;
  if (paneInterface->CreateWindowEx(&request, &made) < 0 || !made) {
    container->DestroyWindow();
    return;
  }
  auto dialog = RefPtr<MWindowElement>::Adopt(made);
  {
    std::lock_guard lock(paneMutex_);
    if (container_) {
      // The old pane fades out while the new one stands.
      container_->PostCommand(kCmdDestroy, 0, AnimationDuration(), 0, nullptr, 0, 0);
    }
    container_ = std::move(container);
    dialog_ = std::move(dialog);
    paneDocument_ = std::move(document);
  }
  lastPane_ = node->number;
  if (fade) BuildMenu(node);
}

int32_t SettingsWindow::OnPaint(MCanvas* canvas, const PaintRecord* record) {
  const bool drew = DrawOverWindow(background_.Get(), canvas);
  return (ModuleWindowCore::OnPaint(canvas, record) != 0 || drew) ? 1 : 0;
}

int32_t SettingsWindow::OnNotify(uint32_t code, uintptr_t argument) {
  if (code == kNotifyCreated && tree_) {
    const PreferenceNode* start = SettingsStartNode(tree_->GetRoot(), lastPane_);
    BuildMenu(start);
    ShowPane(start, false);
  } else if (code == kNotifyMenuCommand && argument < menu_.nodes.size()) {
    ShowPane(menu_.nodes[argument], true);
  } else if (code == kNotifyDestroyed) {
    std::lock_guard lock(paneMutex_);
    container_ = nullptr;
    dialog_ = nullptr;
    paneDocument_ = nullptr;
    menuWindow_ = nullptr;
  }
  return ModuleWindowCore::OnNotify(code, argument);
}

}  // namespace vk2::gui

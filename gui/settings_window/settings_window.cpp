#include "gui/settings_window/settings_window.h"

#include <algorithm>

#include "component/module/runtime_loader.h"
#include "component/object/query.h"
#include "foundation/util/result.h"
#include "gui/window_base/menu_realize.h"
#include "interfaces/ids.h"
#include "interfaces/markup/window_definition.h"
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
                         std::array<double, 4> relative,
                         uint32_t flags = kPlaceVisible | kPlaceEnabled) {
  PlacementRecord record;
  record.parent = static_cast<MUnknown*>(parent);
  for (size_t i = 0; i < 4; ++i) {
    record.rect.offset[i] = offsets[i];
    record.rect.alignment[i] = relative[i];
  }
  record.flags = flags;
  record.mode = kPlaceModeTop;
  return record;
}

SizeI SizeOf(MWindowElement* window, uint32_t value) {
  SizeI size;
  window->GetValue(value, &size, sizeof(size));
  return size;
}

// What a pane's dialog needs: its own size, or, along an edge where its definition stretches it
// with its container, its minimum size (else it would grow with the area made for it).
SizeI WantedDialogSize(MWindowElement* dialog) {
  SizeI size = SizeOf(dialog, kValueSize);
  MControl* control = QueryBorrowed<MControl>(dialog, kIID_MControl);
  MWindowDefinition* definition = control ? control->GetDefinition() : nullptr;
  double fraction[4] = {};
  if (!definition || definition->GetFractionRect(fraction) < 0) return size;
  SizeI minimum{0, 0};
  definition->GetSizeLimit(&minimum, kSizeMinimum);
  if (fraction[2] > fraction[0]) size.width = minimum.width;
  if (fraction[3] > fraction[1]) size.height = minimum.height;
  return size;
}

// Docked, clipped, never the keyboard's.
constexpr uint32_t kBarFlags = kPlaceVisible | kPlaceEnabled | kPlaceClipToParent | kPlaceNoFocus;

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
  // The bars read their own style from the interface.
  for (RefPtr<MScrollBar>& bar : bars_) {
    if (bar) bar->ApplyStyle(iface, nullptr);
  }
  return true;
}

void SettingsWindow::AddScrollBars() {
  static constexpr const Guid* kClasses[2] = {&kScrollBarClass, &kScrollBarAltClass};
  // Along the right and the bottom of the pane's area, below the menu.
  static constexpr std::array<int32_t, 4> kOffsets[2] = {
      {-kDialogBarRoom, kMenuHeight, 0, -kDialogBarRoom}, {0, -kDialogBarRoom, -kDialogBarRoom, 0}};
  static constexpr std::array<double, 4> kEdges[2] = {{1, 0, 1, 1}, {0, 1, 1, 1}};
  for (size_t i = 0; i < 2; ++i) {
    bars_[i] = CreateRuntimeObject<MScrollBar>(kMmlModuleClass, *kClasses[i]);
    MScrollBar* bar = bars_[i].Get();
    if (!bar) continue;
    if (definition_) bar->ApplyStyle(definition_.Get(), nullptr);
    PlacementRecord placement = Anchored(this, kOffsets[i], kEdges[i], kBarFlags);
    bar->PostCommand(kCmdPlacement, 0, 0, reinterpret_cast<uintptr_t>(&placement), this, 0, 0);
    bar->PostCommand(kCmdShow, 0, 0, 0, nullptr, 0, 0);
  }
}

void SettingsWindow::FitDialogToContainer() {
  RefPtr<MWindowElement> container, dialog;
  {
    std::lock_guard lock(paneMutex_);
    container = container_;
    dialog = dialog_;
  }
  if (!container || !dialog) return;
  // The container pans over the dialog, its virtual area as much larger than itself as the
  // dialog overflows what the bars leave; a dialog that stretches fills that area.
  const SizeI area = SizeOf(container.Get(), kValueSize);
  const SizeI wanted = WantedDialogSize(dialog.Get());
  const DialogFit fit = FitDialog(area, wanted);
  const SizeI virtualArea{area.width + std::max(0, wanted.width - fit.size.width),
                          area.height + std::max(0, wanted.height - fit.size.height)};
  container->SetValue(kValueVirtualSize, &virtualArea, sizeof(virtualArea));
  const bool shown[2] = {fit.vertical, fit.horizontal};
  for (size_t i = 0; i < 2; ++i) {
    MScrollBar* bar = bars_[i].Get();
    if (!bar) continue;
    PropertyValue destination;
    destination.type = kPropertyObject;
    destination.object = container.Get();
    bar->SetProperty(kPropScrollDest, kPropertyObject, &destination);
    bar->PostCommand(kCmdShow, 0, 0, shown[i] ? 1 : 0, nullptr, 0, 0);
    bar->Notify(kNotifyScrollChanged, 0);
  }
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
  // Below the menu and the scroll bars.
  placement.mode = kPlaceModeBottom;
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
  FitDialogToContainer();
  lastPane_ = node->number;
  if (fade) BuildMenu(node);
}

int32_t SettingsWindow::OnPaint(MCanvas* canvas, const PaintRecord* record) {
  const bool drew = DrawOverWindow(background_.Get(), canvas);
  return (ModuleWindowCore::OnPaint(canvas, record) != 0 || drew) ? 1 : 0;
}

int32_t SettingsWindow::OnNotify(uint32_t code, uintptr_t argument) {
  if (code == kNotifyCreated) AddScrollBars();
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
    bars_[0] = bars_[1] = nullptr;
  }
  return ModuleWindowCore::OnNotify(code, argument);
}

int32_t SettingsWindow::ChildNotify(uint32_t code, MWindowElement* child, uintptr_t argument) {
  if (code == kNotifyLocationChanged && child) {
    bool ours = false;
    {
      std::lock_guard lock(paneMutex_);
      ours = container_.Get() == child;
    }
    if (ours) FitDialogToContainer();
  }
  return ModuleWindow::ChildNotify(code, child, argument);
}

}  // namespace vk2::gui

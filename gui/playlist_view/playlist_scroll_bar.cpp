#include "gui/playlist_view/playlist_scroll_bar.h"

#include "component/module/runtime_loader.h"
#include "interfaces/ids.h"

namespace vk2::gui {
namespace {

// Docked at the right: keeps its place when the parent resizes, takes no keyboard focus.
constexpr uint32_t kDockFlags = kPlaceVisible | kPlaceClipToParent | kPlaceNoFocus;
constexpr int32_t kFallbackWidth = 10;

}  // namespace

PlaylistScrollBar::PlaylistScrollBar()
    : bar_(CreateRuntimeObject<MScrollBar>(kMmlModuleClass, kScrollBarClass)),
      style_(CreateRuntimeObject<MScrollBarStyle>(kMmlModuleClass, kScrollBarStyleClass)) {}

PlaylistScrollBar::~PlaylistScrollBar() = default;

int32_t PlaylistScrollBar::Width() {
  const int32_t width = style_ ? style_->Thickness() : 0;
  return width > 0 ? width : kFallbackWidth;
}

void PlaylistScrollBar::LoadStyle(MInterfaceDefinition* iface, MXmlNode* element) {
  if (style_ && element) style_->Load(iface, element);
  if (bar_) bar_->ApplyStyle(iface, style_.Get());
}

void PlaylistScrollBar::Attach(MWindowElement* parent, MWindowElement* target) {
  if (!bar_ || !parent) return;
  PropertyValue destination;
  destination.type = kPropertyObject;
  destination.object = target;
  bar_->SetProperty(kPropScrollDest, kPropertyObject, &destination);
  PlacementRecord dock;
  dock.parent = parent;
  dock.rect.offset[0] = -Width();
  dock.rect.alignment[0] = dock.rect.alignment[2] = dock.rect.alignment[3] = 1.0;
  dock.flags = kDockFlags;
  dock.mode = kPlaceModeChild;
  bar_->PostCommand(kCmdPlacement, 0, 0, reinterpret_cast<uintptr_t>(&dock), nullptr, 0, 0);
  bar_->PostCommand(kCmdShow, 0, 0, 0, nullptr, 0, 0);
  shown_ = false;
}

bool PlaylistScrollBar::Follow(MWindowElement* target) {
  if (!bar_ || !target) return false;
  ScrollInfo info;
  if (!target->Query(kQueryScrollInfo, reinterpret_cast<uintptr_t>(&info), 0, 0)) return false;
  const bool wanted = info.page < info.total;
  if (wanted == shown_) return false;
  shown_ = wanted;
  bar_->PostCommand(kCmdShow, 0, 0, wanted ? 1 : 0, nullptr, 0, 0);
  return true;
}

void PlaylistScrollBar::Release() {
  bar_ = nullptr;
  style_ = nullptr;
  shown_ = false;
}

}  // namespace vk2::gui

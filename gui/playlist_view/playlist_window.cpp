#include "gui/playlist_view/playlist_window.h"

#include <utility>

#include "component/module/runtime_loader.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "markup/window/window_font.h"

namespace vk2::gui {
namespace {

constexpr int32_t kScriptFlags = 0x10000;
constexpr char16_t kViewSection[] = u"velkora/gui/playlistview";

}  // namespace

PlaylistWindow::PlaylistWindow(MUnknown* base, PlaylistSources sources)
    : ModuleWindow(base), sources_(std::move(sources)) {}

PlaylistWindow::~PlaylistWindow() = default;

void PlaylistWindow::Setup() {
  section_ = CreateRuntimeObject<MPreferenceStore>(kServiceClass, kIID_MPreferenceStore);
  if (section_ && section_->OpenSection(kViewSection, 1) < 0) section_ = nullptr;
  MScriptObject* script = Script();
  if (!script) return;
  script->SetClassName(TString(u"Brint Playlist Window"));
  script->SetVersion(kScriptFlags);
  RegisterPlaylistMethods(static_cast<MScriptMemberRegistry*>(script->GetMemberRegistry()), script,
                          this);
}

void PlaylistWindow::LoadStyle(MWindowDefinition* markup, MInterfaceDefinition* iface) {
  (void)markup;
  if (!LoadPlaylistViewStyle(iface, &style_)) return;
  scrollBar_.LoadStyle(iface, style_.scrollBar.Get());
}

MPlaylistView* PlaylistWindow::ListView() {
  return list_ ? static_cast<MPlaylistView*>(list_.Get()) : nullptr;
}

void PlaylistWindow::CreateList() {
  if (list_) return;
  PlaylistSkin& skin = style_.skin;
  // Without fonts of their own the header and the items take the window's.
  if (!skin.headerFont) skin.headerFont = RefPtr<MFont>(markup::InheritedWindowFont(this));
  if (!skin.itemFont) skin.itemFont = RefPtr<MFont>(markup::InheritedWindowFont(this));
  RefPtr<MPlaylist> playlist =
      sources_.playlist ? sources_.playlist(style_.playlistName) : RefPtr<MPlaylist>();
  RefPtr<MPlayer> player = sources_.player ? sources_.player() : RefPtr<MPlayer>();
  list_ = PlaylistListWindow::Create(playlist.Get(), player.Get(), &skin);
  if (!list_) return;
  PlacementRecord fill;
  fill.parent = static_cast<MUnknown*>(static_cast<MWindowElement*>(this));
  fill.rect.alignment[2] = fill.rect.alignment[3] = 1.0;
  fill.flags = kPlaceVisible | kPlaceEnabled;
  fill.mode = kPlaceModeTop;
  list_->PostCommand(kCmdPlacement, 0, 0, reinterpret_cast<uintptr_t>(&fill), nullptr, 0, 0);
  if (section_) list_->LoadState(section_.Get());
  for (const auto& [name, value] : {std::pair{u"arrowspeed", 1000}, std::pair{u"pagespeed", 8}}) {
    PropertyValue speed;
    speed.type = kPropertyInteger;
    speed.integer = value;
    SetProperty(name, kPropertyInteger, &speed);
  }
  scrollBar_.Attach(this, list_->ScrollTarget());
  FollowList();
}

void PlaylistWindow::FollowList() {
  if (!list_ || !scrollBar_.Follow(list_->ScrollTarget())) return;
  TweenRecord edges;
  edges.to.words[2] = scrollBar_.Shown() ? -scrollBar_.Width() : 0;
  edges.from = edges.to;
  list_->PostCommand(kCmdOffset, 0, 0, reinterpret_cast<uintptr_t>(&edges), nullptr, 0, 0);
}

int32_t PlaylistWindow::ChildNotify(uint32_t code, MWindowElement* child, uintptr_t argument) {
  if (code == kNotifyScrollChanged || code == kNotifyLocationChanged) FollowList();
  return ModuleWindow::ChildNotify(code, child, argument);
}

void PlaylistWindow::SaveListState() {
  if (list_ && section_) list_->SaveState(section_.Get());
}

int32_t PlaylistWindow::OnNotify(uint32_t code, uintptr_t argument) {
  if (code == kNotifyCreated) {
    CreateList();
  } else if (code == kNotifyExtro) {
    SaveListState();
  } else if (code == kNotifyDestroyed) {
    SaveListState();
    scrollBar_.Release();
    list_ = nullptr;
  }
  return ModuleWindowCore::OnNotify(code, argument);
}

}  // namespace vk2::gui

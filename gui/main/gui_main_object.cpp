#include "gui/main/gui_main_object.h"

#include <algorithm>

#include "component/module/runtime_loader.h"
#include "foundation/util/result.h"
#include "gui/commands/command_dispatcher.h"
#include "gui/script_base/listener_list.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/preference_store.h"

namespace vk2::gui {
namespace {

constexpr char16_t kScriptName[] = u"velkora";
constexpr char16_t kScriptClassName[] = u"Velkora2:BrintGui";
constexpr char16_t kPlayerSection[] = u"velkora/player";

}  // namespace

bool IsPlayerPaused(MPlayer* player) {
  PlayerInfo info;
  return player && player->GetInfo(&info) >= 0 && (info.state & kPlayerStateMask) == 2;
}

RefPtr<GuiMainObject> GuiMainObject::Create(GuiMainHost* host, CoreAccess* core) {
  return RefPtr<GuiMainObject>(new GuiMainObject(host, core));
}

GuiMainObject::GuiMainObject(GuiMainHost* host, CoreAccess* core) : host_(host), core_(core) {
  // The script object first, the listener list last, so that the list answers first.
  AttachScriptObject(kScriptName, kScriptClassName);
  auto* list = new ListenerList(Identity(), false);
  AddPart(list->Inner());
  status_ = list;
  worker_ = std::make_unique<AddFilesWorker>(static_cast<AddFilesServices*>(this), status_);
}

GuiMainObject::~GuiMainObject() {
  // Every job queued so far still runs; the worker needs the listener list until it ends.
  worker_.reset();
}

uint32_t* GuiMainObject::GetAddFilesOptions(uint32_t* flags) {
  bool append = false;
  bool playImmediately = true;
  RefPtr<MPreferenceStore> prefs =
      CreateRuntimeObject<MPreferenceStore>(kServiceClass, kIID_MPreferenceStore);
  if (prefs && prefs->OpenSection(kPlayerSection, 1) >= 0) {
    prefs->GetBool(u"append", &append);
    prefs->GetBool(u"playimmediately", &playImmediately);
  }
  *flags = (append ? kAddFilesAppend : 0) | (playImmediately ? kAddFilesPlayImmediately : 0);
  return flags;
}

int32_t GuiMainObject::AddRemoveListener(MGuiMainListener* listener, int32_t add) {
  if (!listener) return kErrMissingArg;
  std::lock_guard lock(listenersMutex_);
  if (add) {
    listeners_.push_back(listener);
    return kOk;
  }
  auto it = std::find(listeners_.begin(), listeners_.end(), listener);
  if (it == listeners_.end()) return kErrMissingArg;
  listeners_.erase(it);
  return kOk;
}

void GuiMainObject::NotifyListeners(int32_t code) {
  std::lock_guard lock(listenersMutex_);
  // Over a copy: a listener may remove itself while it is told.
  std::vector<MGuiMainListener*> listeners = listeners_;
  for (auto it = listeners.rbegin(); it != listeners.rend(); ++it) {
    if (std::find(listeners_.begin(), listeners_.end(), *it) == listeners_.end()) continue;
    (*it)->OnGuiMainEvent(code, 0, 0);
  }
}

int32_t GuiMainObject::QueueFiles(const char16_t* playlistName, const TArray<TString>* files,
                                  uint32_t flags, int32_t nameInList) {
  if (!files) return kErrMissingArg;
  return worker_->QueueFiles(TString(playlistName), *files, flags, nameInList != 0);
}

int32_t GuiMainObject::ExecuteCommand(const TArray<TString>* tokens, int32_t firstIndex) {
  if (!tokens || firstIndex < 0) return 0;
  return gui::ExecuteCommand(*this, *tokens, static_cast<uint32_t>(firstIndex)) ? 1 : 0;
}

int32_t GuiMainObject::GetExecutableFolder(TString* folder) {
  *folder = host_->ExecutableFolder();
  return kOk;
}

MUnknown** GuiMainObject::OpenInterfaceWindow(MUnknown** window, const char16_t* packagePath,
                                              const char16_t* documentName,
                                              const char16_t* windowName, uint32_t, uintptr_t) {
  if (!window) return window;
  *window = nullptr;
  if (!packagePath || !documentName || !windowName) return window;
  *window =
      host_->OpenInterfaceWindow(TString(packagePath), TString(documentName), TString(windowName));
  return window;
}

intptr_t GuiMainObject::HandleWindowMessage(uint32_t message, uintptr_t, intptr_t,
                                            int32_t* handled) {
  int32_t ignored = 0;
  int32_t& answered = handled ? *handled : ignored;
  answered = 1;
  switch (message) {
    case kMessageMinimizeAll:
      host_->MinimizeAllWindows();
      return 0;
    case kMessagePlayerState: {
      RefPtr<MPlayer> player = core_->FindPlayer(u"default");
      PlayerInfo info;
      if (!player || player->GetInfo(&info) < 0) return kAnswerPlaying;
      if ((info.state & kPlayerStateMask) == 2) return kAnswerPaused;
      return (info.state & kPlayerStateMask) == 0 ? kAnswerStopped : kAnswerPlaying;
    }
    case kMessagePlaylistCount: {
      RefPtr<MPlaylist> playlist = core_->FindPlaylist(u"default");
      return playlist ? playlist->GetCount() : 0;
    }
    case kMessagePlaylistPosition: {
      RefPtr<MPlayer> player = core_->FindPlayer(u"default");
      RefPtr<MPlaylist> playlist = core_->FindPlaylist(u"default");
      PlayerInfo info;
      if (!player || !playlist || player->GetInfo(&info) < 0) return 0;
      return playlist->GetUIDIndex(info.currentId);
    }
    default:
      answered = 0;
      return 0;
  }
}

int32_t GuiMainObject::AddRemoveChild(MUnknown* object, int32_t add) {
  MScriptObject* child = nullptr;
  if (!object || !Script()) return kOk;
  if (object->QueryInterface(kIID_MScriptObject, reinterpret_cast<void**>(&child), 0) < 0 ||
      !child) {
    return kOk;  // not a script object
  }
  auto* registry = static_cast<MScriptMemberRegistry*>(Script()->GetMemberRegistry());
  if (!registry) return kOk;
  if (add) {
    registry->AddChild(child);
  } else {
    TString name;
    child->GetName(&name);
    registry->RemoveChildByName(name);
  }
  return kOk;
}

int32_t GuiMainObject::RemoveAllChildren() {
  if (!Script()) return kOk;
  ScriptObjectList children;
  Script()->EnumerateChildren(&children, 3, false);
  auto* registry = static_cast<MScriptMemberRegistry*>(Script()->GetMemberRegistry());
  for (uint32_t i = children.Count(); i-- > 0;) {
    // Each entry carries a reference for this list.
    RefPtr<MScriptObject> child = RefPtr<MScriptObject>::Adopt(children[i]);
    if (!child) continue;
    TString name;
    child->GetName(&name);
    if (registry) registry->RemoveChildByName(name);
    child->UnregisterFromEngine(nullptr);
  }
  return kOk;
}

bool GuiMainObject::Publish() {
  MScriptEngine* engine = host_->ScriptEngine();
  if (!engine || !Script()) return false;
  Script()->RegisterWithEngine(nullptr);
  engine->AddGlobal(static_cast<MBaseObject*>(this), nullptr);
  return true;
}

void GuiMainObject::Unpublish() {
  MScriptEngine* engine = host_->ScriptEngine();
  if (!engine || !Script()) return;
  engine->RemoveGlobal(kScriptName);
  Script()->UnregisterFromEngine(nullptr);
}

RefPtr<MPlayer> GuiMainObject::DefaultPlayer() {
  return core_->FindPlayer(u"default");
}
RefPtr<MPlaylist> GuiMainObject::DefaultPlaylist() {
  return core_->FindPlaylist(u"default");
}
uint32_t GuiMainObject::AddFilesOptions() {
  uint32_t flags = 0;
  return *GetAddFilesOptions(&flags);
}
void GuiMainObject::QueueFiles(MPlaylist*, const TArray<TString>& files, uint32_t flags) {
  worker_->QueueFiles(u"default", files, flags, false);
}
int32_t GuiMainObject::OpenFilesDialog() {
  return host_->OpenFilesDialog();
}
int32_t GuiMainObject::InstallPackage(const TString& path) {
  return host_->InstallPackage(path);
}
int32_t GuiMainObject::StepVisual(bool previous) {
  return host_->StepVisual(previous);
}
int32_t GuiMainObject::ShellOpen(const TString& target) {
  return host_->ShellOpen(target);
}

int32_t GuiMainObject::CreateTemporaryPlaylist(const TString& playlistName, TString* tempName) {
  return core_->AddTemporaryPlaylist(ObjectNameOrDefault(playlistName), tempName);
}
void GuiMainObject::RemoveTemporaryPlaylist(const TString& tempName) {
  core_->RemovePlaylist(tempName);
}
int32_t GuiMainObject::LoadEntry(const TString& playlistName, const TString& entry) {
  return core_->LoadIntoPlaylist(playlistName, entry);
}
int32_t GuiMainObject::LoadVisual(const TString& path) {
  return host_->LoadVisual(path);
}
int32_t GuiMainObject::CopyToTarget(const TString& tempName, const TString& target, bool append) {
  RefPtr<MPlaylist> source = core_->FindPlaylist(tempName);
  RefPtr<MPlaylist> destination = core_->FindPlaylist(ObjectNameOrDefault(target));
  if (!source || !destination) return kErrNotFound;
  return destination->CopyFrom(source.Get(), append ? 1 : 0);
}
int32_t GuiMainObject::Play(const TString& playerName) {
  RefPtr<MPlayer> player = core_->FindPlayer(ObjectNameOrDefault(playerName));
  return player ? player->Play(1) : kErrNotFound;
}
TString GuiMainObject::ErrorMessage(int32_t code) {
  return core_->ErrorMessage(code);
}

}  // namespace vk2::gui

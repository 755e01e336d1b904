#include "gui/windows/window_manager.h"

#include <algorithm>
#include <utility>

#include "component/module/runtime_loader.h"
#include "foundation/util/result.h"
#include "gui/app/app_paths.h"
#include "interfaces/gui/window_element.h"
#include "interfaces/ids.h"

namespace vk2::gui {
namespace {

constexpr int32_t kLevelError = 7;

}  // namespace

WindowManager::WindowManager(TString executableFolder, Hooks hooks)
    : folder_(std::move(executableFolder)),
      hooks_(std::move(hooks)),
      link_(std::make_shared<Link>()) {
  link_->manager = this;
  RegisterKnobSettings();
}

WindowManager::~WindowManager() {
  {
    std::lock_guard hold(link_->mutex);
    link_->manager = nullptr;
  }
  std::vector<OpenEntry> left;
  {
    std::lock_guard lock(windowsMutex_);
    left.swap(windows_);
  }
  for (OpenEntry& entry : left) {
    if (entry.definition && cache_) cache_->ReleaseDefinition(entry.definition);
  }
}

void WindowManager::SetInterfaces(InterfaceEnumerator* enumerator, InterfaceCache* cache) {
  std::lock_guard lock(interfaceMutex_);
  enumerator_ = enumerator;
  cache_ = cache;
}

bool WindowManager::VelkoraAppInit() {
  std::lock_guard lock(interfaceMutex_);
  resources_ = CreateRuntimeObject<MResourceFile>(kServiceClass, kIID_MResourceFile);
  TString archive = MakeModulePath(folder_, u"vk2", u"rez");
  if (!resources_ || !resources_->OpenFile(archive.c_str())) {
    resources_ = nullptr;
    hooks_.log(kLevelError, u"Fatal error: Resource file missing.\n");
  } else {
    loader_ = CreateRuntimeObject<MInterfaceLoader>(kMmlModuleClass, kIID_MInterfaceLoader);
    LoadContext context = Context();
    TString error;
    if (!loader_ ||
        loader_->LoadFromPackage(resources_.Get(), "vk2_res.xml", &context, &error, nullptr) < 0) {
      hooks_.log(kLevelError, u"Fatal error: Unable to load resources.\n");
    } else {
      MInterfaceDefinition* found = nullptr;
      if (loader_->GetByName(kMoodInterfaceName, &found) >= 0 && found) {
        mood_ = RefPtr<MInterfaceDefinition>::Adopt(found);
      }
      found = nullptr;
      if (loader_->GetByName(kGlobalInitInterfaceName, &found) >= 0 && found) {
        globalInit_ = RefPtr<MInterfaceDefinition>::Adopt(found);
        RunInterfaceScript(globalInit_.Get(), u"VelkoraAppInit");
      }
    }
  }
  RefPtr<MPreferenceStore> prefs =
      CreateRuntimeObject<MPreferenceStore>(kServiceClass, kIID_MPreferenceStore);
  if (prefs && prefs->OpenSection(u"velkora/gui", 1) >= 0) {
    prefs->GetInt(u"AnimationDuration", &animationDuration_);
  }
  return mood_ != nullptr;
}

void WindowManager::RunInterfaceScript(MInterfaceDefinition* definition, const char16_t* name) {
  TString script;
  if (definition->GetScript(name, &script) >= 0 && !script.IsEmpty()) hooks_.runScript(script);
}

void WindowManager::VelkoraAppDeinit() {
  if (globalInit_) RunInterfaceScript(globalInit_.Get(), u"VelkoraAppDeinit");
  { std::lock_guard lock(interfaceMutex_); }  // let a running interface operation end
  std::vector<RefPtr<MWindowElement>> open = GetOpenWindows();
  for (auto it = open.rbegin(); it != open.rend(); ++it) {
    (*it)->PostCommand(kWindowCommandClose, 0, 0, 0, nullptr, 0, 0);
    RemoveWindow(it->Get());
  }
  std::lock_guard lock(interfaceMutex_);
  globalInit_ = nullptr;
  mood_ = nullptr;
  loader_ = nullptr;
  resources_ = nullptr;
}

RefPtr<MPreferenceStore> WindowManager::BrintPreferences() {
  if (hooks_.brintPreferences) return hooks_.brintPreferences();
  RefPtr<MPreferenceStore> prefs =
      CreateRuntimeObject<MPreferenceStore>(kServiceClass, kIID_MPreferenceStore);
  if (!prefs || prefs->OpenSection(u"velkora/gui/brint", 1) < 0) return nullptr;
  return prefs;
}

LoadContext WindowManager::Context() {
  if (hooks_.loadContext) return hooks_.loadContext();
  LoadContext context;
  context.language = u"english";
  return context;
}

void WindowManager::AddWindow(MWindowElement* window, MInterfaceDefinition* definition) {
  if (window) AddEntry(OpenEntry{RefPtr<MWindowElement>(window), definition, nullptr});
}

void WindowManager::AddEntry(OpenEntry entry) {
  MWindowElement* window = entry.window.Get();
  {
    std::lock_guard lock(windowsMutex_);
    windows_.push_back(std::move(entry));
  }
  Attach(window);
}

void WindowManager::RemoveWindow(MWindowElement* window) {
  OpenEntry removed;
  bool last = false;
  {
    std::lock_guard lock(windowsMutex_);
    auto it = std::find_if(windows_.begin(), windows_.end(),
                           [&](const OpenEntry& e) { return e.window.Get() == window; });
    if (it == windows_.end()) return;  // removed once only
    removed = std::move(*it);
    windows_.erase(it);
    last = windows_.empty() && quitHeld_ == 0;
  }
  // Given back outside the lock: the document's last use may reach back into the markup.
  if (removed.definition && cache_) cache_->ReleaseDefinition(removed.definition);
  removed = OpenEntry();
  if (last && hooks_.quit) hooks_.quit();
}

void WindowManager::CloseAllWindows() {
  std::vector<RefPtr<MWindowElement>> open = GetOpenWindows();
  for (auto it = open.rbegin(); it != open.rend(); ++it) {
    (*it)->PostCommand(kWindowCommandClose, 0, 0, 0, nullptr, 0, 0);
  }
}

std::vector<RefPtr<MWindowElement>> WindowManager::GetOpenWindows() {
  std::lock_guard lock(windowsMutex_);
  std::vector<RefPtr<MWindowElement>> copy;
  copy.reserve(windows_.size());
  for (const OpenEntry& entry : windows_)
    copy.push_back(entry.window);
  return copy;
}

void WindowManager::CopyOpenWindows(TArray<MWindowElement*>* out) {
  out->Clear();
  for (const RefPtr<MWindowElement>& window : GetOpenWindows()) {
    window->AddRef();
    out->Append(window.Get());
  }
}

void WindowManager::SendToAll(uint32_t command, uintptr_t data) {
  for (const RefPtr<MWindowElement>& window : GetOpenWindows()) {
    window->PostCommand(command, 0, 0, data, nullptr, 0, 0);
  }
}

}  // namespace vk2::gui

#include "gui/windows/window_manager.h"

#include <algorithm>
#include <utility>

#include "component/module/runtime_loader.h"
#include "foundation/util/result.h"
#include "gui/app/app_paths.h"
#include "interfaces/gui/window_element.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/preference_store.h"

namespace vk2::gui {
namespace {

constexpr int32_t kLevelError = 7;

}  // namespace

WindowManager::WindowManager(TString executableFolder, Hooks hooks)
    : folder_(std::move(executableFolder)), hooks_(std::move(hooks)) {}

WindowManager::~WindowManager() = default;

bool WindowManager::VelkoraAppInit() {
  std::lock_guard lock(interfaceMutex_);
  resources_ = CreateRuntimeObject<MResourceFile>(kServiceClass, kIID_MResourceFile);
  TString archive = MakeModulePath(folder_, u"vk2", u"rez");
  if (!resources_ || !resources_->OpenFile(archive.c_str())) {
    resources_ = nullptr;
    hooks_.log(kLevelError, u"Fatal error: Resource file missing.\n");
  } else {
    loader_ = CreateRuntimeObject<MInterfaceLoader>(kMmlModuleClass, kIID_MInterfaceLoader);
    LoadContext context;
    context.language = u"english";
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
  CloseAllWindows();
  {
    std::lock_guard lock(windowsMutex_);
    windows_.clear();
  }
  std::lock_guard lock(interfaceMutex_);
  globalInit_ = nullptr;
  mood_ = nullptr;
  loader_ = nullptr;
  resources_ = nullptr;
}

bool WindowManager::OpenMainWindow(uintptr_t) {
  // Interface packages and window creation come with the interface enumerator and cache.
  hooks_.log(kLevelError, u"Unable to find window \"main\" for creation.\n");
  return false;
}

void WindowManager::AddWindow(MWindowElement* window) {
  if (!window) return;
  std::lock_guard lock(windowsMutex_);
  windows_.emplace_back(window);
}

void WindowManager::RemoveWindow(MWindowElement* window) {
  RefPtr<MWindowElement> removed;
  bool last = false;
  {
    std::lock_guard lock(windowsMutex_);
    auto it = std::find_if(windows_.begin(), windows_.end(),
                           [&](const RefPtr<MWindowElement>& w) { return w.Get() == window; });
    if (it == windows_.end()) return;  // removed once only
    removed = std::move(*it);
    windows_.erase(it);
    last = windows_.empty();
  }
  if (last && hooks_.quit) hooks_.quit();
}

void WindowManager::CloseAllWindows() {
  for (const RefPtr<MWindowElement>& window : [&] {
         auto copy = GetOpenWindows();
         std::reverse(copy.begin(), copy.end());
         return copy;
       }()) {
    window->PostCommand(kWindowCommandClose, 0, 0, 0, nullptr, 0, 0);
  }
}

std::vector<RefPtr<MWindowElement>> WindowManager::GetOpenWindows() {
  std::lock_guard lock(windowsMutex_);
  return windows_;
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

#include "visual/plugin/visual_instance.h"

#include <algorithm>
#include <string>

#include "component/object/query.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/class_factory.h"
#include "platform/user_folders.h"
#include "visual/host/visual_entry.h"
#include "visual/plugin/crash_guard.h"
#include "visual/plugin/crash_report.h"
#include "visual/plugin/plugin_directory.h"

namespace vk2 {
namespace {

using QueryModuleFn = VisualPluginRecord* (*)();
using MIFactoryFn = int32_t (*)(const Guid* classId, void** out);

// A size change waits for this many frames of the new size, so that a window being dragged
// does not recreate the image every frame.
constexpr int32_t kSizeSettleFrames = 10;

// Plug-ins keep their settings in one file of ours.
std::string SettingsPath() {
  const std::string folder = UserFolderPath(UserFolder::kConfig);
  return folder.empty() ? std::string() : folder + "/vis.ini";
}

}  // namespace

VisualInstance::VisualInstance(VisualEntry* entry) : entry_(entry) {}

VisualInstance::~VisualInstance() {
  Shutdown();
}

template <class F>
bool VisualInstance::CallPlugin(const char16_t* stage, F&& call) {
  if (crashed_) return false;
  const GuardResult result = Guarded(call);
  if (!result.Failed()) return true;
  crashed_ = true;
  faulted_ = result.outcome == GuardOutcome::kCrashed;
  entry_->removalPending = true;
  ReportVisualCrash(entry_->File(), stage);
  return false;
}

bool VisualInstance::Query() {
  std::lock_guard<std::recursive_mutex> lock(lock_);
  if (ready_) return true;
  auto query = reinterpret_cast<QueryModuleFn>(FindModuleExport(entry_->Library(), "QueryModule"));
  if (!query) return false;
  VisualPluginRecord* record = nullptr;
  if (!CallPlugin(u"query", [&] { record = query(); }) || !record) return false;
  record_ = record;
  entry_->pluginWord = record->features;
  firstGeneration_ = true;
  ready_ = true;
  return true;
}

bool VisualInstance::CreateModule() {
  std::lock_guard<std::recursive_mutex> lock(lock_);
  if (ready_) return true;
  ModuleLibrary& library = entry_->Library();
  if (!library.handle && LoadModule(&library, entry_->File(), kModuleAttachIfExported) != 0) {
    return false;
  }
  auto factory = reinterpret_cast<MIFactoryFn>(FindModuleExport(library, "MIFactory"));
  if (!factory) return false;
  const Guid classId = entry_->ClassId();
  void* made = nullptr;
  RefPtr<MVisualModule> module;
  const bool ok = CallPlugin(u"query", [&] {
    if (factory(&classId, &made) < 0 || !made) return;
    RefPtr<MClassFactory> classObject =
        RefPtr<MClassFactory>::Adopt(static_cast<MClassFactory*>(made));
    void* object = nullptr;
    if (classObject->CreateInstance(kIID_MVisualModule, &object, nullptr) < 0 || !object) return;
    module = RefPtr<MVisualModule>::Adopt(static_cast<MVisualModule*>(object));
    classObject_ = RefPtr<MUnknown>(classObject.Get());
  });
  if (!ok || !module) return false;
  module_ = std::move(module);
  ready_ = true;
  return true;
}

bool VisualInstance::Connected() {
  std::lock_guard<std::recursive_mutex> lock(lock_);
  return hostInfo_ != nullptr;
}

MPlayer* VisualInstance::Player() {
  std::lock_guard<std::recursive_mutex> lock(lock_);
  return hostInfo_ ? hostInfo_->Player() : nullptr;
}

void VisualInstance::Connect(MPlayer* player) {
  std::lock_guard<std::recursive_mutex> renderLock(renderLock_);
  std::lock_guard<std::recursive_mutex> lock(lock_);
  Deinitialize();
  if (module_ && hostInfo_) CallPlugin(u"initialize", [&] { module_->SetHost(nullptr); });
  hostInfo_.reset();
  lastHeard_ = 0;
  lastChain_ = 0;
  if (!player) return;
  hostInfo_ = std::make_unique<PluginHostInfo>(entry_, RefPtr<MPlayer>(player));
  if (module_) {
    CallPlugin(u"initialize", [&] { module_->SetHost(hostInfo_.get()); });
    return;
  }
  Initialize();
}

void VisualInstance::Initialize() {
  if (!firstGeneration_ || initialized_ || !record_) return;
  const std::string path = SettingsPath();
  const char* name = nullptr;
  {
    PluginDirectoryScope directory(entry_->File());
    VisualPluginRecord* r = record_;
    VisualHostInfo* info = hostInfo_ ? hostInfo_->PluginInfo() : nullptr;
    CallPlugin(u"initialize", [&] {
      if (r->Initialize) r->Initialize();
      if (r->LoadSettings) r->LoadSettings(path.c_str());
      if (r->features && r->SetHostInfo) r->SetHostInfo(info);
      name = r->name;
    });
  }
  // A crashed Initialize still counts as done: it is not tried again.
  initialized_ = true;
  if (name) entry_->SetName(WideFromNarrow(name));
}

void VisualInstance::Deinitialize() {
  if (!firstGeneration_ || !initialized_) return;
  initialized_ = false;
  const std::string path = SettingsPath();
  PluginDirectoryScope directory(entry_->File());
  VisualPluginRecord* r = record_;
  CallPlugin(u"savesettings", [&] {
    if (r->SaveSettings) r->SaveSettings(path.c_str());
    if (r->features && r->Deinitialize) r->Deinitialize();
  });
}

bool VisualInstance::AcceptsMode(int32_t mode) {
  std::lock_guard<std::recursive_mutex> lock(lock_);
  if (firstGeneration_) return mode == kVisualDrawMode;
  bool accepts = false;
  if (module_) CallPlugin(u"query", [&] { accepts = module_->AcceptsMode(mode); });
  return accepts;
}

void VisualInstance::StartOutput() {
  std::lock_guard<std::recursive_mutex> renderLock(renderLock_);
  std::lock_guard<std::recursive_mutex> lock(lock_);
  if (!module_ || renderer_) return;
  MVisualModuleRenderer* made = nullptr;
  CallPlugin(u"initialize", [&] {
    made = module_->CreateRenderer(kVisualDrawMode, &settings_);
    module_->SetHost(hostInfo_.get());
    module_->Start();
  });
  renderer_ = RefPtr<MVisualModuleRenderer>::Adopt(made);
}

void VisualInstance::StopOutput() {
  std::lock_guard<std::recursive_mutex> renderLock(renderLock_);
  std::lock_guard<std::recursive_mutex> lock(lock_);
  if (!module_) return;
  renderer_ = nullptr;
  CallPlugin(u"savesettings", [&] { module_->Stop(); });
}

void VisualInstance::SetRenderArea(uint32_t key, int32_t width, int32_t height) {
  for (RenderArea& area : areas_) {
    if (area.key == key) {
      area.width = width;
      area.height = height;
      return;
    }
  }
  areas_.push_back({key, width, height});
}

void VisualInstance::RemoveRenderArea(uint32_t renderKey) {
  std::lock_guard<std::recursive_mutex> renderLock(renderLock_);
  std::erase_if(areas_, [renderKey](const RenderArea& a) { return a.key == renderKey; });
}

void VisualInstance::ResizeImage() {
  int32_t width = 0;
  int32_t height = 0;
  for (const RenderArea& area : areas_) {
    width = std::max(width, area.width);
    height = std::max(height, area.height);
  }
  if (width != image_.Width() || height != image_.Height()) image_.Recreate(width, height);
}

bool VisualInstance::HeardPosition(int64_t* heard, uint32_t* chain) {
  MPlayer* player = hostInfo_ ? hostInfo_->Player() : nullptr;
  int32_t bytes = 0;
  if (!player || player->GetInteger(u"heardbytes", &bytes) < 0) return false;
  int32_t id = 0;
  if (player->GetInteger(u"currentchainid", &id) < 0) id = 0;
  *heard = bytes;
  *chain = static_cast<uint32_t>(id);
  return true;
}

int32_t VisualInstance::Render(const SurfaceView* target, int32_t x0, int32_t y0, int32_t x1,
                               int32_t y1, const VisualPostEffectItem* effects,
                               uint32_t effectCount, uint32_t renderKey) {
  std::lock_guard<std::recursive_mutex> renderLock(renderLock_);
  const int32_t width = x1 - x0;
  const int32_t height = y1 - y0;
  if (width == lastWidth_ && height == lastHeight_) {
    ++sameSizeFrames_;
  } else {
    // The first frame takes its size at once; later changes wait until they settle.
    sameSizeFrames_ = (lastWidth_ == 0 && lastHeight_ == 0) ? kSizeSettleFrames : 0;
    lastWidth_ = width;
    lastHeight_ = height;
  }
  if (sameSizeFrames_ >= kSizeSettleFrames) {
    SetRenderArea(renderKey, width, height);
    ResizeImage();
  }

  VisualAudioRecord record;
  bool haveRecord = false;
  if (firstGeneration_) {
    std::lock_guard<std::recursive_mutex> lock(lock_);
    int64_t heard = 0;
    uint32_t chain = 0;
    if (!HeardPosition(&heard, &chain)) return static_cast<int32_t>(frames_);
    if (chain != lastChain_) {
      lastHeard_ = 0;
      lastChain_ = chain;
    }
    const uint32_t flags = record_ ? record_->flags : 0;
    haveRecord = entry_->History()->Fetch(chain, lastHeard_, heard, flags, &record) > 0;
    // Only a delivered record moves the position on: a heard position that advances by less
    // than a window per frame must not starve the visual.
    if (haveRecord) {
      ++frames_;
      lastHeard_ = heard;
    }
  } else {
    std::lock_guard<std::recursive_mutex> lock(lock_);
    ++frames_;
  }
  Draw(haveRecord ? &record : nullptr, effects, effectCount);
  if (target && width > 0 && height > 0) image_.Present(*target, x0, y0, width, height);
  // The frame counts are fetch state: NeedsRedraw reads them under the same lock.
  std::lock_guard<std::recursive_mutex> lock(lock_);
  framesReturned_ = frames_;
  return static_cast<int32_t>(frames_);
}

void VisualInstance::Draw(const VisualAudioRecord* record, const VisualPostEffectItem* effects,
                          uint32_t effectCount) {
  if (image_.Empty()) ResizeImage();
  if (image_.Empty()) return;
  SurfaceView view = image_.View();
  if (firstGeneration_ && record && record_ && record_->Render) {
    VisualPluginRecord* r = record_;
    uint32_t* pixels = image_.Pixels();
    const int32_t w = image_.Width();
    const int32_t h = image_.Height();
    const int32_t pitch = image_.Pitch();
    CallPlugin(u"render", [&] { r->Render(pixels, w, h, pitch, record); });
  } else if (!firstGeneration_ && renderer_) {
    MVisualModuleRenderer* renderer = renderer_.Get();
    CallPlugin(u"render", [&] { renderer->Draw(&view); });
  }
  const bool effectsAllowed =
      !firstGeneration_ || (record_ && (record_->flags & kVisualAllowsPostEffects));
  if (!effectsAllowed || crashed_) return;
  for (uint32_t i = 0; i < effectCount; ++i) {
    if (effects[i].effect) effects[i].effect->Apply(&view);
  }
}

bool VisualInstance::NeedsRedraw() {
  std::lock_guard<std::recursive_mutex> lock(lock_);
  if (crashed_) return false;
  if (!firstGeneration_) {
    bool needs = false;
    if (module_) CallPlugin(u"render", [&] { needs = module_->NeedsRedraw(); });
    return needs;
  }
  int64_t heard = 0;
  uint32_t chain = 0;
  if (!HeardPosition(&heard, &chain)) return false;
  if (chain != lastChain_ || frames_ != framesReturned_) return true;
  VisualAudioRecord probe;
  return entry_->History()->Fetch(chain, lastHeard_, heard, 0, &probe) > 0;
}

void VisualInstance::Shutdown() {
  std::lock_guard<std::recursive_mutex> renderLock(renderLock_);
  std::lock_guard<std::recursive_mutex> lock(lock_);
  // The plug-in saves its settings and lets go of its resources before its file is unloaded.
  Deinitialize();
  if (faulted_) {
    // Code that faulted is not called again, not even to release its objects; one that only
    // threw gets them back.
    (void)renderer_.Detach();
    (void)module_.Detach();
    (void)classObject_.Detach();
  }
  renderer_ = nullptr;
  module_ = nullptr;
  classObject_ = nullptr;
  hostInfo_.reset();
  ready_ = false;
}

}  // namespace vk2

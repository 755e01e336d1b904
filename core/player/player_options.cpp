// The player's options (shuffle, repeat, volume, playback method), their settings section, the
// settings of the audio modules it plays through, and the effect filters' control objects.
#include <cmath>

#include "component/module/runtime_loader.h"
#include "component/object/query.h"
#include "core/player/player_control.h"
#include "foundation/util/result.h"

namespace vk2 {

namespace {

constexpr char16_t kVolumeKey[] = u"Volume";
constexpr char16_t kSeamlessKey[] = u"SeamlessTransitionTime";
constexpr char16_t kCrossfadeKey[] = u"CrossfadeTransitionTime";
constexpr char16_t kMethodKey[] = u"PlaybackMethod";

const char16_t* MethodName(int32_t method) {
  switch (method) {
    case kPlaybackSeamless:
      return u"Seamless";
    case kPlaybackCrossfade:
      return u"Crossfade";
    default:
      return u"Normal";
  }
}

// Chains refuse a volume outside [0, 1], which would leave the old one playing.
double ClampVolume(double volume) {
  return std::fmin(1.0, std::fmax(0.0, volume));
}

}  // namespace

int32_t PlayerControl::GetShuffle(uint8_t* shuffle) {
  if (!shuffle) return kErrNullResult;
  *shuffle = Shuffled() ? 1 : 0;
  return kOk;
}

int32_t PlayerControl::SetShuffle(uint8_t shuffle) {
  RefPtr<MPlaylist> playlist;
  {
    ScopedLock lock(lock_);
    const bool on = (flags_ & kPlayerShuffleFlag) != 0;
    if (on == (shuffle != 0)) return kOk;
    flags_ ^= kPlayerShuffleFlag;
    if (shuffle) playlist = playlist_;
  }
  const int32_t r = playlist ? playlist->Reshuffle() : kOk;
  Fire(kPlayerShuffleChanged);
  return r;
}

int32_t PlayerControl::GetRepeat(uint32_t* mode) {
  if (!mode) return kErrNullResult;
  ScopedLock lock(lock_);
  *mode = (flags_ & kPlayerRepeatMask) >> kPlayerRepeatShift;
  return kOk;
}

int32_t PlayerControl::SetRepeat(uint32_t mode) {
  {
    ScopedLock lock(lock_);
    const uint32_t flags = (flags_ & ~kPlayerRepeatMask) | ((mode & 3u) << kPlayerRepeatShift);
    if (flags == flags_) return kOk;
    flags_ = flags;
  }
  Fire(kPlayerRepeatChanged);
  return kOk;
}

int32_t PlayerControl::GetVolume(double* volume) {
  if (!volume) return kErrNullResult;
  ScopedLock lock(lock_);
  *volume = volume_;
  return kOk;
}

int32_t PlayerControl::SetVolume(double volume) {
  if (std::isnan(volume)) return kErrOutOfRange;
  volume = ClampVolume(volume);
  {
    ScopedLock lock(lock_);
    if (volume == volume_) return kOk;
    volume_ = volume;
  }
  media_->SetVolume(volume);
  Fire(kPlayerVolumeChanged);
  return kOk;
}

int32_t PlayerControl::GetPlaybackMethod(int32_t* method, double* seconds) {
  return media_->GetTransition(method, seconds);
}

int32_t PlayerControl::SetPlaybackMethod(int32_t method, double seconds) {
  if (!IsKnownPlaybackMethod(method)) return kErrOutOfRange;
  if (method != kPlaybackNormal) {
    ScopedLock lock(lock_);
    double& remembered = method == kPlaybackSeamless ? seamlessTime_ : crossfadeTime_;
    if (seconds == kKeepTransitionTime) {
      seconds = remembered;
    } else {
      remembered = seconds;
    }
  }
  return media_->SetTransition(method, seconds);
}

RefPtr<MPreferenceStore> PlayerControl::NewPreferences() {
  if (env_.makePreferences) return env_.makePreferences();
  return CreateRuntimeObject<MPreferenceStore>(kServiceClass, kIID_MPreferenceStore);
}

RefPtr<MPreferenceStore> PlayerControl::OpenOwnSection(MPreferenceStore* base) {
  RefPtr<MPreferenceStore> store = NewPreferences();
  if (!store || !base) return nullptr;
  TString name;
  GetName(&name);
  if (store->SetBase(base) < 0 || store->OpenSection(name.c_str(), 1) < 0) return nullptr;
  return store;
}

int32_t PlayerControl::LoadSettings(MPreferenceStore* base) {
  RefPtr<MPreferenceStore> section = OpenOwnSection(base);
  if (!section) return base ? kErrCannotOpen : kErrMissingArg;
  {
    std::lock_guard lock(settingsMutex_);
    section_ = section;
    loadedFrom_ = RefPtr<MPreferenceStore>(base);
  }
  LoadControlObjects(section.Get());
  media_->LoadSettings(section.Get());

  double volume = 1.0;
  double seamless = 0.0;
  double crossfade = 5.0;
  {
    ScopedLock lock(lock_);
    volume = volume_;
    seamless = seamlessTime_;
    crossfade = crossfadeTime_;
  }
  section->GetDouble(kVolumeKey, &volume);
  section->GetDouble(kSeamlessKey, &seamless);
  section->GetDouble(kCrossfadeKey, &crossfade);
  volume = std::isnan(volume) ? 1.0 : ClampVolume(volume);
  {
    ScopedLock lock(lock_);
    volume_ = volume;
    seamlessTime_ = seamless;
    crossfadeTime_ = crossfade;
  }
  // The stored volume is what the user hears, not only what GetVolume reports.
  media_->SetVolume(volume);

  TString method;
  if (section->GetString(kMethodKey, &method) >= 0) {
    if (method.Equals(u"Normal", false)) {
      media_->SetTransition(kPlaybackNormal, kKeepTransitionTime);
    } else if (method.Equals(u"Seamless", false)) {
      media_->SetTransition(kPlaybackSeamless, seamless);
    } else if (method.Equals(u"Crossfade", false)) {
      media_->SetTransition(kPlaybackCrossfade, crossfade);
    }
  }
  return kOk;
}

int32_t PlayerControl::SaveSettings(MPreferenceStore* base) {
  RefPtr<MPreferenceStore> section = OpenOwnSection(base);
  if (!section) return base ? kErrCannotOpen : kErrMissingArg;
  double volume = 1.0;
  double seamless = 0.0;
  double crossfade = 5.0;
  {
    ScopedLock lock(lock_);
    volume = volume_;
    seamless = seamlessTime_;
    crossfade = crossfadeTime_;
  }
  section->SetDouble(kVolumeKey, volume);
  int32_t method = kPlaybackNormal;
  double seconds = 0.0;
  if (media_->GetTransition(&method, &seconds) >= 0) {
    section->SetDouble(kSeamlessKey, seamless);
    section->SetDouble(kCrossfadeKey, crossfade);
    section->SetString(kMethodKey, MethodName(method));
  }
  return kOk;
}

void PlayerControl::LoadControlObjects(MPreferenceStore* section) {
  RefPtr<MClassEnumerator> classes = env_.classes;
  if (!classes) {
    classes = CreateRuntimeObject<MClassEnumerator>(kRuntimeRootClass, kIID_MClassEnumerator);
  }
  if (!classes) return;
  uint32_t count = 0;
  classes->GetCategoryCount(kCategoryControlObjects, &count);
  std::vector<RefPtr<MControlObject>> replaced;
  for (uint32_t i = 0; i < count; ++i) {
    Guid classId;
    if (classes->GetCategoryEntry(kCategoryControlObjects, i, &classId, nullptr) < 0) continue;
    RefPtr<MControlObject> control;
    if (classes->CreateInstance(classId, kIID_MControlObject, control.PutVoid(), nullptr) < 0 ||
        !control) {
      continue;
    }
    control->Init(section);
    std::lock_guard lock(settingsMutex_);
    auto it = std::find_if(controls_.begin(), controls_.end(),
                           [&](const auto& entry) { return entry.first == classId; });
    if (it == controls_.end()) {
      controls_.emplace_back(classId, std::move(control));
    } else {
      replaced.push_back(std::exchange(it->second, std::move(control)));
    }
  }
  for (auto& old : replaced)
    old->Detach();
}

void PlayerControl::DetachControlObjects() {
  std::vector<std::pair<Guid, RefPtr<MControlObject>>> controls;
  {
    std::lock_guard lock(settingsMutex_);
    controls.swap(controls_);
  }
  for (auto& entry : controls)
    entry.second->Detach();
}

int32_t PlayerControl::QueryControlObjects(const Guid& iid, void** out) {
  if (!out) return kErrNullResult;
  *out = nullptr;
  std::vector<RefPtr<MControlObject>> controls;
  {
    std::lock_guard lock(settingsMutex_);
    for (auto& entry : controls_)
      controls.push_back(entry.second);
  }
  for (auto& control : controls) {
    if (auto found = Query<MUnknown>(control, iid)) {
      *out = found.Detach();
      return kOk;
    }
  }
  return kErrNotFound;
}

int32_t PlayerControl::Broadcast(uintptr_t value) {
  std::vector<RefPtr<MControlObject>> controls;
  {
    std::lock_guard lock(settingsMutex_);
    for (auto& entry : controls_)
      controls.push_back(entry.second);
  }
  int32_t r = kOk;
  for (auto& control : controls)
    r = control->Attach(value);
  return r;
}

RefPtr<MModuleProperties> PlayerControl::ModuleProperties(const char16_t* module,
                                                          RefPtr<MPreferenceStore>* section) {
  if (!env_.catalogue || !module) return nullptr;
  RefPtr<MPreferenceStore> store = NewPreferences();
  if (!store) return nullptr;
  RefPtr<MPreferenceStore> own;
  {
    std::lock_guard lock(settingsMutex_);
    own = section_;
  }
  TString name;
  GetName(&name);
  const int32_t opened = own ? store->SetBase(own.Get()) : store->OpenSection(name.c_str(), 1);
  if (opened < 0 || store->OpenSection(module, 1) < 0) return nullptr;
  RefPtr<MUnknown> instance;
  if (env_.catalogue->GetModuleInstance(module, name.c_str(), store.Get(), instance.Put()) < 0 ||
      !instance) {
    return nullptr;
  }
  auto props = Query<MModuleProperties>(instance, kIID_MModuleProperties);
  if (!props) return nullptr;
  *section = std::move(store);
  return props;
}

int32_t PlayerControl::GetModuleString(const char16_t* module, const char16_t* name,
                                       TString* value) {
  RefPtr<MPreferenceStore> section;
  auto props = ModuleProperties(module, &section);
  return props ? props->GetString(name, value) : kErrNotFound;
}

int32_t PlayerControl::GetModuleNumber(const char16_t* module, const char16_t* name,
                                       double* value) {
  RefPtr<MPreferenceStore> section;
  auto props = ModuleProperties(module, &section);
  return props ? props->GetNumber(name, value) : kErrNotFound;
}

int32_t PlayerControl::GetModuleInteger(const char16_t* module, const char16_t* name,
                                        int32_t* value) {
  RefPtr<MPreferenceStore> section;
  auto props = ModuleProperties(module, &section);
  return props ? props->GetInteger(name, value) : kErrNotFound;
}

// A set is written through to the module's section at once: the instance it changed is a
// cached one that is dropped when unused, and the next chain reads the section.
int32_t PlayerControl::SetModuleString(const char16_t* module, const char16_t* name,
                                       const char16_t* value) {
  RefPtr<MPreferenceStore> section;
  auto props = ModuleProperties(module, &section);
  if (!props) return kErrNotFound;
  const int32_t r = props->SetString(name, value);
  if (r >= 0) props->SaveSettings(section.Get());
  return r;
}

int32_t PlayerControl::SetModuleNumber(const char16_t* module, const char16_t* name, double value) {
  RefPtr<MPreferenceStore> section;
  auto props = ModuleProperties(module, &section);
  if (!props) return kErrNotFound;
  const int32_t r = props->SetNumber(name, value);
  if (r >= 0) props->SaveSettings(section.Get());
  return r;
}

int32_t PlayerControl::SetModuleInteger(const char16_t* module, const char16_t* name,
                                        int32_t value) {
  RefPtr<MPreferenceStore> section;
  auto props = ModuleProperties(module, &section);
  if (!props) return kErrNotFound;
  const int32_t r = props->SetInteger(name, value);
  if (r >= 0) props->SaveSettings(section.Get());
  return r;
}

}  // namespace vk2

// The chain's time-notification and property sub-objects: both speak for the chain's modules.
#include "audio/common/audio_runtime.h"
#include "audio/engine/audiosys/media_chain.h"
#include "component/object/query.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"

namespace vk2 {

// ---- Time notifications ----------------------------------------------------------------------

int32_t MediaChain::NotificationsFace::AddNotification(MAudioCallback* callback, double seconds,
                                                       uint32_t key) {
  if (!callback) return kErrMissingArg;
  MediaChain* c = Owner();
  if (c->worker_->HasNotification(callback, key)) return kErrAlreadyPresent;
  uint32_t id = 0;
  {
    ScopedLock lock(c->lock_);
    id = c->serial_++;
  }
  const ModuleList modules = c->Modules();
  std::vector<RefPtr<MTimeNotifications>> added;
  int32_t r = kErrNotFound;
  for (size_t i = modules.size(); i-- > 0;) {
    auto tn = Query<MTimeNotifications>(modules[i].Get(), kIID_MTimeNotifications);
    if (!tn) continue;
    r = tn->AddNotification(&c->callback_, seconds, id);
    if (r < 0) break;
    added.push_back(tn);
  }
  if (r < 0) {
    // Half-added: the modules that took it forget it again.
    for (const auto& tn : added)
      tn->RemoveNotification(&c->callback_, seconds, id);
    return r;
  }
  c->worker_->AddNotification(id, callback, key, seconds);
  return r;
}

int32_t MediaChain::NotificationsFace::RemoveNotification(MAudioCallback* callback, double seconds,
                                                          uint32_t key) {
  MediaChain* c = Owner();
  uint32_t id = 0;
  if (!c->worker_->RemoveNotification(callback, key, seconds, &id)) return kErrNotFound;
  const ModuleList modules = c->Modules();
  int32_t result = kErrNotFound;
  bool first = true;
  for (size_t i = modules.size(); i-- > 0;) {
    auto tn = Query<MTimeNotifications>(modules[i].Get(), kIID_MTimeNotifications);
    if (!tn) continue;
    const int32_t r = tn->RemoveNotification(&c->callback_, seconds, id);
    // The chain's last module (the endpoint) answers for the chain.
    if (first) result = r;
    first = false;
  }
  return result;
}

// ---- Properties --------------------------------------------------------------------------------

namespace {

// Asks the modules from the last backwards; the first answer that is not negative wins.
template <class Fn>
int32_t AskBackwards(const ModuleList& modules, Fn fn) {
  for (size_t i = modules.size(); i-- > 0;) {
    auto info = Query<MModuleInfo>(modules[i].Get(), kIID_MModuleInfo);
    if (!info) continue;
    if (fn(info.Get()) >= 0) return kOk;
  }
  return kErrNotFound;
}

// Tells every module from the last backwards: the last non-negative answer, else the last
// failure, else -5.
template <class Fn>
int32_t TellBackwards(const ModuleList& modules, Fn fn) {
  bool any = false;
  bool succeeded = false;
  int32_t lastOk = kOk;
  int32_t lastFail = kErrNotFound;
  for (size_t i = modules.size(); i-- > 0;) {
    auto props = Query<MModuleProperties>(modules[i].Get(), kIID_MModuleProperties);
    if (!props) continue;
    any = true;
    const int32_t r = fn(props.Get());
    if (r >= 0) {
      succeeded = true;
      lastOk = r;
    } else {
      lastFail = r;
    }
  }
  if (!any) return kErrNotFound;
  return succeeded ? lastOk : lastFail;
}

}  // namespace

int32_t MediaChain::PropertiesFace::GetString(const char16_t* name, TString* value) {
  if (!value) return kErrMissingArg;
  return AskBackwards(Owner()->Modules(),
                      [&](MModuleInfo* m) { return m->GetString(name, value); });
}

int32_t MediaChain::PropertiesFace::GetInteger(const char16_t* name, int32_t* value) {
  if (!value) return kErrMissingArg;
  return AskBackwards(Owner()->Modules(),
                      [&](MModuleInfo* m) { return m->GetInteger(name, value); });
}

int32_t MediaChain::PropertiesFace::GetNumber(const char16_t* name, double* value) {
  if (!value) return kErrMissingArg;
  return AskBackwards(Owner()->Modules(),
                      [&](MModuleInfo* m) { return m->GetNumber(name, value); });
}

int32_t MediaChain::PropertiesFace::SetString(const char16_t* name, const char16_t* value) {
  return TellBackwards(Owner()->Modules(),
                       [&](MModuleProperties* m) { return m->SetString(name, value); });
}

int32_t MediaChain::PropertiesFace::SetInteger(const char16_t* name, int32_t value) {
  return TellBackwards(Owner()->Modules(),
                       [&](MModuleProperties* m) { return m->SetInteger(name, value); });
}

int32_t MediaChain::PropertiesFace::SetNumber(const char16_t* name, double value) {
  return TellBackwards(Owner()->Modules(),
                       [&](MModuleProperties* m) { return m->SetNumber(name, value); });
}

int32_t MediaChain::PropertiesFace::Describe(PropertyDescriptionList* list) {
  if (!list) return kErrMissingArg;
  for (const RefPtr<MAudioModule>& m : Owner()->Modules()) {
    auto info = Query<MModuleInfo>(m.Get(), kIID_MModuleInfo);
    if (!info) continue;
    PropertyDescriptionList scratch;
    const int32_t r = info->Describe(&scratch);
    if (r < 0) return r;
    for (uint32_t i = 0; i < scratch.Count(); ++i) {
      const PropertyDescription& d = scratch.At(i);
      // Module identities stay out; the first module to describe a name wins.
      if (IsIdentityProperty(d.flags) || list->Find(d.name.c_str()) >= 0) continue;
      list->Append(d.flags, d.name, d.help);
    }
  }
  return kOk;
}

int32_t MediaChain::PropertiesFace::LoadSettings(MPreferenceStore* store) {
  {
    RefPtr<MPreferenceStore> old;
    ScopedLock lock(Owner()->lock_);
    old = std::move(Owner()->settings_);
    Owner()->settings_ = RefPtr<MPreferenceStore>(store);
  }
  for (const RefPtr<MAudioModule>& m : Owner()->Modules())
    Owner()->ApplySettings(m.Get());
  return kOk;
}

int32_t MediaChain::PropertiesFace::SaveSettings(MPreferenceStore* store) {
  if (!store) return kErrMissingArg;
  for (const RefPtr<MAudioModule>& m : Owner()->Modules()) {
    auto props = Query<MModuleProperties>(m.Get(), kIID_MModuleProperties);
    if (!props) continue;
    TString name;
    if (props->GetString(u"modulename", &name) < 0 || name.IsEmpty()) continue;
    auto section = AudioCreate<MPreferenceStore>(kServiceClass, kIID_MPreferenceStore);
    if (!section || section->SetBase(store) < 0 || section->OpenSection(name.c_str(), 1) < 0) {
      continue;
    }
    props->SaveSettings(section.Get());
  }
  return kOk;
}

int32_t MediaChain::PropertiesFace::SendFilterMessage(const char16_t* text, uint32_t reserved) {
  int32_t result = kErrNotFound;
  bool first = true;
  for (const RefPtr<MAudioModule>& m : Owner()->Modules()) {
    auto props = Query<MModuleProperties>(m.Get(), kIID_MModuleProperties);
    if (!props) continue;
    const int32_t r = props->SendFilterMessage(text, reserved);
    if (first || r >= 0) result = r;
    first = false;
  }
  return result;
}

}  // namespace vk2

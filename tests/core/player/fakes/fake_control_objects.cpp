#include "tests/core/player/fakes/fake_control_objects.h"

#include "foundation/util/result.h"
#include "interfaces/audio/module_properties.h"
#include "interfaces/runtime/preference_store.h"
#include "tests/core/player/fakes/call_text.h"

namespace vk2::test {

namespace {

class FakeControl final : public ComObject<FakeControl, Face<MControlObject, kIID_MControlObject>> {
 public:
  FakeControl(ControlLog* log, std::string name) : log_(log), name_(std::move(name)) {}
  int32_t Init(MPreferenceStore* section) override {
    log_->Add(name_ + ".Init(" + (section ? "section" : "null") + ")");
    return 0;
  }
  int32_t Attach(uintptr_t value) override {
    log_->Add(name_ + ".Attach(" + std::to_string(value) + ")");
    return static_cast<int32_t>(value) + 1;
  }
  int32_t Detach() override {
    log_->Add(name_ + ".Detach");
    return 0;
  }

 private:
  ControlLog* log_;
  std::string name_;
};

class FakeModule final
    : public ComObject<FakeModule,
                       Face<MModuleProperties, kIID_MModuleProperties, kIID_MModuleInfo>> {
 public:
  explicit FakeModule(ControlLog* log) : log_(log) {}
  int32_t GetString(const char16_t*, TString*) override { return kErrNotFound; }
  int32_t GetInteger(const char16_t*, int32_t*) override { return kErrNotFound; }
  int32_t GetNumber(const char16_t* name, double* value) override {
    if (TString(name) != u"gain") return kErrNotFound;
    *value = gain_;
    return kOk;
  }
  int32_t Describe(PropertyDescriptionList*) override { return kOk; }
  int32_t SetString(const char16_t*, const char16_t*) override { return kErrNotFound; }
  int32_t SetInteger(const char16_t*, int32_t) override { return kErrNotFound; }
  int32_t SetNumber(const char16_t* name, double value) override {
    if (TString(name) != u"gain") return kErrNotFound;
    gain_ = value;
    return kOk;
  }
  int32_t LoadSettings(MPreferenceStore* section) override {
    section->GetDouble(u"gain", &gain_);
    return kOk;
  }
  int32_t SaveSettings(MPreferenceStore* section) override {
    log_->Add("module.Save");
    return section->SetDouble(u"gain", gain_);
  }
  int32_t SendFilterMessage(const char16_t*, uint32_t) override { return 0; }

 private:
  ControlLog* log_;
  double gain_ = 1.0;
};

}  // namespace

int32_t FakeControlClasses::CreateInstance(const Guid& classId, const Guid& iid, void** out,
                                           MUnknown*) {
  for (uint32_t i = 0; i < count_; ++i) {
    if (!(classId == ClassId(i))) continue;
    auto* control =
        new FakeControl(log_, "control" + std::to_string(i) + "#" + std::to_string(made_++));
    control->AddRef();
    const int32_t r = control->QueryInterface(iid, out, 1);
    control->Release();
    return r;
  }
  return kErrNoInterface;
}

int32_t FakeCatalogue::ListModules(std::vector<TString>* names) {
  names->push_back(u"Fake Module");
  return kOk;
}

int32_t FakeCatalogue::AddRemoveListener(MModuleListListener*, int32_t add) {
  log_->Add(add ? "catalogue.AddListener" : "catalogue.RemoveListener");
  return kOk;
}

int32_t FakeCatalogue::GetModuleInstance(const char16_t* module, const char16_t* key,
                                         MPreferenceStore* settings, MUnknown** instance) {
  if (TString(module) != u"Fake Module") return kErrNotFound;
  log_->Add("catalogue.Instance(" + Narrow(key) + ")");
  // A fresh instance every time, as after the cache let the last one go.
  auto* m = new FakeModule(log_);
  m->AddRef();
  m->LoadSettings(settings);
  *instance = static_cast<MModuleProperties*>(m);
  return kOk;
}

}  // namespace vk2::test

#include "core/script/prefs_object.h"

#include "component/module/runtime_loader.h"
#include "component/script/handler_call_args.h"
#include "core/script/handler_frame.h"
#include "interfaces/runtime/error_tables.h"
#include "interfaces/runtime/preference_store.h"

namespace vk2 {
namespace {

class PrefsObject final : public ScriptNativeObject<PrefsObject> {
 public:
  PrefsObject() : errors_(MakeErrorRegistry()) {}
  bool Init();
  MErrorRegistry* Errors() const { return errors_.Get(); }

 private:
  RefPtr<MErrorRegistry> errors_;
};

enum class Operation : uintptr_t { kGet, kSet, kPrep, kCreate };

// Each call works on a store of its own, positioned on the section.
RefPtr<MPreferenceStore> OpenStore(const TString& section, bool create, int32_t* status) {
  RefPtr<MPreferenceStore> store =
      CreateRuntimeObject<MPreferenceStore>(kServiceClass, kIID_MPreferenceStore);
  *status = store ? store->OpenSection(section.c_str(), create ? 1 : 0) : kScriptNoTarget;
  return *status < 0 ? RefPtr<MPreferenceStore>() : store;
}

int32_t Strings(HandlerCall& call) {
  auto* prefs = HandlerTarget<PrefsObject>(call);
  const auto operation = static_cast<Operation>(call.handlerTag);
  TString section, name, value;
  const char16_t* format = operation == Operation::kCreate ? u"W"
                           : operation == Operation::kGet  ? u"WW"
                                                           : u"WWW";
  int32_t unpacked;
  if (operation == Operation::kCreate) {
    unpacked = UnpackScriptArgs(call, u"W", &section);
  } else if (operation == Operation::kGet) {
    unpacked = UnpackScriptArgs(call, u"WW", &section, &name);
  } else {
    unpacked = UnpackScriptArgs(call, u"WWW", &section, &name, &value);
  }
  if (unpacked < 0 || !HasRequiredArgs(call, format)) return kScriptBadArguments;
  int32_t r = 0;
  RefPtr<MPreferenceStore> store = OpenStore(section, operation == Operation::kCreate, &r);
  if (!store) {
    return ReportFailure(call, TString(operation == Operation::kCreate
                                           ? u"unable to create section"
                                           : u"preferences branch requested doesn't exist"));
  }
  switch (operation) {
    case Operation::kGet: {
      TString text;
      store->GetString(name.c_str(), &text);
      SetResultText(call, text);
      return kScriptDone;
    }
    case Operation::kCreate:
      SetResultText(call, TString(u"created"));
      return kScriptDone;
    case Operation::kPrep:
      r = store->PrepString(name.c_str(), value.c_str());
      // A value already there is kept, and that is no failure.
      if (r < 0 &&
          IsErrorInCategory(prefs->Errors(), r, kPrefsValueExists, kPreferenceSystemTable)) {
        return kScriptDone;
      }
      break;
    case Operation::kSet:
      r = store->SetString(name.c_str(), value.c_str());
      break;
  }
  if (r < 0) return ReportCode(call, prefs->Errors(), r, u"preferences could not be set - ");
  SetResultText(call, TString(u"set"));
  return kScriptDone;
}

int32_t Save(HandlerCall& call) {
  if (ArgCount(call) != 0) return kScriptBadArguments;
  auto* prefs = HandlerTarget<PrefsObject>(call);
  RefPtr<MPreferenceStore> store =
      CreateRuntimeObject<MPreferenceStore>(kServiceClass, kIID_MPreferenceStore);
  const int32_t r = store ? store->Save() : kScriptNoTarget;
  if (r < 0) return ReportCode(call, prefs->Errors(), r, u"unable to save preferences - ");
  SetResultText(call, TString(u"saved"));
  return kScriptDone;
}

bool PrefsObject::Init() {
  if (!AttachScriptObject(TString(u"prefs"), TString(u"Script Preferences Object"))) return false;
  AddFunction(u"GetString", u"Retrieves a string value from the preferences", &Strings, this,
              static_cast<uintptr_t>(Operation::kGet));
  AddFunction(u"SetString", u"Stores a string value to the preferences", &Strings, this,
              static_cast<uintptr_t>(Operation::kSet));
  AddFunction(u"PrepString",
              u"Stores a string value to the preferences if one doesn't already exist under the "
              u"specified name.",
              &Strings, this, static_cast<uintptr_t>(Operation::kPrep));
  AddFunction(u"CreateSection", u"Creates a preferences section in which you can store data",
              &Strings, this, static_cast<uintptr_t>(Operation::kCreate));
  AddFunction(u"Save",
              u"Forces Velkora to write its preferences out to disk now. This is normally only "
              u"done on program shutdown.",
              &Save, this);
  return true;
}

}  // namespace

RefPtr<MScriptObject> CreatePrefsObject() {
  RefPtr<PrefsObject> prefs(new PrefsObject);
  if (!prefs->Init()) return {};
  return RefPtr<MScriptObject>(prefs->Script());
}

}  // namespace vk2

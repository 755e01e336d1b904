#include "audio/effects/pitch_amp_balance_control.h"

#include <new>

#include "audio/effects/pitch_amp_balance_filter.h"
#include "component/script/handler_call_args.h"
#include "component/script/script_report.h"
#include "foundation/util/result.h"

namespace vk2 {
namespace {

constexpr const char16_t* kValueNames[] = {u"pitch", u"amplification", u"balance"};
constexpr double kDefaults[] = {1.0, 1.0, 0.0};

struct FunctionText {
  const char16_t* get;
  const char16_t* getHelp;
  const char16_t* set;
  const char16_t* setHelp;
};
constexpr FunctionText kFunctions[] = {
    {u"GetPitch",
     u"Returns the pitch bend factor (0.125 to 8.0) that the filter is currently configured to "
     u"provide",
     u"SetPitch",
     u"Sets the pitch bend factor (0.125 to 8.0) that the filter is currently configured to "
     u"provide"},
    {u"GetAmplification",
     u"Returns the amplification factor (0.125 to 8.0) that the filter is currently configured "
     u"to provide",
     u"SetAmplification",
     u"Sets the amplification factor (0.125 to 8.0) that the filter is currently configured to "
     u"provide"},
    {u"GetBalance",
     u"Returns the stereo balance (-1.0 to 1.0) that the filter is currently configured to "
     u"provide",
     u"SetBalance",
     u"Sets the stereo balance (-1.0 to 1.0) that the filter is currently configured to provide"},
};

}  // namespace

RefPtr<PitchAmpBalanceControl> PitchAmpBalanceControl::Make() {
  RefPtr<PitchAmpBalanceControl> object(new (std::nothrow) PitchAmpBalanceControl);
  if (!object) return nullptr;
  ControlObjectCore& core = object->core_;
  if (!core.AttachScript(static_cast<MBaseObject*>(object.Get()), TString(u"PitchAmpBal"),
                         TString(u"Pitch/Amplification/Balance Control Object"))) {
    return nullptr;
  }
  const auto data = reinterpret_cast<uintptr_t>(object.Get());
  for (uintptr_t v = kPitch; v < kValueCount; ++v)
    core.AddFunction(kFunctions[v].get, kFunctions[v].getHelp, &GetHandler, data, v);
  for (uintptr_t v = kPitch; v < kValueCount; ++v)
    core.AddFunction(kFunctions[v].set, kFunctions[v].setHelp, &SetHandler, data, v);
  core.AddChangeCallbackFunctions(
      u"Registers for a callback whenever the Pitch/Amplification/Balance information changes.",
      u"Unregisters for a callback whenever the Pitch/Amplification/Balance information changes.");
  return object;
}

int32_t PitchAmpBalanceControl::Init(MPreferenceStore* section) {
  RefPtr<MPreferenceStore> store = ControlObjectCore::OpenSubsection(section, u"pitchampbal");
  ScopedLock lock(lock_);
  store_ = store;
  for (uintptr_t v = kPitch; v < kValueCount; ++v) {
    values_[v] = kDefaults[v];
    if (store_) store_->GetDouble(kValueNames[v], &values_[v]);
  }
  return kOk;
}

int32_t PitchAmpBalanceControl::Attach(uintptr_t parent) {
  return core_.AttachTo(parent);
}

int32_t PitchAmpBalanceControl::Detach() {
  // The script object stays registered with the engine: scripts holding it keep working until
  // the player's script object lets it go.
  return kOk;
}

int32_t PitchAmpBalanceControl::RegisterCallback(MEffectChangeCallback* callback, int32_t add) {
  return core_.UpdateCallback(callback, add != 0);
}

int32_t PitchAmpBalanceControl::Get(Value which, double* value) {
  if (!value) return kErrMissingArg;
  ScopedLock lock(lock_);
  *value = values_[which];
  return kOk;
}

int32_t PitchAmpBalanceControl::Set(Value which, double value) {
  {
    ScopedLock lock(lock_);
    values_[which] = value;
    if (store_) {
      for (uintptr_t v = kPitch; v < kValueCount; ++v)
        store_->SetDouble(kValueNames[v], values_[v]);
    }
  }
  core_.Notify(nullptr);
  return kOk;
}

int32_t PitchAmpBalanceControl::AttachPart(const Guid& classId, const Guid& iid) {
  return core_.Parts().Attach(classId, iid, static_cast<MBaseObject*>(this));
}

int32_t PitchAmpBalanceControl::AddPart(MUnknown* part) {
  return core_.Parts().Add(part);
}

int32_t PitchAmpBalanceControl::QueryInterfaceAfter(const Guid& iid, void** out, uint32_t addRef,
                                                    const void* after) {
  return core_.Parts().FindAfter(iid, out, addRef, after);
}

int32_t PitchAmpBalanceControl::GetHandler(HandlerCall& call) {
  if (HasArguments(call)) return kScriptBadArguments;
  auto* self = reinterpret_cast<PitchAmpBalanceControl*>(call.handlerData);
  double value = 0.0;
  self->Get(static_cast<Value>(call.handlerTag), &value);
  SetTextResult(call, ValueText(value));
  return kOk;
}

int32_t PitchAmpBalanceControl::SetHandler(HandlerCall& call) {
  auto* self = reinterpret_cast<PitchAmpBalanceControl*>(call.handlerData);
  const auto which = static_cast<Value>(call.handlerTag);
  double value = kDefaults[which];
  if (UnpackScriptArgs(call, u"D", &value) < 0) return kScriptBadArguments;
  const bool inRange = which == kBalance ? IsBalanceInRange(value) : IsFactorInRange(value);
  if (!inRange) {
    ReportScriptError(call, u"Value is out of range.");
    return kScriptReportedFailure;
  }
  self->Set(which, value);
  SetTextResult(call, u"set");
  return kOk;
}

}  // namespace vk2

#include "audio/effects/equalizer_control.h"

#include <cmath>
#include <new>

#include "component/object/query_answer.h"
#include "component/script/handler_call_args.h"
#include "component/script/script_factory.h"
#include "component/script/script_report.h"
#include "foundation/text/number_parse.h"
#include "foundation/util/result.h"

namespace vk2 {
namespace {

constexpr int32_t kMaxScriptBands = 200;  // SetNumBands from scripts
constexpr uint32_t kMaxDataBands = 100;   // SetEQData
constexpr double kMinBandHz = 1.0;
constexpr double kMaxBandHz = 48000.0;

bool IsGainInRange(double g) {
  return g >= -1.0 && g <= 1.0;
}
bool IsHzInRange(double hz) {
  return hz >= kMinBandHz && hz <= kMaxBandHz;
}

// A new data item with the value "true" or "false".
RefPtr<MScriptObject> MakeFlagItem(bool flag) {
  RefPtr<MScriptObject> item;
  if (CreateScriptInstance(kIID_ScriptDataEntity, nullptr, item.PutVoid()) < 0) return nullptr;
  if (ScriptDataEntity* data = AsDataEntity(item.Get())) data->SetValue(flag ? u"true" : u"false");
  return item;
}

// A scalar member of an array element read as a number: "0x" hexadecimal, else decimal, at
// least one character consumed.
bool ReadMember(ScriptDataEntity* element, const char16_t* name, double* value) {
  MScriptObject* member = element->GetMember(TString(name));
  ScriptDataEntity* data = member ? AsDataEntity(member) : nullptr;
  if (!data || !data->IsScalar()) return false;
  TString text;
  data->GetValue(&text);
  return !text.IsEmpty() && ParseNumberText(text.c_str(), value) > 0;
}

EqualizerControl* Self(const HandlerCall& call) {
  return reinterpret_cast<EqualizerControl*>(call.handlerData);
}

}  // namespace

RefPtr<EqualizerControl> EqualizerControl::Make() {
  RefPtr<EqualizerControl> object(new (std::nothrow) EqualizerControl);
  if (!object) return nullptr;
  ControlObjectCore& core = object->core_;
  if (!core.AttachScript(static_cast<MBaseObject*>(object.Get()), TString(u"equalizer"),
                         TString(u"Equalizer Control Object"))) {
    return nullptr;
  }
  const auto data = reinterpret_cast<uintptr_t>(object.Get());
  core.AddFunction(u"GetNumBands",
                   u"Returns how many bands the equalizer is currently configured to use",
                   &GetNumBandsHandler, data);
  core.AddFunction(u"SetNumBands",
                   u"Sets how many bands the equalizer is currently configured to use, with "
                   u"default frequency allocation",
                   &SetNumBandsHandler, data);
  core.AddFunction(u"GetEQData",
                   u"Returns the current configuration of the equalizer with information for each "
                   u"band",
                   &GetEQDataHandler, data);
  core.AddFunction(
      u"SetEQData",
      u"Sets the current configuration of the equalizer with information for each band",
      &SetEQDataHandler, data);
  core.AddFunction(u"GetBandGain",
                   u"Returns the gain of the band number passed in as the parameter",
                   &GetBandGainHandler, data);
  core.AddFunction(u"SetBandGain",
                   u"Sets the gain of the band number passed in as the first parameter to the "
                   u"value of the second",
                   &SetBandGainHandler, data);
  core.AddFunction(u"Reset", u"Resets all the band gains to 0.", &ResetHandler, data);
  core.AddChangeCallbackFunctions(
      u"Registers for a callback whenever the EQ information changes. Parameter passed to the "
      u"callback is a boolean, true if the number of bands or frequencies might have changed, "
      u"false if only the gains will have changed.",
      u"Unregisters for a callback whenever the EQ information changes.");
  return object;
}

EqualizerControl::~EqualizerControl() {
  ScopedLock lock(bandLock_);
  Store();
}

// ---- MControlObject ----

int32_t EqualizerControl::Init(MPreferenceStore* section) {
  RefPtr<MPreferenceStore> store = ControlObjectCore::OpenSubsection(section, u"equalizer");
  ScopedLock lock(bandLock_);
  store_ = store;
  bands_ = ReadBandLayout(store_.Get());
  return kOk;
}

int32_t EqualizerControl::Attach(uintptr_t parent) {
  return core_.AttachTo(parent);
}

int32_t EqualizerControl::Detach() {
  core_.UnregisterFromEngine();
  return kOk;
}

// ---- MControlObjectPeer ----

void EqualizerControl::Store() {
  WriteBandLayout(store_.Get(), bands_);
}

void EqualizerControl::NotifyChange(bool layoutChanged) {
  // Outside the band lock: a listener may read the bands back or wait on another thread that
  // needs them.
  RefPtr<MScriptObject> item = MakeFlagItem(layoutChanged);
  core_.Notify(item.Get());
}

int32_t EqualizerControl::GetNumBands() {
  ScopedLock lock(bandLock_);
  return static_cast<int32_t>(bands_.size());
}

int32_t EqualizerControl::SetNumBands(int32_t count) {
  if (count < 0 || count > kMaxStoredBands) return kErrOutOfRange;
  {
    ScopedLock lock(bandLock_);
    bands_ = DefaultLayout(static_cast<uint32_t>(count));
  }
  NotifyChange(true);
  return kOk;
}

int32_t EqualizerControl::GetEQData(std::vector<EqualizerBandData>* bands) {
  if (!bands) return kErrMissingArg;
  ScopedLock lock(bandLock_);
  bands->clear();
  for (const EqualizerBandSetting& b : bands_)
    bands->push_back({b.frequency, b.width, b.gain});
  return kOk;
}

int32_t EqualizerControl::SetEQData(const EqualizerBandData* bands, uint32_t count) {
  if (!bands || count < 1 || count > kMaxDataBands) return kErrOutOfRange;
  BandLayout layout(count);
  for (uint32_t i = 0; i < count; ++i) {
    const EqualizerBandData& b = bands[i];
    if (!IsHzInRange(b.frequency) || !IsHzInRange(b.bandwidth) || !IsGainInRange(b.gain)) {
      return kErrMissingArg;
    }
    layout[i] = {b.frequency, b.bandwidth, b.gain};
  }
  {
    ScopedLock lock(bandLock_);
    bands_ = std::move(layout);
    Store();
  }
  NotifyChange(true);
  return kOk;
}

int32_t EqualizerControl::GetBandGain(int32_t band, double* gain) {
  if (!gain) return kErrMissingArg;
  ScopedLock lock(bandLock_);
  if (band < 0 || static_cast<size_t>(band) >= bands_.size()) return kErrOutOfRange;
  *gain = bands_[static_cast<size_t>(band)].gain;
  return kOk;
}

int32_t EqualizerControl::SetBandGain(int32_t band, double gain) {
  {
    ScopedLock lock(bandLock_);
    if (band < 0 || static_cast<size_t>(band) >= bands_.size()) return kErrOutOfRange;
    if (!IsGainInRange(gain)) return kErrMissingArg;
    bands_[static_cast<size_t>(band)].gain = gain;
    Store();
  }
  NotifyChange(false);
  return kOk;
}

int32_t EqualizerControl::Reset() {
  {
    ScopedLock lock(bandLock_);
    for (EqualizerBandSetting& b : bands_)
      b.gain = 0.0;
    Store();
  }
  NotifyChange(false);
  return kOk;
}

int32_t EqualizerControl::RegisterCallback(MEffectChangeCallback* callback, int32_t add) {
  return core_.UpdateCallback(callback, add != 0);
}

// ---- MBaseObject ----

int32_t EqualizerControl::AttachPart(const Guid& classId, const Guid& iid) {
  return core_.Parts().Attach(classId, iid, static_cast<MBaseObject*>(this));
}

int32_t EqualizerControl::AddPart(MUnknown* part) {
  return core_.Parts().Add(part);
}

int32_t EqualizerControl::QueryInterfaceAfter(const Guid& iid, void** out, uint32_t addRef,
                                              const void* after) {
  return core_.Parts().FindAfter(iid, out, addRef, after);
}

// ---- Script functions ----

int32_t EqualizerControl::GetNumBandsHandler(HandlerCall& call) {
  if (HasArguments(call)) return kScriptBadArguments;
  SetTextResult(call, TString::Format(u"%d", Self(call)->GetNumBands()));
  return kOk;
}

int32_t EqualizerControl::SetNumBandsHandler(HandlerCall& call) {
  uint32_t count = 0;
  if (UnpackScriptArgs(call, u"U", &count) < 0) return kScriptBadArguments;
  if (count == 0 || count > static_cast<uint32_t>(kMaxScriptBands)) {
    ReportScriptError(call, u"Valid number of EQ bands is 1-200.");
    return kScriptReportedFailure;
  }
  const int32_t r = Self(call)->SetNumBands(static_cast<int32_t>(count));
  if (r < 0) {
    ReportScriptError(call, TString::Format(u"Unable to set number of EQ bands - %s",
                                            ControlObjectCore::ErrorText(r)));
    return kScriptReportedFailure;
  }
  SetTextResult(call, u"set");
  return kOk;
}

int32_t EqualizerControl::GetEQDataHandler(HandlerCall& call) {
  if (HasArguments(call)) return kScriptBadArguments;
  EqualizerControl* self = Self(call);
  std::vector<EqualizerBandData> bands;
  self->GetEQData(&bands);
  RefPtr<MScriptObject> item;
  if (CreateScriptInstance(kIID_ScriptDataEntity, nullptr, item.PutVoid()) < 0 || !item) {
    return kErrOutOfMemory;
  }
  ScriptDataEntity* list = AsDataEntity(item.Get());
  if (!list) return kErrOutOfMemory;
  for (const EqualizerBandData& b : bands) {
    MScriptObject* element = list->AppendNew();
    if (!element) return kErrOutOfMemory;
    AddArrayMember(element, ValueText(b.frequency), u"frequency");
    AddArrayMember(element, ValueText(b.bandwidth), u"bandwidth");
    AddArrayMember(element, ValueText(b.gain), u"gain");
  }
  {
    ScopedLock lock(self->bandLock_);
    self->lastData_ = item;
  }
  SetCallResult(call, item.Get());
  return kOk;
}

int32_t EqualizerControl::SetEQDataHandler(HandlerCall& call) {
  ScriptDataEntity* params = call.params ? AsDataEntity(call.params) : nullptr;
  if (!params || params->ArraySize() != 1) return kScriptBadArguments;
  MScriptObject* argument = params->GetAt(0);
  ScriptDataEntity* array = argument ? AsDataEntity(argument) : nullptr;
  if (!array || !array->IsArray()) return kScriptBadArguments;
  const uint32_t count = array->ArraySize();
  if (count < 1 || count > kMaxDataBands) {
    ReportScriptError(call, u"Invalid number of bands. Must be between 1 and 100.");
    return kScriptReportedFailure;
  }
  std::vector<EqualizerBandData> bands(count);
  for (uint32_t i = 0; i < count; ++i) {
    MScriptObject* element = array->GetAt(i);
    ScriptDataEntity* fields = element ? AsDataEntity(element) : nullptr;
    if (!fields || !fields->IsArray() || !ReadMember(fields, u"frequency", &bands[i].frequency) ||
        !ReadMember(fields, u"bandwidth", &bands[i].bandwidth) ||
        !ReadMember(fields, u"gain", &bands[i].gain)) {
      ReportScriptError(call,
                        u"EQ data is not in a valid format. Must be the same format as GetEQData "
                        u"returns.");
      return kScriptReportedFailure;
    }
  }
  const int32_t r = Self(call)->SetEQData(bands.data(), count);
  if (r < 0) {
    ReportScriptError(
        call, TString::Format(u"Unable to set the EQ data - %s", ControlObjectCore::ErrorText(r)));
    return kScriptReportedFailure;
  }
  SetTextResult(call, u"set");
  return kOk;
}

int32_t EqualizerControl::GetBandGainHandler(HandlerCall& call) {
  uint32_t band = 0;
  if (UnpackScriptArgs(call, u"U", &band) < 0) return kScriptBadArguments;
  double gain = 0.0;
  if (band > 0x7FFFFFFFu || Self(call)->GetBandGain(static_cast<int32_t>(band), &gain) < 0) {
    ReportScriptError(call, u"Unable to get band gain - band number out of range.");
    return kScriptReportedFailure;
  }
  SetTextResult(call, ValueText(gain));
  return kOk;
}

int32_t EqualizerControl::SetBandGainHandler(HandlerCall& call) {
  uint32_t band = 0;
  double gain = 0.0;
  if (UnpackScriptArgs(call, u"UD", &band, &gain) < 0) return kScriptBadArguments;
  const int32_t r = band > 0x7FFFFFFFu ? kErrOutOfRange
                                       : Self(call)->SetBandGain(static_cast<int32_t>(band), gain);
  if (r < 0) {
    ReportScriptError(
        call, TString::Format(u"Unable to set band gain - %s", ControlObjectCore::ErrorText(r)));
    return kScriptReportedFailure;
  }
  SetTextResult(call, u"set");
  return kOk;
}

int32_t EqualizerControl::ResetHandler(HandlerCall& call) {
  if (HasArguments(call)) return kScriptBadArguments;
  Self(call)->Reset();
  SetTextResult(call, u"reset");
  return kOk;
}

}  // namespace vk2

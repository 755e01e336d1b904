#include "audio/outputs/common/output_device_base.h"

#include <algorithm>

#include "audio/common/audio_runtime.h"
#include "audio/common/module_identity.h"
#include "audio/outputs/common/format_layout.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/console.h"
#include "interfaces/runtime/preference_store.h"
#include "platform/sleep.h"

namespace vk2 {
namespace {

constexpr char16_t kCurrentDevice[] = u"curoutputdevice";
constexpr char16_t kHelpDeviceCount[] =
    u"the number of different audio devices this output module can send sound to";
constexpr char16_t kHelpDeviceName[] =
    u"the name of each audio device this output module can send sound to";
constexpr char16_t kHelpCurrentDevice[] =
    u"the name of the output devices that this module is currently set to send sound to";

}  // namespace

OutputDeviceBase::OutputDeviceBase(const char16_t* moduleName, const char16_t* description,
                                   const std::vector<SinkDevice>& devices) {
  std::vector<TString> descriptions;
  for (const SinkDevice& d : devices) {
    descriptions.push_back(Utf16(d.description));
    sinkIds_.push_back(d.id);
  }
  devices_ = NameDevices(descriptions);
  if (!devices_.empty()) selected_ = devices_.front().name;
  table_.AddIdentity(moduleName, description, 1.0);
  table_.AddInteger(u"numoutputdevices", kPropDeviceCount, kHelpDeviceCount, [this](int32_t* v) {
    *v = static_cast<int32_t>(devices_.size());
    return kOk;
  });
}

OutputDeviceBase::~OutputDeviceBase() = default;

int32_t OutputDeviceBase::GetString(const char16_t* name, TString* value) {
  if (!name || !value) return kErrMissingArg;
  if (WideCompare(name, kCurrentDevice, false) == 0) {
    ScopedLock lock(selectionLock_);
    *value = selected_;
    return kOk;
  }
  uint32_t index = 0;
  const uint32_t count = static_cast<uint32_t>(devices_.size());
  if (count == 0 && !noDevicesName_.IsEmpty() && ParseOutputDeviceIndex(name, 1, &index) == kOk) {
    *value = noDevicesName_;
    return kOk;
  }
  if (ParseOutputDeviceIndex(name, count, &index) == kOk) {
    *value = devices_[index].name;
    return kOk;
  }
  if (WideCompare(name, u"outputdevice", false, 12) == 0) return kErrNotFound;
  return table_.GetString(name, value);
}

int32_t OutputDeviceBase::GetInteger(const char16_t* name, int32_t* value) {
  return table_.GetInteger(name, value);
}

int32_t OutputDeviceBase::GetNumber(const char16_t* name, double* value) {
  return table_.GetNumber(name, value);
}

int32_t OutputDeviceBase::Describe(PropertyDescriptionList* list) {
  if (!list) return kErrMissingArg;
  const int32_t r = table_.Describe(list);
  if (r < 0) return r;
  for (size_t i = 0; i < devices_.size(); ++i) {
    list->Append(kPropDeviceName, TString::Format(u"outputdevice%d", static_cast<int32_t>(i)),
                 kHelpDeviceName);
  }
  list->Append(kPropStoredString, kCurrentDevice, kHelpCurrentDevice);
  return kOk;
}

int32_t OutputDeviceBase::SelectByName(const char16_t* name) {
  for (const DeviceName& d : devices_) {
    if (d.name.Equals(name)) {
      ScopedLock lock(selectionLock_);
      selected_ = d.name;
      return kOk;
    }
  }
  return kErrOutOfRange;
}

int32_t OutputDeviceBase::SetString(const char16_t* name, const char16_t* value) {
  if (!name) return kErrMissingArg;
  if (WideCompare(name, kCurrentDevice, false) == 0) return SelectByName(value ? value : u"");
  return table_.SetString(name, value);
}

int32_t OutputDeviceBase::SetInteger(const char16_t* name, int32_t value) {
  return table_.SetInteger(name, value);
}

int32_t OutputDeviceBase::SetNumber(const char16_t* name, double value) {
  return table_.SetNumber(name, value);
}

int32_t OutputDeviceBase::LoadSettings(MPreferenceStore* section) {
  if (!section) return kErrMissingArg;
  TString stored;
  if (section->GetString(kCurrentDevice, &stored) == 0) {
    // Kept even when no device has that name now: the device may come back.
    if (SelectByName(stored.c_str()) < 0) {
      ScopedLock lock(selectionLock_);
      selected_ = stored;
    }
  } else {
    ScopedLock lock(selectionLock_);
    section->PrepString(kCurrentDevice, selected_.c_str());
  }
  LoadDeviceSettings(section);
  return kOk;
}

int32_t OutputDeviceBase::SaveSettings(MPreferenceStore* section) {
  if (!section) return kErrMissingArg;
  {
    ScopedLock lock(selectionLock_);
    section->SetString(kCurrentDevice, selected_.c_str());
  }
  SaveDeviceSettings(section);
  return kOk;
}

uint32_t OutputDeviceBase::FormatScore(AudioFormat* format) {
  if (!format) return 0;
  const uint64_t score = (uint64_t{format->sampleRate} + 1) * format->bitsPerSample;
  return score > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(score);
}

bool OutputDeviceBase::ResolveSelectedDevice(const std::vector<SinkDevice>& current,
                                             std::string* sinkId, size_t* index) {
  if (current.empty()) return false;
  TString selected;
  {
    ScopedLock lock(selectionLock_);
    selected = selected_;
  }
  const DeviceName* chosen = nullptr;
  for (const DeviceName& d : devices_) {
    if (d.name == selected) chosen = &d;
  }
  if (chosen) {
    // The (duplicate + 1)-th device of that description in the list as it is now.
    uint32_t seen = 0;
    for (size_t i = 0; i < current.size(); ++i) {
      if (Utf16(current[i].description) != chosen->description) continue;
      if (seen++ == chosen->duplicate) {
        *sinkId = current[i].id;
        if (index) *index = i;
        return true;
      }
    }
  }
  ConsoleLine(kConsoleWarning,
              TString::Format(u"%s: the output device \"%s\" was not found; playing on the default "
                              u"device",
                              table_.ModuleName().c_str(), selected.c_str()));
  *sinkId = current.front().id;
  if (index) *index = 0;
  return true;
}

void OutputDeviceBase::ConsoleLine(int32_t level, const TString& text) {
  RefPtr<MConsole> console = AudioCreate<MConsole>(kServiceClass, kIID_MConsole);
  if (console) console->Write(level, text.c_str(), 1);
}

int32_t OutputDeviceBase::FormatDiffers(AudioFormat* format) {
  if (!format || !IsPcm(*format)) return 1;
  ScopedLock lock(deviceLock_);
  return SameLayout(*format, open_) ? 0 : 1;
}

uint32_t OutputDeviceBase::Channels() {
  ScopedLock lock(deviceLock_);
  return open_.channels;
}

uint32_t OutputDeviceBase::SampleRate() {
  ScopedLock lock(deviceLock_);
  return open_.sampleRate;
}

bool OutputDeviceBase::DrainSleep(Event* wake, uint64_t pendingBytes) {
  const uint64_t bytesPerSecond = BytesPerSecond();
  const uint64_t halfMs = bytesPerSecond ? pendingBytes * 500 / bytesPerSecond : 0;
  const auto ms = static_cast<uint32_t>(std::clamp<uint64_t>(halfMs, 1, kDrainStepMaxMs));
  if (wake) return wake->Wait(ms);
  SleepMs(ms);
  return false;
}

uint32_t OutputDeviceBase::BytesPerSecond() {
  ScopedLock lock(deviceLock_);
  return static_cast<uint32_t>(std::min<uint64_t>(open_.BytesPerSecond(), 0xFFFFFFFFu));
}

}  // namespace vk2

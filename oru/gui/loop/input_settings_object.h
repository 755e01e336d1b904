// Input settings (MInputSettings): named integer settings that controls read (knob mode and
// sensitivity) and the dithering switch every host canvas follows. One per process, in memory.
#pragma once

#include <map>
#include <mutex>
#include <string>

#include "component/object/com_object.h"
#include "interfaces/gui/input_settings.h"
#include "interfaces/ids.h"

namespace vk2::gui {

class InputSettingsObject final
    : public ComObject<InputSettingsObject, Face<MInputSettings, kIID_MInputSettings>> {
 public:
  static InputSettingsObject& Instance();

  int32_t RegisterInt(const char16_t* name, int32_t defaultValue, int32_t type) override;
  int32_t ReadInt(const char16_t* name, int32_t* type) override;
  int32_t IsDithering() override;
  int32_t SetInt(const char16_t* name, int32_t value) override;
  int32_t SetDithering(int32_t on) override;

 private:
  InputSettingsObject() : ComObject(Lifetime::kOwnedElsewhere) {}
  ~InputSettingsObject() override = default;

  struct Setting {
    int32_t value = 0;
    int32_t type = 0;
  };
  std::mutex mutex_;  // settings are read from control parts and written from the interface
  std::map<std::u16string, Setting> settings_;
  bool dithering_ = false;
};

}  // namespace vk2::gui

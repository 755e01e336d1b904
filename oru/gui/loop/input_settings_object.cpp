#include "oru/gui/loop/input_settings_object.h"

#include "foundation/util/result.h"

namespace vk2::gui {

InputSettingsObject& InputSettingsObject::Instance() {
  static InputSettingsObject* settings = new InputSettingsObject;
  return *settings;
}

int32_t InputSettingsObject::RegisterInt(const char16_t* name, int32_t defaultValue, int32_t type) {
  if (!name || !*name) return kErrMissingArg;
  if (type != kSettingTypeInteger) return kErrOutOfRange;
  std::lock_guard lock(mutex_);
  // A setting already registered keeps its value: registering twice is no reset.
  settings_.try_emplace(name, Setting{defaultValue, type});
  return 0;
}

int32_t InputSettingsObject::ReadInt(const char16_t* name, int32_t* type) {
  std::lock_guard lock(mutex_);
  auto it = name ? settings_.find(name) : settings_.end();
  if (it == settings_.end()) {
    if (type) *type = 0;
    return 0;
  }
  if (type) *type = it->second.type;
  return it->second.value;
}

int32_t InputSettingsObject::IsDithering() {
  std::lock_guard lock(mutex_);
  return dithering_ ? 1 : 0;
}

int32_t InputSettingsObject::SetInt(const char16_t* name, int32_t value) {
  if (!name) return kErrMissingArg;
  std::lock_guard lock(mutex_);
  auto it = settings_.find(name);
  if (it == settings_.end()) return kErrNotFound;
  it->second.value = value;
  return 0;
}

int32_t InputSettingsObject::SetDithering(int32_t on) {
  std::lock_guard lock(mutex_);
  dithering_ = on != 0;
  return 0;
}

}  // namespace vk2::gui

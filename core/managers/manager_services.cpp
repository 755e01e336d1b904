#include "core/managers/manager_services.h"

#include "component/module/runtime_loader.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/console.h"

namespace vk2 {

RefPtr<MPreferenceStore> OpenPreferenceSection(const PreferenceMaker& make,
                                               const char16_t* section) {
  RefPtr<MPreferenceStore> store =
      make ? make() : CreateRuntimeObject<MPreferenceStore>(kServiceClass, kIID_MPreferenceStore);
  if (!store || store->OpenSection(section, 1) < 0) return nullptr;
  return store;
}

RegistryLog RuntimeConsoleLog() {
  return [](const RegistryLine& line) {
    if (RefPtr<MConsole> console = CreateRuntimeObject<MConsole>(kServiceClass, kIID_MConsole)) {
      console->Write(line.level, line.text.c_str(), 1);
    }
  };
}

}  // namespace vk2

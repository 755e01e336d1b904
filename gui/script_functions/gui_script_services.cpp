#include "gui/script_functions/gui_script_services.h"

#include "component/module/runtime_loader.h"
#include "interfaces/ids.h"

namespace vk2::gui {

GuiScriptServices RuntimeGuiScriptServices() {
  GuiScriptServices services;
  services.console = [] { return CreateRuntimeObject<MConsole>(kServiceClass, kIID_MConsole); };
  services.languages = [] {
    return CreateRuntimeObject<MLanguageService>(kServiceClass, kIID_MLanguageService);
  };
  services.inputSettings = [] {
    return CreateRuntimeObject<MInputSettings>(kBrintClass, kIID_MInputSettings);
  };
  services.rasterizer = [] {
    return CreateRuntimeObject<MRasterizer>(kImageServiceClass, kIID_MRasterizer);
  };
  services.openDialog = [] {
    return CreateRuntimeObject<MOpenFileDialog>(kBrintClass, kIID_MOpenFileDialog);
  };
  services.saveDialog = [] {
    return CreateRuntimeObject<MSaveFileDialog>(kBrintClass, kIID_MSaveFileDialog);
  };
  services.preferences = [] {
    return CreateRuntimeObject<MPreferenceStore>(kServiceClass, kIID_MPreferenceStore);
  };
  services.playlistLoaders = [] {
    std::vector<PlaylistLoaderEntry> entries;
    RefPtr<MGenericLoader> loader =
        CreateRuntimeObject<MGenericLoader>(kMediaCoreClass, kIID_GenericLoader);
    if (loader) loader->ListLoaders(&entries);
    return entries;
  };
  return services;
}

}  // namespace vk2::gui

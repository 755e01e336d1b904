#include "gui/script_functions/gui_script_services.h"

#include "component/module/runtime_loader.h"
#include "interfaces/ids.h"

namespace vk2::gui {

GuiScriptServices RuntimeGuiScriptServices() {
  GuiScriptServices services;
  services.console = RuntimeObjectMaker<MConsole>(kServiceClass, kIID_MConsole);
  services.languages = RuntimeObjectMaker<MLanguageService>(kServiceClass, kIID_MLanguageService);
  services.inputSettings = RuntimeObjectMaker<MInputSettings>(kBrintClass, kIID_MInputSettings);
  services.rasterizer = RuntimeObjectMaker<MRasterizer>(kImageServiceClass, kIID_MRasterizer);
  services.openDialog = RuntimeObjectMaker<MOpenFileDialog>(kBrintClass, kIID_MOpenFileDialog);
  services.saveDialog = RuntimeObjectMaker<MSaveFileDialog>(kBrintClass, kIID_MSaveFileDialog);
  services.preferences = RuntimeObjectMaker<MPreferenceStore>(kServiceClass, kIID_MPreferenceStore);
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

#include "gui/packages/package_services.h"

#include <filesystem>
#include <string_view>
#include <system_error>

#include "component/module/runtime_loader.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/console.h"
#include "platform/executable_path.h"

namespace vk2 {
namespace {

std::filesystem::path FsPath(const TString& path) {
  return std::filesystem::path(Utf8(path).c_str());
}

}  // namespace

bool HasPackageExtension(const TString& path) {
  const std::u16string_view text = path.view();
  const size_t dot = text.rfind(u'.');
  if (dot == std::u16string_view::npos || text.find(u'/', dot) != std::u16string_view::npos ||
      text.find(u'\\', dot) != std::u16string_view::npos) {
    return false;
  }
  const TString extension(text.substr(dot + 1));
  for (const char16_t* known : kPackageExtensions) {
    if (extension.Equals(TString(known), false)) return true;
  }
  return false;
}

bool IsInterfacePackagePath(const TString& path) {
  std::error_code error;
  const std::filesystem::path fs = FsPath(path);
  if (std::filesystem::is_directory(fs, error)) {
    return std::filesystem::is_regular_file(fs / Utf8(TString(kPackageIndexName)).c_str(), error);
  }
  return HasPackageExtension(path);
}

PackageServices RuntimePackageServices() {
  PackageServices services;
  services.newArchive = RuntimeObjectMaker<MResourceFile>(kServiceClass, kIID_MResourceFile);
  services.enumerationService =
      RuntimeObjectMaker<MEnumerationService>(kServiceClass, kIID_MEnumerationService);
  services.newLoader = RuntimeObjectMaker<MInterfaceLoader>(kMmlModuleClass, kIID_MInterfaceLoader);
  services.loadOptions = [] {
    LoadContext context;
    context.language = u"english";
    return context;
  };
  services.languageText = [](const char16_t*) { return TString(); };
  services.isPackage = &IsInterfacePackagePath;
  services.interfacesChanged = [] {};
  services.log = [](int32_t level, const TString& text) {
    if (RefPtr<MConsole> console = CreateRuntimeObject<MConsole>(kServiceClass, kIID_MConsole)) {
      console->Write(level, text.c_str(), 1);
    }
  };
  services.guiPreferences = []() -> RefPtr<MPreferenceStore> {
    RefPtr<MPreferenceStore> store =
        CreateRuntimeObject<MPreferenceStore>(kServiceClass, kIID_MPreferenceStore);
    if (!store || store->OpenSection(u"velkora/gui/brint", 1) < 0) return nullptr;
    return store;
  };
  services.programFolder = [] { return WideFromNarrow(ExecutableFolder().c_str()); };
  return services;
}

}  // namespace vk2

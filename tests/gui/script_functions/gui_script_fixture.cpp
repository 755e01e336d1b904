#include "tests/gui/script_functions/gui_script_fixture.h"

#include "interfaces/ids.h"

namespace vk2::gui::test {

void GuiScriptTest::SetUp() {
  ASSERT_TRUE(harness_.Start()) << harness_.Error();
  ASSERT_EQ(harness_.Core()->GetPlaylistManager()->AddRemove(u"default", 1), kOk);
  ASSERT_EQ(harness_.Core()->GetPlayerManager()->AddRemove(u"default", 1), kOk);
  core_ = std::make_unique<RuntimeCoreAccess>();
  host_ = std::make_unique<EngineHost>(&harness_);
  PackageServices packages = RuntimePackageServices();
  packages.log = [](int32_t, const TString&) {};
  interfaces_ = std::make_unique<InterfaceEnumerator>(std::move(packages), 3);
  main_ = GuiMainObject::Create(host_.get(), core_.get());
  main_->Status()->AddRemoveListener(&status_, 1);
  status_.Take();

  services_ = RuntimeGuiScriptServices();
  services_.main = queue_.Get();
  services_.status = main_->Status();
  services_.players = core_.get();
  services_.core = [this] { return harness_.Core(); };
  services_.interfaces = [this] { return interfaces_.get(); };
  services_.setDefaultInterface = [this](const InterfaceRecord& record) {
    windowCalls_.push_back("default " + std::to_string(record.identifier));
    return true;
  };
  services_.reloadWindows = [this] { windowCalls_.push_back("reload"); };
  services_.openWindow = [this](const TString& name) {
    windowCalls_.push_back("open " + std::string(Utf8(name).c_str()));
    return name == TString(u"known");
  };
  services_.openRemoteWindow = [this](const InterfaceRecord& record, const TString& name) {
    windowCalls_.push_back("remote " + std::to_string(record.identifier) + " " +
                           Utf8(name).c_str());
    return true;
  };
  services_.createWindow = [this](const WindowRequest& request) {
    std::string call = "create " + std::to_string(request.record.identifier);
    call += request.definition ? " def" : " nodef";
    call += request.classId ? " class" : " noclass";
    call +=
        " " + std::string(Utf8(request.name).c_str()) + " '" + Utf8(request.typeName).c_str() + "'";
    windowCalls_.push_back(call);
    return true;
  };
  services_.exit = [this] { windowCalls_.push_back("exit"); };
  services_.setLanguages = [this](const TArray<TString>& languages) {
    languagesSet_.push_back(languages);
    return true;
  };
  ASSERT_TRUE(RegisterGuiScriptFunctions(main_->Script(), &services_));
  ASSERT_TRUE(main_->Publish());
}

void GuiScriptTest::TearDown() {
  if (main_) {
    main_->Status()->AddRemoveListener(&status_, 0);
    main_->Unpublish();
  }
  main_ = nullptr;
  interfaces_.reset();
  core_.reset();
}

void GuiScriptTest::AddInterfaces(const char16_t* packagePath,
                                  std::vector<const char16_t*> uniqueNames) {
  std::shared_ptr<PackageDescription> description =
      interfaces_->Catalogue().Describe(packagePath, true);
  description->counted = true;
  for (const char16_t* name : uniqueNames) {
    InterfaceRecord record;
    record.uniqueName = name;
    record.path = packagePath;
    description->interfaces.push_back(record);
  }
  description->interfaceCount = static_cast<uint32_t>(description->interfaces.size());
  ASSERT_EQ(interfaces_->LoadDescription(packagePath, *description), uniqueNames.size());
}

}  // namespace vk2::gui::test

#include "tests/gui/support/package_window_fixture.h"

#include "component/module/runtime_loader.h"
#include "component/script/script_report.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/resource_file.h"
#include "interfaces/script/script_object.h"
#include "tests/gui/support/app_runner.h"

namespace vk2::test {

void PackageWindowTest::SetUp() {
  sandbox_.Set("VK2_GUI_BACKEND", "headless");
  ASSERT_TRUE(LoadRuntime());
  app_ = CreateRuntimeObject<MOmbrixApp>(kBrintClass, kIID_MOmbrixApp);
  ASSERT_TRUE(app_);
  ASSERT_EQ(app_->Launch(0, nullptr, nullptr, 0), kOk);
  engine_ = CreateRuntimeObject<MScriptEngine>(kMmlModuleClass, kIID_MScriptEngine);
  ASSERT_TRUE(engine_);
}

void PackageWindowTest::TearDown() {
  if (app_) {
    OnLoop([this] {
      if (frame_) frame_->DestroyWindow();
      frame_ = nullptr;
      iface_ = nullptr;
      loader_ = nullptr;
    });
  }
  engine_ = nullptr;
  ReleaseExtras();
  if (app_) app_->Shutdown();
  app_ = nullptr;
  UnloadRuntime();
}

void PackageWindowTest::OpenPackageWindow(const char* package, const char16_t* name,
                                          const char16_t* window,
                                          const std::function<void()>& made) {
  WriteFiles(folder_.Path(), {{"index.mml", package}});
  auto archive = CreateRuntimeObject<MResourceFile>(kServiceClass, kIID_MResourceFile);
  loader_ = CreateRuntimeObject<MInterfaceLoader>(kMmlModuleClass, kIID_MInterfaceLoader);
  ASSERT_TRUE(archive && loader_);
  ASSERT_TRUE(archive->OpenFile(WideFromNarrow(folder_.Path().c_str()).c_str()));
  LoadContext context;
  context.language = u"english";
  TString error;
  ASSERT_GE(loader_->LoadFromPackage(archive.Get(), "index.mml", &context, &error, nullptr), 0)
      << Utf8(error).c_str();
  MInterfaceDefinition* found = nullptr;
  ASSERT_GE(loader_->GetByName(name, &found), 0);
  iface_ = RefPtr<MInterfaceDefinition>::Adopt(found);
  int32_t result = -1;
  OnLoop([&] {
    MWindowElement* root = nullptr;
    result = iface_->CreateWindowByName(kFontElementClass, window, nullptr, &root);
    frame_ = RefPtr<MWindowElement>::Adopt(root);
    if (frame_ && made) made();
  });
  ASSERT_EQ(result, kOk);
  ASSERT_TRUE(frame_);
  OnLoop([] {});
}

std::string PackageWindowTest::Run(MWindowElement* window, const char16_t* script) {
  std::string text = "<error>";
  OnLoop([&] {
    void* s = nullptr;
    if (window->QueryInterface(kIID_MScriptObject, &s, 1, 0) != kOk) return;
    auto self = RefPtr<MScriptObject>::Adopt(static_cast<MScriptObject*>(s));
    MScriptObject* raw = nullptr;
    if (engine_->Run(TString(script), &raw, self.Get(), self.Get(), self.Get()) != 0) return;
    auto value = RefPtr<MScriptObject>::Adopt(raw);
    TString result;
    if (ScriptDataEntity* data = value ? AsDataEntity(value.Get()) : nullptr)
      data->GetValue(&result);
    text = Utf8(result).c_str();
  });
  return text;
}

}  // namespace vk2::test

// tessel loaded as a module from a private folder, with a private copy of the runtime: what its
// entry points register and hand out, and scripts writing to the runtime's console.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

#include "component/module/module_library.h"
#include "component/module/runtime_loader.h"
#include "foundation/util/ref_ptr.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/class_factory.h"
#include "interfaces/runtime/console.h"
#include "interfaces/runtime/entry_points.h"
#include "interfaces/runtime/registrar.h"
#include "interfaces/script/script_engine.h"
#include "interfaces/script/script_object.h"

namespace vk2 {
namespace {

std::string Narrow(const TString& text) {
  NarrowString narrow = Utf8(text);
  return std::string(narrow.c_str(), narrow.Length());
}

void CopyFile(const std::string& from, const std::string& to) {
  std::ifstream in(from, std::ios::binary);
  std::ofstream out(to, std::ios::binary | std::ios::trunc);
  out << in.rdbuf();
}

// Private per-user folders and a runtime of its own, so the test touches nothing of the user's.
class TesselModuleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vk2tessel.XXXXXX";
    root_ = ::mkdtemp(pattern);
    for (const char* folder : {"/config", "/state", "/lib"})
      ::mkdir((root_ + folder).c_str(), 0700);
    CopyFile(VK2_TEST_ORU_SO, root_ + "/lib/oru.so");
    CopyFile(VK2_TEST_TESSEL_SO, root_ + "/lib/tessel.so");
    ::setenv("XDG_CONFIG_HOME", (root_ + "/config").c_str(), 1);
    ::setenv("XDG_STATE_HOME", (root_ + "/state").c_str(), 1);
    ::setenv("ORU_SHARED_PATH", (root_ + "/lib/oru.so").c_str(), 1);
    ::unsetenv("VK2_REGISTRY");
    ASSERT_TRUE(LoadRuntime());
    ASSERT_EQ(LoadModule(&library_, Utf16(root_ + "/lib/tessel.so"), kModuleAttachRequired), 0);
    factory_ = reinterpret_cast<MIFactoryFn>(FindModuleExport(library_, kExportMIFactory));
    register_ = reinterpret_cast<RegisterOruFn>(FindModuleExport(library_, kExportRegisterOru));
    ASSERT_TRUE(factory_ && register_);
  }
  void TearDown() override {
    UnloadModule(&library_);
    UnloadRuntime();
    std::string command = "rm -rf " + root_;
    (void)::system(command.c_str());
  }

  RefPtr<MClassFactory> ClassObject(const Guid& classId) {
    void* p = nullptr;
    if (factory_(&classId, &p) != 0) return nullptr;
    return RefPtr<MClassFactory>::Adopt(static_cast<MClassFactory*>(p));
  }

  std::string root_;
  ModuleLibrary library_;
  MIFactoryFn factory_ = nullptr;
  RegisterOruFn register_ = nullptr;
};

class RecordingRegistrar final : public MRegistrar {
 public:
  int32_t QueryInterface(const Guid&, void** out, uint32_t, uint32_t) override {
    *out = nullptr;
    return kErrNoInterface;
  }
  uint32_t AddRef() override { return 1; }
  uint32_t Release() override { return 1; }
  int32_t RegisterModuleFile(int32_t, const char16_t*, uint32_t) override { return 0; }
  int32_t RegisterClass(int32_t, const Guid& classId, uintptr_t, const char16_t* name) override {
    classes.push_back(classId);
    names.push_back(name ? Narrow(name) : "<null>");
    return static_cast<int32_t>(classes.size()) == failAt ? -1 : 0;
  }
  int32_t AddToCategory(int32_t, const Guid&, const Guid&, const char16_t*) override {
    ++categoryCalls;
    return 0;
  }
  int32_t SetBatch(int32_t) override { return 0; }
  int32_t Attach() override { return 0; }
  int32_t Detach() override { return 0; }

  std::vector<Guid> classes;
  std::vector<std::string> names;
  int categoryCalls = 0;
  int failAt = -1;
};

TEST_F(TesselModuleTest, RegistersItsTenClassesInOrder) {
  RecordingRegistrar registrar;
  EXPECT_EQ(register_(kRegisterMode, &registrar, 0), 0);
  const Guid expected[] = {kMmlModuleClass,  kGenericWindowClass, kButtonClass,
                           kSpinButtonClass, kTextDisplayClass,   kFillBarClass,
                           kPickerClass,     kSelectionListClass, kDlgCheckBoxClass,
                           kEditBoxClass};
  ASSERT_EQ(registrar.classes.size(), 10u);
  for (size_t i = 0; i < 10; ++i)
    EXPECT_TRUE(registrar.classes[i] == expected[i]) << i;
  EXPECT_EQ(registrar.names[0], "DUV");
  for (size_t i = 1; i < 10; ++i)
    EXPECT_EQ(registrar.names[i], "<null>");
  EXPECT_EQ(registrar.categoryCalls, 0);

  RecordingRegistrar failing;
  failing.failAt = 3;
  EXPECT_EQ(register_(kRegisterMode, &failing, 0), -1);
  EXPECT_EQ(failing.classes.size(), 3u);
}

TEST_F(TesselModuleTest, ClassObjectsHandOutTheEngineAndScriptObjects) {
  RefPtr<MClassFactory> main = ClassObject(kMmlModuleClass);
  ASSERT_TRUE(main);
  void* first = nullptr;
  void* second = nullptr;
  ASSERT_EQ(main->CreateInstance(kIID_MScriptEngine, &first, nullptr), 0);
  ASSERT_EQ(main->CreateInstance(kIID_MScriptEngine, &second, nullptr), 0);
  EXPECT_EQ(first, second);
  auto engine = RefPtr<MScriptEngine>::Adopt(static_cast<MScriptEngine*>(first));
  static_cast<MScriptEngine*>(second)->Release();

  void* item = nullptr;
  ASSERT_EQ(main->CreateInstance(kIID_ScriptDataEntity, &item, nullptr), 0);
  auto data = RefPtr<MScriptObject>::Adopt(static_cast<MScriptObject*>(item));
  EXPECT_EQ(data->GetKind(), kScriptKindData);
  void* none = nullptr;
  EXPECT_EQ(main->CreateInstance(kIID_MScriptObject, &none, nullptr), kErrNoInterface);
  EXPECT_EQ(none, nullptr);
  // The markup engine's loader, which answers -15 to every QueryInterface.
  void* loader = nullptr;
  ASSERT_EQ(main->CreateInstance(kIID_MInterfaceLoader, &loader, nullptr), 0);
  ASSERT_NE(loader, nullptr);
  EXPECT_EQ(static_cast<MUnknown*>(loader)->QueryInterface(kIID_MInterfaceLoader, &none, 1, 0),
            kErrNoInterface);
  static_cast<MUnknown*>(loader)->Release();

  // A widget class object answers MWidgetType only.
  RefPtr<MClassFactory> button = ClassObject(kButtonClass);
  ASSERT_TRUE(button);
  EXPECT_EQ(button->CreateInstance(kIID_MScriptEngine, &none, nullptr), kErrNoInterface);
  EXPECT_EQ(none, nullptr);
  for (const Guid* widgetClass :
       {&kGenericWindowClass, &kButtonClass, &kTextDisplayClass, &kDlgCheckBoxClass}) {
    RefPtr<MClassFactory> factory = ClassObject(*widgetClass);
    ASSERT_TRUE(factory);
    void* type = nullptr;
    ASSERT_EQ(factory->CreateInstance(kIID_MWidgetType, &type, nullptr), 0);
    ASSERT_NE(type, nullptr);
    static_cast<MUnknown*>(type)->Release();
  }
  Guid unknown = MakeGuid("00000000-0000-0000-0000-000000000001");
  EXPECT_EQ(factory_(&unknown, &none), kErrNoInterface);
  EXPECT_EQ(none, nullptr);
}

TEST_F(TesselModuleTest, ScriptsWriteToTheRuntimeConsole) {
  RefPtr<MClassFactory> main = ClassObject(kMmlModuleClass);
  void* p = nullptr;
  ASSERT_EQ(main->CreateInstance(kIID_MScriptEngine, &p, nullptr), 0);
  auto engine = RefPtr<MScriptEngine>::Adopt(static_cast<MScriptEngine*>(p));
  auto console = CreateRuntimeObject<MConsole>(kServiceClass, kIID_MConsole);
  ASSERT_TRUE(console);
  EXPECT_EQ(
      engine->Run(u"::console.write(\"hello from a script\");", nullptr, nullptr, nullptr, nullptr),
      0);
  EXPECT_EQ(engine->Run(u"$x = 1 / 0;", nullptr, nullptr, nullptr, nullptr), -9);
  uint32_t newest = 0, count = 0;
  ASSERT_EQ(console->GetNewest(&newest, &count), 0);
  ASSERT_GE(count, 2u);
  TString text;
  int32_t level = 0;
  ASSERT_EQ(console->GetEntry(&text, newest - 1, &level), 0);
  EXPECT_EQ(Narrow(text), "hello from a script");
  EXPECT_EQ(level, kConsoleNotice);
  ASSERT_EQ(console->GetEntry(&text, newest, &level), 0);
  EXPECT_NE(Narrow(text).find("Divide by zero."), std::string::npos);
  EXPECT_EQ(level, kConsoleError);
}

}  // namespace
}  // namespace vk2

// The reader module vk2_audio_io loaded by the runtime: its class in the stream-reader
// category, what its class object makes, and the preference pane it hands out.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>

#include "component/module/runtime_loader.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/audio/stream_reader.h"
#include "interfaces/ids.h"
#include "interfaces/prefs_dialog_provider.h"
#include "interfaces/runtime/class_enumerator.h"
#include "interfaces/runtime/resource_file.h"
#include "tests/audio/support/module_sandbox.h"

namespace vk2::test {
namespace {

class IoModuleTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(LoadRuntime()); }
  void TearDown() override { UnloadRuntime(); }

  ModuleSandbox sandbox_{{VK2_TEST_ORU_SO, VK2_TEST_AUDIOSYS_SO, VK2_TEST_IO_MODULE_SO}};
};

TEST_F(IoModuleTest, TheFileReaderIsAStreamReaderByName) {
  auto classes = CreateRuntimeObject<MClassEnumerator>(kRuntimeRootClass, kIID_MClassEnumerator);
  ASSERT_TRUE(classes);
  uint32_t count = 0;
  ASSERT_EQ(classes->GetCategoryCount(kCategoryStreamReaders, &count), 0);
  bool found = false;
  for (uint32_t i = 0; i < count; ++i) {
    Guid member;
    TString name;
    ASSERT_EQ(classes->GetCategoryEntry(kCategoryStreamReaders, i, &member, &name), 0);
    if (member == kFileReaderClass) {
      found = true;
      EXPECT_EQ(name, TString(u"File Input"));
    }
  }
  EXPECT_TRUE(found);
}

TEST_F(IoModuleTest, TheClassMakesReadersAndPanesOnly) {
  for (const Guid& iid : {kIID_MFileReader, kIID_MStreamReader}) {
    auto reader = CreateRuntimeObject<MUnknown>(kFileReaderClass, iid);
    EXPECT_TRUE(reader);
  }
  EXPECT_FALSE(CreateRuntimeObject<MUnknown>(kFileReaderClass, kIID_MAudioModule));
  EXPECT_FALSE(CreateRuntimeObject<MUnknown>(kFileReaderClass, kIID_MWavDecoder));
}

TEST_F(IoModuleTest, ThePaneCarriesTheReadersDocument) {
  auto provider =
      CreateRuntimeObject<MPrefsDialogProvider>(kFileReaderClass, kIID_MPrefsDialogProvider);
  ASSERT_TRUE(provider);
  PrefsPaneRecord pane;
  ASSERT_TRUE(provider->GetPane(&pane));
  RefPtr<MUnknown> archive = RefPtr<MUnknown>::Adopt(pane.archive);
  ASSERT_TRUE(archive);
  EXPECT_EQ(pane.resourceName, TString(u"dlgs.xml"));
  EXPECT_EQ(pane.interfaceName, TString(u"ridurodoror/velkora2_ioprefs/1.0"));
  EXPECT_EQ(pane.moduleName, TString(u"FileReader"));
  RefPtr<MResourceFile> file;
  ASSERT_EQ(archive->QueryInterface(kIID_MResourceFile, file.PutVoid(), 1, 0), 0);
  MResourceStream* raw = nullptr;
  ASSERT_EQ(file->OpenResource("dlgs.xml", &raw), 0);
  RefPtr<MResourceStream> stream = RefPtr<MResourceStream>::Adopt(raw);
  std::string text(64 * 1024, '\0');
  text.resize(static_cast<size_t>(stream->Read(text.data(), text.size())));
  EXPECT_NE(text.find("<window name=\"FileReader\""), std::string::npos);
  EXPECT_NE(text.find("<window name=\"URLReader\""), std::string::npos);
  EXPECT_NE(text.find("ridurodoror/velkora2_ioprefs/1.0"), std::string::npos);
}

TEST_F(IoModuleTest, TheModuleServesNoCdReader) {
  void* module = dlopen((sandbox_.LibDir() + "/vk2_audio_io.so").c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(module, nullptr);
  using Factory = int32_t (*)(const Guid*, void**);
  auto factory = reinterpret_cast<Factory>(dlsym(module, "MIFactory"));
  ASSERT_NE(factory, nullptr);
  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(factory(&kCDExtractorClass, &out), -15);
  EXPECT_EQ(out, nullptr);
  dlclose(module);
}

}  // namespace
}  // namespace vk2::test

// vk2_audio_mp3 as the program meets it: loaded by the runtime from its own folder, registered
// in the decoder category, making decoders through the runtime.
#include <gtest/gtest.h>

#include "component/module/runtime_loader.h"
#include "foundation/util/result.h"
#include "interfaces/audio/audio_module.h"
#include "interfaces/audio/media_types.h"
#include "interfaces/audio/module_properties.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/class_enumerator.h"
#include "tests/oru/sandbox.h"

namespace vk2::test {
namespace {

TEST(Mp3ModuleRuntimeTest, RegistersAsADecoderAndMakesDecodersThroughTheRuntime) {
  Sandbox sandbox;
  sandbox.CopyModule("vk2_audio_mp3.so", sandbox.LibDir());
  RuntimeSession session;
  ASSERT_TRUE(session.Bound());

  auto classes = CreateRuntimeObject<MClassEnumerator>(kRuntimeRootClass, kIID_MClassEnumerator);
  ASSERT_TRUE(classes);
  TString name;
  ASSERT_EQ(classes->GetClassName(kMpegDecoderClass, &name), 0);
  EXPECT_EQ(name, TString(u"Quenvale MPEG audio decoder"));
  uint32_t count = 0;
  ASSERT_EQ(classes->GetCategoryCount(kCategoryDecoders, &count), 0);
  bool listed = false;
  for (uint32_t i = 0; i < count; ++i) {
    Guid member;
    ASSERT_EQ(classes->GetCategoryEntry(kCategoryDecoders, i, &member, nullptr), 0);
    listed = listed || member == kMpegDecoderClass;
  }
  EXPECT_TRUE(listed);

  // Both the module's own interface and the chain-module interface make a decoder.
  auto decoder = CreateRuntimeObject<MAudioModule>(kMpegDecoderClass, kIID_MMpegDecoder);
  ASSERT_TRUE(decoder);
  auto module = CreateRuntimeObject<MAudioModule>(kMpegDecoderClass, kIID_MAudioModule);
  ASSERT_TRUE(module);
  void* other = nullptr;
  EXPECT_LT(classes->CreateInstance(kMpegDecoderClass, kIID_MMediaTypes, &other, nullptr), 0);
  EXPECT_EQ(other, nullptr);

  RefPtr<MModuleProperties> props;
  ASSERT_EQ(decoder->QueryInterface(kIID_MModuleProperties, props.PutVoid(), 1, 0), 0);
  ASSERT_EQ(props->GetString(u"modulename", &name), 0);
  EXPECT_EQ(name, TString(u"QuenvaleMP3"));
  PropertyDescriptionList described;
  ASSERT_EQ(props->Describe(&described), 0);
  EXPECT_EQ(described.Count(), 18u);
  EXPECT_EQ(decoder->HasInput(), 1);
  EXPECT_EQ(decoder->HasOutput(), 1);
}

}  // namespace
}  // namespace vk2::test

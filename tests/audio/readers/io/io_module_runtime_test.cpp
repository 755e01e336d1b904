// vk2_audio_io as the program meets it: loaded by the runtime from its own folder, both readers
// registered in the stream-reader category, readers made through the runtime.
#include <gtest/gtest.h>

#include "component/module/runtime_loader.h"
#include "foundation/util/result.h"
#include "interfaces/audio/module_properties.h"
#include "interfaces/audio/stream_reader.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/class_enumerator.h"
#include "tests/oru/sandbox.h"

namespace vk2::test {
namespace {

TEST(IoModuleRuntimeTest, RegistersBothReadersAndMakesThemThroughTheRuntime) {
  Sandbox sandbox;
  sandbox.CopyModule("vk2_audio_io.so", sandbox.LibDir());
  RuntimeSession session;
  ASSERT_TRUE(session.Bound());

  auto classes = CreateRuntimeObject<MClassEnumerator>(kRuntimeRootClass, kIID_MClassEnumerator);
  ASSERT_TRUE(classes);
  struct Reader {
    Guid id;
    Guid own;
    const char16_t* name;
    const char16_t* moduleName;
  };
  for (const Reader& r :
       {Reader{kFileReaderClass, kIID_MFileReader, u"File Input", u"FileReader"},
        Reader{kUrlReaderClass, kIID_MUrlReader, u"Streaming Input", u"URLReader"}}) {
    TString name;
    ASSERT_EQ(classes->GetClassName(r.id, &name), 0);
    EXPECT_EQ(name, TString(r.name));
    uint32_t count = 0;
    ASSERT_EQ(classes->GetCategoryCount(kCategoryStreamReaders, &count), 0);
    bool listed = false;
    for (uint32_t i = 0; i < count; ++i) {
      Guid member;
      ASSERT_EQ(classes->GetCategoryEntry(kCategoryStreamReaders, i, &member, nullptr), 0);
      listed = listed || member == r.id;
    }
    EXPECT_TRUE(listed);
    auto reader = CreateRuntimeObject<MStreamReader>(r.id, r.own);
    ASSERT_TRUE(reader);
    auto generic = CreateRuntimeObject<MStreamReader>(r.id, kIID_MStreamReader);
    ASSERT_TRUE(generic);
    RefPtr<MModuleProperties> props;
    ASSERT_EQ(reader->QueryInterface(kIID_MModuleProperties, props.PutVoid(), 1, 0), 0);
    ASSERT_EQ(props->GetString(u"modulename", &name), 0);
    EXPECT_EQ(name, TString(r.moduleName));
  }
  // The CD reader lives in a module of its own.
  void* other = nullptr;
  EXPECT_LT(classes->CreateInstance(MakeGuid("A4CB5F1B-F1A3-42A0-948F-5E3165A58465"),
                                    kIID_MStreamReader, &other, nullptr),
            0);
  EXPECT_EQ(other, nullptr);
}

}  // namespace
}  // namespace vk2::test

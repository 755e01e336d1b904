// The handler over the built plug-in folder: what it finds and lists, identifiers, removal while
// handles are open, stepping, and the walk over post-effect classes.
#include <gtest/gtest.h>

#include "foundation/util/result.h"
#include "tests/visual/visual_test_support.h"

namespace vk2::test {
namespace {

TEST(VisualHost, FindsEveryKindInTheFolderAndItsSubfolders) {
  HostFixture f;
  ASSERT_EQ(f.host->AddFiles(Utf16(PluginPath("*.vvp")).c_str()), kOk);
  // Two recording plug-ins and the runtime module beside each other, the crashing plug-in and
  // the plain one in subfolders; the file that is no visual adds nothing.
  EXPECT_EQ(f.host->GetCount(), 5u);
  for (const char* file :
       {"g1_probe.vvp", "g1_recorder.vvp", "crash/g1_crash.vvp", "nested/g1_plain.vvp"}) {
    EXPECT_NE(f.IdOfFile(file), 0u) << file;
  }
  EXPECT_EQ(f.IdOfFile("not_a_plugin.vvp"), 0u);
  RefPtr<MVisual> plain = f.ByName(Utf16(PluginPath("nested/g1_plain.vvp")).c_str());
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->GetPluginWord(), 0u);
  RefPtr<MVisual> recorder = f.ByName(Utf16(PluginPath("g1_recorder.vvp")).c_str());
  ASSERT_TRUE(recorder);
  EXPECT_EQ(recorder->GetPluginWord(), 1u);
  EXPECT_EQ(f.runtime.RegisteredFiles(), 6) << "every file that loads is offered to the runtime";
}

TEST(VisualHost, ScansTheVisualsPathOfAPreferenceSection) {
  HostFixture f;
  RefPtr<MPreferenceStore> prefs = f.runtime.Registry().NewPreferences();
  prefs->SetString(u"visuals_path", Utf16(PluginDir()).c_str());
  ASSERT_EQ(f.host->ScanVisualsPath(prefs.Get()), kOk);
  EXPECT_EQ(f.host->GetCount(), 5u);
}

TEST(VisualHost, AFileThatIsNoVisualIsRefusedAndLeftUnloaded) {
  HostFixture f;
  EXPECT_EQ(f.host->AddFile(Utf16(PluginPath("not_a_plugin.vvp"))), kErrNotSupported);
  EXPECT_EQ(f.host->GetCount(), 0u);
  // The runtime keeps it registered (and loaded) as it does every module file it was given;
  // the host's own load is gone, so a load without the runtime's finds one reference only.
  EXPECT_LT(f.host->AddFile(Utf16(PluginPath("no_such_file.vvp"))), 0);
}

TEST(VisualHost, DuplicatesRevivePendingEntriesAndIdsAreNeverReused) {
  HostFixture f;
  const TString recorder = Utf16(PluginPath("g1_recorder.vvp"));
  ASSERT_EQ(f.host->AddFile(recorder), kOk);
  const uint32_t first = f.host->GetNextId(0);
  ASSERT_EQ(first, 1u);
  EXPECT_EQ(f.host->AddFile(recorder), kErrAlreadyPresent);
  EXPECT_EQ(f.host->GetCount(), 1u);

  {
    RefPtr<MVisual> open = f.ById(first);
    ASSERT_TRUE(open);
    ASSERT_EQ(f.host->RemoveVisual(first), kOk);
    // Pending: still counted, invisible to lookups.
    EXPECT_EQ(f.host->GetCount(), 1u);
    EXPECT_FALSE(f.ById(first));
    RefPtr<MVisual> none;
    EXPECT_EQ(f.host->GetVisualById(first, none.Put()), kErrNotFound);
    // Adding the file again revives it under its old id.
    EXPECT_EQ(f.host->AddFile(recorder), kErrAlreadyPresent);
    EXPECT_TRUE(f.ById(first));
    ASSERT_EQ(f.host->RemoveVisual(first), kOk);
  }
  // The last handle went: the entry went with it.
  EXPECT_EQ(f.host->GetCount(), 0u);
  EXPECT_EQ(f.host->RemoveVisual(first), kErrNotFound);
  ASSERT_EQ(f.host->AddFile(recorder), kOk);
  EXPECT_GT(f.host->GetNextId(0), first);
}

TEST(VisualHost, RemoveVisualFileFindsTheEntryByItsLibrary) {
  HostFixture f;
  ASSERT_EQ(f.host->AddFile(Utf16(PluginPath("g1_recorder.vvp"))), kOk);
  ASSERT_EQ(f.host->AddFile(Utf16(PluginPath("g1_probe.vvp"))), kOk);
  EXPECT_EQ(f.host->RemoveVisualFile(Utf16(PluginPath("g1_probe.vvp")).c_str()), kOk);
  EXPECT_EQ(f.host->GetCount(), 1u);
  EXPECT_EQ(f.IdOfFile("g1_probe.vvp"), 0u);
  EXPECT_EQ(f.host->RemoveVisualFile(Utf16(PluginPath("no_such_file.vvp")).c_str()), kErrNotFound);
}

TEST(VisualHost, StepsThroughEntriesSkippingPendingOnes) {
  HostFixture f;
  EXPECT_EQ(f.host->GetNextId(0), 0u) << "empty";
  EXPECT_EQ(f.host->GetPrevId(0), 0u);
  for (const char* file : {"g1_recorder.vvp", "g1_probe.vvp", "nested/g1_plain.vvp"})
    ASSERT_EQ(f.host->AddFile(Utf16(PluginPath(file))), kOk);
  // Ids 1, 2, 3; keep 2 open and remove it: pending.
  RefPtr<MVisual> second = f.ById(2);
  ASSERT_EQ(f.host->RemoveVisual(2), kOk);
  struct Step {
    bool next;
    uint32_t from;
    uint32_t expected;
  };
  const Step steps[] = {
      {true, 0, 1},  {true, 1, 3},  {true, 3, 0},  {true, 99, 0},
      {false, 0, 3}, {false, 3, 1}, {false, 1, 0}, {false, 99, 3},
  };
  for (const Step& s : steps) {
    const uint32_t got = s.next ? f.host->GetNextId(s.from) : f.host->GetPrevId(s.from);
    EXPECT_EQ(got, s.expected) << (s.next ? "next of " : "previous of ") << s.from;
  }
  // All pending: stepping from an id finds nothing, yet the first entry is still "first".
  RefPtr<MVisual> first = f.ById(1);
  RefPtr<MVisual> third = f.ById(3);
  f.host->RemoveVisual(1);
  f.host->RemoveVisual(3);
  EXPECT_EQ(f.host->GetNextId(0), 1u);
  EXPECT_EQ(f.host->GetNextId(1), 0u);
  EXPECT_EQ(f.host->GetPrevId(3), 0u);
}

TEST(VisualHost, PurgeRemovesUnusedAndMarksTheRest) {
  HostFixture f;
  for (const char* file : {"g1_recorder.vvp", "g1_probe.vvp"})
    ASSERT_EQ(f.host->AddFile(Utf16(PluginPath(file))), kOk);
  RefPtr<MVisual> kept = f.ById(2);
  ASSERT_EQ(f.host->PurgeUnused(), kOk);
  EXPECT_EQ(f.host->GetCount(), 1u);
  EXPECT_FALSE(f.ById(2)) << "in use, so pending";
  kept = nullptr;
  EXPECT_EQ(f.host->GetCount(), 0u);
}

TEST(VisualHost, NextPostEffectWalksTheCreatableClassesAndEndsWithNull) {
  HostFixture f;
  const Guid refusing = MakeGuid("0A1B2C3D-4E5F-4061-8273-94A5B6C7D8E9");
  f.runtime.AddRefusingPostEffectClass(refusing);
  MVisualPostEffect* effect = nullptr;
  Guid classId{};
  ASSERT_EQ(f.host->NextPostEffect(&effect, &classId), kOk);
  ASSERT_NE(effect, nullptr);
  EXPECT_EQ(classId, kVisualHandlerClass);
  TString name;
  EXPECT_EQ(effect->GetString(u"modulename", &name), kOk);
  EXPECT_EQ(name, TString(u"Velkora1VisPostEffect"));
  // The only other class cannot make a post effect: the walk ends.
  ASSERT_EQ(f.host->NextPostEffect(&effect, &classId), kOk);
  EXPECT_EQ(effect, nullptr);
}

class CountingListener final : public MVisualHostListener {
 public:
  void OnVisualClassesChanged() override { ++calls; }
  int calls = 0;
};

TEST(VisualHost, ListenersHearOfRegistryChanges) {
  HostFixture f;
  CountingListener listener;
  EXPECT_EQ(f.host->AddRemoveListener(&listener, 1), kOk);
  EXPECT_EQ(f.host->AddRemoveListener(&listener, 1), kErrAlreadyPresent);
  ASSERT_EQ(f.host->AddFile(Utf16(PluginPath("rt_module.vvp"))), kOk);
  EXPECT_EQ(listener.calls, 1) << "registering the file changed the registry";
  EXPECT_EQ(f.host->AddRemoveListener(&listener, 0), kOk);
  EXPECT_EQ(f.host->AddRemoveListener(&listener, 0), kErrNotFound);
}

}  // namespace
}  // namespace vk2::test

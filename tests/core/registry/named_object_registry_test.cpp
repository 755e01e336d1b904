#include "core/registry/named_object_registry.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include "tests/core/registry/registry_fixture.h"

namespace vk2::test {
namespace {

enum class Op { kAdd, kRemove, kRename };

struct Step {
  Op op;
  const char* name;
  const char* second;
  int32_t result;
};

struct ScriptCase {
  const char* title;
  std::vector<Step> steps;
  std::vector<std::string> lines;
  std::vector<std::string> names;
};

int32_t RunStep(NamedObjectRegistry<MThing>& registry, const Step& step) {
  switch (step.op) {
    case Op::kAdd:
      return registry.AddRemove(Utf16(step.name), true);
    case Op::kRemove:
      return registry.AddRemove(Utf16(step.name), false);
    case Op::kRename:
      return registry.Rename(Utf16(step.name), Utf16(step.second));
  }
  return 0;
}

std::vector<std::string> Names(const NamedObjectRegistry<MThing>& registry) {
  std::vector<std::string> names;
  for (const TString& name : registry.ListNames())
    names.push_back(Utf8(name).c_str());
  return names;
}

TEST(NamedObjectRegistryTest, ChangesAnswerAndAnnounceAsTheyShould) {
  const ScriptCase cases[] = {
      {"names differing only in case clash",
       {{Op::kAdd, "Main", "", 0}, {Op::kAdd, "main", "", kErrAlreadyPresent}},
       {"1 playlist \"Main\" added.", "7 Error: playlist \"main\" already exists."},
       {"Main"}},
      {"a rename onto a name taken only by case is refused silently",
       {{Op::kAdd, "a", "", 0}, {Op::kRename, "a", "A", kErrAlreadyPresent}},
       {"1 playlist \"a\" added."},
       {"a"}},
      {"rename keeps the place in the list",
       {{Op::kAdd, "a", "", 0},
        {Op::kAdd, "b", "", 0},
        {Op::kRename, "a", "c", 0},
        {Op::kRename, "zz", "d", kErrNotFound},
        {Op::kRename, "", "d", kErrMissingArg},
        {Op::kRename, "c", "", kErrMissingArg}},
       {"1 playlist \"a\" added.", "1 playlist \"b\" added.", "1 playlist \"a\" renamed to \"c\".",
        "7 Error: playlist \"zz\" was not found for renaming."},
       {"c", "b"}},
      {"removing nothing, an unknown name, a quiet unknown name",
       {{Op::kRemove, "", "", kErrMissingArg},
        {Op::kRemove, "ghost", "", kErrNotFound},
        {Op::kRemove, "tmp_0000abcd", "", kErrNotFound}},
       {"7 Error: playlist \"ghost\" was not found for removal.",
        "7 Error: playlist \"tmp_0000abcd\" was not found for removal."},
       {}},
      {"eight hex digits after an underscore are quiet, seven are not",
       {{Op::kAdd, "job_00c0ffee", "", 0},
        {Op::kAdd, "job_0c0ffee", "", 0},
        {Op::kAdd, "job_00C0FFEE", "", kErrAlreadyPresent},
        {Op::kAdd, "job_0c0ffeg1", "", 0},
        {Op::kRemove, "job_00c0ffee", "", 0},
        {Op::kRemove, "job_0c0ffee", "", 0}},
       {"1 playlist \"job_0c0ffee\" added.", "1 playlist \"job_0c0ffeg1\" added.",
        "1 playlist \"job_0c0ffee\" removed."},
       {"job_0c0ffeg1"}},
      {"an empty name is never added", {{Op::kAdd, "", "", kErrMissingArg}}, {}, {}},
  };
  for (const ScriptCase& c : cases) {
    SCOPED_TRACE(c.title);
    ThingRegistry r;
    for (const Step& step : c.steps)
      EXPECT_EQ(RunStep(r.registry, step), step.result) << step.name;
    EXPECT_EQ(r.lines, c.lines);
    EXPECT_EQ(Names(r.registry), c.names);
  }
}

TEST(NamedObjectRegistryTest, FailedCreationNamesTheKindFirstEvenForQuietNames) {
  ThingRegistry r;
  r.hooks.failCreate = true;
  EXPECT_EQ(r.registry.AddRemove(u"x", true), kErrOutOfMemory);
  EXPECT_EQ(r.registry.AddRemove(u"x_12345678", true), kErrOutOfMemory);
  EXPECT_EQ(r.lines,
            (std::vector<std::string>{"7 Error: \"playlist\" x was not created.",
                                      "7 Error: \"playlist\" x_12345678 was not created."}));
  EXPECT_TRUE(Names(r.registry).empty());
}

TEST(NamedObjectRegistryTest, HooksRunInOrderAndTheLastReferenceGoesAfterDisposal) {
  ThingRegistry r;
  ASSERT_EQ(r.registry.AddRemove(u"one", true), 0);
  RefPtr<MThing> found;
  ASSERT_EQ(r.registry.Find(u"ONE", &found), 0);
  EXPECT_EQ(ThingHooks::Text(found.Get()), "one");
  EXPECT_EQ(r.registry.Find(u"two", &found), kErrNotFound);
  EXPECT_TRUE(found) << "a failed Find leaves the slot alone";
  found = nullptr;
  ASSERT_EQ(r.registry.AddRemove(u"one", false), 0);
  EXPECT_EQ(r.hooks.diary, (std::vector<std::string>{"create", "added one", "remove one",
                                                     "dispose one", "destroyed one"}));
}

TEST(NamedObjectRegistryTest, DisposalRunsWithTheRegistryFreeForOtherThreads) {
  ThingRegistry r;
  bool otherThreadGotIn = false;
  r.hooks.onDispose = [&](MThing*) {
    auto other = std::async(std::launch::async, [&] { return r.registry.ListNames().size(); });
    otherThreadGotIn = other.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
  };
  ASSERT_EQ(r.registry.AddRemove(u"one", true), 0);
  ASSERT_EQ(r.registry.AddRemove(u"one", false), 0);
  EXPECT_TRUE(otherThreadGotIn);
}

TEST(NamedObjectRegistryTest, TemporaryNamesAreFreshQuietAndBounded) {
  ThingRegistry r;
  TString first, second;
  ASSERT_EQ(r.registry.MakeTemporaryName(u"job", &first), 0);
  ASSERT_EQ(r.registry.MakeTemporaryName(u"job", &second), 0);
  EXPECT_NE(Utf8(first).c_str(), std::string(Utf8(second).c_str()));
  for (const TString& name : {first, second}) {
    EXPECT_TRUE(IsQuietName(name));
    EXPECT_EQ(name.Length(), 12u);
    EXPECT_EQ(std::string(Utf8(name.Mid(0, 4)).c_str()), "job_");
  }
  EXPECT_TRUE(r.lines.empty());
  EXPECT_EQ(r.hooks.diary[0], "create temporary");

  // Creation that keeps failing ends with an error instead of trying for ever.
  r.hooks.failCreate = true;
  r.lines.clear();
  TString none = u"untouched";
  EXPECT_EQ(r.registry.MakeTemporaryName(u"job", &none), kErrOutOfMemory);
  EXPECT_EQ(r.lines.size(), size_t(NamedObjectRegistry<MThing>::kTemporaryNameAttempts));
  EXPECT_EQ(std::string(Utf8(none).c_str()), "untouched");
}

TEST(NamedObjectRegistryTest, RemoveAllDisposesEveryObjectAndAnnouncesEachQuietly) {
  ThingRegistry r;
  for (const char16_t* name : {u"a", u"b"})
    ASSERT_EQ(r.registry.AddRemove(name, true), 0);
  r.hooks.diary.clear();
  r.lines.clear();
  r.registry.RemoveAll();
  EXPECT_TRUE(r.registry.ListNames().empty());
  EXPECT_TRUE(r.lines.empty());
  EXPECT_EQ(r.hooks.diary, (std::vector<std::string>{"remove a", "remove b", "dispose all a",
                                                     "dispose all b", "destroyed a", "destroyed b"}));
}

}  // namespace
}  // namespace vk2::test

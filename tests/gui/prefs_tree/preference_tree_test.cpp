// The settings tree: the fixed category nodes, modules' classes under the categories they
// register in, node numbers, and a registry that fails part-way.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "component/module/runtime_loader.h"
#include "component/object/com_object.h"
#include "foundation/util/result.h"
#include "gui/prefs_tree/preference_tree.h"
#include "interfaces/ids.h"
#include "tests/audio/support/module_sandbox.h"

namespace vk2::test {
namespace {

std::string Name(const PreferenceNode& node) {
  return Utf8(node.name).c_str();
}

std::vector<std::string> ChildNames(const PreferenceNode& node) {
  std::vector<std::string> names;
  for (const PreferenceNode& child : node.children)
    names.push_back(Name(child));
  return names;
}

const PreferenceNode* Child(const PreferenceNode& node, const std::string& name) {
  for (const PreferenceNode& child : node.children) {
    if (Name(child) == name) return &child;
  }
  return nullptr;
}

void CollectNumbers(const PreferenceNode& node, std::vector<uint32_t>* out) {
  out->push_back(node.number);
  for (const PreferenceNode& child : node.children) {
    EXPECT_EQ(child.parent, &node);
    CollectNumbers(child, out);
  }
}

TEST(PreferenceTreeTest, BuildsTheFixedCategoriesWithWhatModulesRegisterBelowThem) {
  ModuleSandbox sandbox({VK2_TEST_ORU_SO, VK2_TEST_DSPS_SO});
  ASSERT_TRUE(LoadRuntime());
  {
    PreferenceTree tree;
    ASSERT_TRUE(tree.Build());
    const PreferenceNode& root = tree.GetRoot();
    EXPECT_EQ(Name(root), "root");
    EXPECT_EQ(root.number, 1u);
    EXPECT_EQ(root.parent, nullptr);
    EXPECT_EQ(ChildNames(root),
              (std::vector<std::string>{"preferences", "audio plugins", "visual plugins"}));
    EXPECT_EQ(ChildNames(*Child(root, "preferences")),
              (std::vector<std::string>{"languages", "playlist", "visual", "filetypes", "network",
                                        "miscellaneous", "audio"}));
    const PreferenceNode* plugins = Child(root, "audio plugins");
    ASSERT_NE(plugins, nullptr);
    EXPECT_EQ(ChildNames(*plugins),
              (std::vector<std::string>{"output", "input", "decoder", "dsp"}));
    // The effects module registers its filters in "dsp"; nothing registers a visual plug-in.
    const PreferenceNode* dsp = Child(*plugins, "dsp");
    ASSERT_NE(dsp, nullptr);
    EXPECT_FALSE(dsp->children.empty());
    EXPECT_TRUE(Child(root, "visual plugins")->children.empty());
    EXPECT_TRUE(Child(*Child(root, "preferences"), "network")->children.empty());

    // Numbers run depth first from 2, each once; every one finds its node, others nothing.
    std::vector<uint32_t> numbers;
    CollectNumbers(root, &numbers);
    for (size_t i = 0; i < numbers.size(); ++i) {
      EXPECT_EQ(numbers[i], i + 1);
      const PreferenceNode* found = tree.FindByNumber(numbers[i]);
      ASSERT_NE(found, nullptr);
      EXPECT_EQ(found->number, numbers[i]);
    }
    EXPECT_EQ(tree.FindByNumber(1), &root);
    EXPECT_EQ(tree.FindByNumber(0), nullptr);
    EXPECT_EQ(tree.FindByNumber(static_cast<uint32_t>(numbers.size() + 1)), nullptr);

    // Building again gives the same tree, not a second copy below the first.
    ASSERT_TRUE(tree.Build());
    std::vector<uint32_t> again;
    CollectNumbers(tree.GetRoot(), &again);
    EXPECT_EQ(again, numbers);
  }
  UnloadRuntime();
}

// A registry of fixed rows, whose entries past `failFrom` of one category cannot be read, and
// whose "loop" category holds itself.
class FakeRegistry final
    : public ComObject<FakeRegistry, Face<MClassEnumerator, kIID_MClassEnumerator>> {
 public:
  FakeRegistry() : ComObject(Lifetime::kOwnedElsewhere) {}
  using Members = std::vector<std::pair<Guid, std::u16string>>;
  std::vector<std::pair<Guid, Members>> rows;
  Guid failing{};
  uint32_t failFrom = 0;

  int32_t AddRemoveChangeListener(MRegistryChangeListener*, int32_t) override { return 0; }
  int32_t GetClassModule(const Guid&, TString*) override { return kErrNotFound; }
  int32_t GetClassName(const Guid&, TString*) override { return kErrNotFound; }
  int32_t CreateInstance(const Guid&, const Guid&, void**, MUnknown*) override {
    return kErrNotFound;
  }
  const Members* Find(const Guid& category) const {
    for (const auto& [id, members] : rows) {
      if (id == category) return &members;
    }
    return nullptr;
  }
  int32_t GetCategoryCount(const Guid& category, uint32_t* count) override {
    const Members* members = Find(category);
    *count = members ? static_cast<uint32_t>(members->size()) : 0;
    return 0;
  }
  int32_t GetCategoryEntry(const Guid& category, uint32_t index, Guid* member,
                           TString* name) override {
    const Members* members = Find(category);
    if (!members || index >= members->size()) return kErrNotFound;
    if (category == failing && index >= failFrom) return kErrNotFound;
    *member = (*members)[index].first;
    if (name) *name = TString((*members)[index].second.c_str());
    return 0;
  }
};

TEST(PreferenceTreeTest, UnreadableEntriesAndCategoryLoopsEndTheirBranch) {
  const Guid a = MakeGuid("00000000-0000-0000-0000-00000000000A");
  const Guid b = MakeGuid("00000000-0000-0000-0000-00000000000B");
  const Guid loop = MakeGuid("00000000-0000-0000-0000-00000000000C");
  FakeRegistry registry;
  registry.rows = {{kPreferenceRootCategory, {{a, u"a"}, {loop, u"loop"}}},
                   {a, {{b, u"b1"}, {b, u"b2"}, {b, u"b3"}}},
                   {loop, {{loop, u"loop"}}}};
  registry.failing = a;
  registry.failFrom = 1;
  PreferenceTree tree;
  tree.BuildFrom(&registry);
  const PreferenceNode& root = tree.GetRoot();
  ASSERT_EQ(ChildNames(root), (std::vector<std::string>{"a", "loop"}));
  // The first entry reads; the two after it fail, and so does every retry.
  EXPECT_EQ(ChildNames(root.children[0]), (std::vector<std::string>{"b1"}));
  // A category that holds itself stops at a bounded depth instead of recursing for ever.
  size_t depth = 0;
  for (const PreferenceNode* node = &root.children[1]; !node->children.empty();
       node = &node->children[0])
    ++depth;
  EXPECT_GT(depth, 0u);
  EXPECT_LT(depth, 64u);
  std::vector<uint32_t> numbers;
  CollectNumbers(root, &numbers);
  EXPECT_EQ(std::set<uint32_t>(numbers.begin(), numbers.end()).size(), numbers.size());
}

}  // namespace
}  // namespace vk2::test

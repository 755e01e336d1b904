#include "gui/prefs_tree/preference_tree.h"

#include "component/module/runtime_loader.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/registrar.h"

namespace vk2 {
namespace {

constexpr uint32_t kRootNumber = 1;
// Deeper than any category tree a module registers: a category made a member of itself (or
// of its own member) must not expand without end.
constexpr int32_t kMaxDepth = 32;

struct CategoryRow {
  const Guid* parent;
  const Guid* member;
  const char16_t* name;
};

// Registered in this order; members keep their registration order.
constexpr CategoryRow kCategoryRows[] = {
    {&kPreferenceRootCategory, &kPreferencesCategory, u"preferences"},
    {&kPreferencesCategory, &kLanguagePrefsClass, u"languages"},
    {&kPreferencesCategory, &kPlaylistPrefsClass, u"playlist"},
    {&kPreferencesCategory, &kVisualPrefsClass, u"visual"},
    {&kPreferencesCategory, &kFileTypesPrefsClass, u"filetypes"},
    {&kPreferencesCategory, &kNetworkPrefsClass, u"network"},
    {&kPreferencesCategory, &kMiscPrefsClass, u"miscellaneous"},
    {&kPreferencesCategory, &kAudioOutPrefsClass, u"audio"},
    {&kPreferenceRootCategory, &kAudioPluginsCategory, u"audio plugins"},
    {&kAudioPluginsCategory, &kCategoryOutputDevices, u"output"},
    {&kAudioPluginsCategory, &kCategoryStreamReaders, u"input"},
    {&kAudioPluginsCategory, &kCategoryDecoders, u"decoder"},
    {&kAudioPluginsCategory, &kCategoryDspFilters, u"dsp"},
    {&kPreferenceRootCategory, &kVisualPluginsCategory, u"visual plugins"},
};

const PreferenceNode* FindIn(const PreferenceNode& node, uint32_t number) {
  if (node.number == number) return &node;
  for (auto it = node.children.rbegin(); it != node.children.rend(); ++it) {
    if (const PreferenceNode* found = FindIn(*it, number)) return found;
  }
  return nullptr;
}

int32_t Depth(const PreferenceNode* node) {
  int32_t depth = 0;
  for (; node->parent; node = node->parent)
    ++depth;
  return depth;
}

}  // namespace

PreferenceTree::PreferenceTree() {
  root_.identifier = kPreferenceRootCategory;
  root_.name = u"root";
  root_.number = kRootNumber;
}

bool PreferenceTree::Build() {
  if (RefPtr<MRegistrar> registrar =
          CreateRuntimeObject<MRegistrar>(kRuntimeRootClass, kIID_MRegistrar)) {
    registrar->SetBatch(0);
    for (const CategoryRow& row : kCategoryRows)
      registrar->AddToCategory(1, *row.parent, *row.member, row.name);
    registrar->SetBatch(1);
  }
  BuildFrom(nullptr);
  return true;
}

void PreferenceTree::BuildFrom(MClassEnumerator* enumerator) {
  RefPtr<MClassEnumerator> held;
  if (!enumerator) {
    held = CreateRuntimeObject<MClassEnumerator>(kRuntimeRootClass, kIID_MClassEnumerator);
    enumerator = held.Get();
  }
  nextNumber_ = 2;
  root_.children.clear();
  if (enumerator) Expand(&root_, enumerator);
}

const PreferenceNode* PreferenceTree::FindByNumber(uint32_t number) const {
  return FindIn(root_, number);
}

uint32_t PreferenceTree::TakeNumber() {
  uint32_t number = nextNumber_++;
  // 0 means "no node" to every caller: after a wrap it is skipped.
  if (number == 0) number = nextNumber_++;
  return number;
}

void PreferenceTree::Expand(PreferenceNode* node, MClassEnumerator* enumerator) {
  uint32_t count = 0;
  if (enumerator->GetCategoryCount(node->identifier, &count) < 0 || count == 0) return;
  if (Depth(node) >= kMaxDepth) return;
  // Reserved in full: children are expanded as they are added, and their own children point
  // back at them, so the array must never move.
  node->children.reserve(count);
  for (uint32_t index = 0; index < count;) {
    PreferenceNode child;
    child.number = TakeNumber();
    child.parent = node;
    if (enumerator->GetCategoryEntry(node->identifier, index, &child.identifier, &child.name) < 0) {
      // The member is gone (the registry changed underneath): one child fewer, same index.
      --count;
      continue;
    }
    node->children.push_back(std::move(child));
    Expand(&node->children.back(), enumerator);
    ++index;
  }
}

}  // namespace vk2

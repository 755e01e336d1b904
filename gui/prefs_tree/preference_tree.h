// The settings window's tree: the user interface's own category nodes, registered with the
// runtime, and below them whatever every module registered in those categories (output devices,
// readers, decoders, effects, preference panes), read back category by category.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/text/tstring.h"
#include "foundation/util/guid.h"
#include "interfaces/runtime/class_enumerator.h"

namespace vk2 {

// The tree's root category.
inline constexpr Guid kPreferenceRootCategory = MakeGuid("AC118191-69EB-4907-9720-AC45E3FC666E");
// The user interface's preference panes: each pane's class is its category node's member.
inline constexpr Guid kPreferencesCategory = MakeGuid("3F7F3823-FE01-4039-99C6-48226DC41502");
inline constexpr Guid kLanguagePrefsClass = MakeGuid("79CD7CB5-778F-44C9-BE90-E34D40EEEA82");
inline constexpr Guid kPlaylistPrefsClass = MakeGuid("371B346E-F119-442F-BA40-AB1B35591B5B");
inline constexpr Guid kVisualPrefsClass = MakeGuid("BC4679FF-1C36-40BB-B418-90D257C7CEF3");
inline constexpr Guid kFileTypesPrefsClass = MakeGuid("CA4F8013-068A-459E-801C-DA59B6FA1FDA");
inline constexpr Guid kNetworkPrefsClass = MakeGuid("4D89CD2D-0BDC-4F36-B21E-F76973895D61");
inline constexpr Guid kMiscPrefsClass = MakeGuid("48958B21-375E-480C-BB69-3BF24DB49058");
inline constexpr Guid kAudioOutPrefsClass = MakeGuid("47EC8A1A-A5B3-4DD3-A43C-87C00845DA99");
inline constexpr Guid kAudioPluginsCategory = MakeGuid("3F181E36-97A4-4650-8805-50C4F7CB68A2");
inline constexpr Guid kVisualPluginsCategory = MakeGuid("CFCA84C5-81E3-4C3C-8AD6-1761B146EA3C");

struct PreferenceNode {
  Guid identifier{};
  TString name;
  PreferenceNode* parent = nullptr;
  std::vector<PreferenceNode> children;
  uint32_t number = 0;  // unique in the tree, never 0
};

class PreferenceTree {
 public:
  PreferenceTree();
  PreferenceTree(const PreferenceTree&) = delete;
  PreferenceTree& operator=(const PreferenceTree&) = delete;

  // Registers the fixed category nodes and builds the tree from the registry. Always true: a
  // registry that cannot be read leaves nodes as leaves.
  bool Build();
  // Builds from `enumerator` only, registering nothing (null: the runtime's).
  void BuildFrom(MClassEnumerator* enumerator);

  const PreferenceNode& GetRoot() const { return root_; }
  // Depth first: each node's own number, then its children from the last to the first.
  const PreferenceNode* FindByNumber(uint32_t number) const;

 private:
  void Expand(PreferenceNode* node, MClassEnumerator* enumerator);
  uint32_t TakeNumber();

  uint32_t nextNumber_ = 2;
  PreferenceNode root_;
};

}  // namespace vk2

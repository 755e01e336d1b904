#include "oru/services/prefs/preference_merge.h"

#include <vector>

#include "oru/core/text_util.h"
#include "oru/services/prefs/preference_tree.h"

namespace vk2::oru {
namespace {

// The names from the top section down to `section` (the top itself has none).
std::vector<std::string_view> SectionPath(const PrefSection* section) {
  std::vector<std::string_view> names;
  for (; section && section->parent; section = section->parent)
    names.insert(names.begin(), section->name);
  return names;
}

PrefSection& MakeSection(PrefSection* top, const std::vector<std::string_view>& path) {
  PrefSection* at = top;
  for (std::string_view name : path)
    at = &at->Child(name);
  return *at;
}

void AddSections(const PrefSection& from, PrefSection* to) {
  for (const auto& child : from.children)
    AddSections(*child, &to->Child(child->name));
}

}  // namespace

void PrefChanges::Note(const PrefSection* section, std::string_view name) {
  changed_.insert_or_assign({section, LowerAscii(name)}, std::string(name));
}

void PrefChanges::ApplyTo(const PrefSection& mine, PrefSection* onDisk) const {
  AddSections(mine, onDisk);
  for (const auto& [key, name] : changed_) {
    const PrefSection* section = key.first;
    PrefSection& target = MakeSection(onDisk, SectionPath(section));
    const PrefValue* now = section->FindValue(name);
    if (!now) {
      target.RemoveValue(name);
    } else if (PrefValue* there = target.FindValue(name)) {
      *there = *now;
    } else {
      target.values.push_back(*now);
    }
  }
}

void CopyValuesInto(const PrefSection& from, PrefSection* to) {
  to->values = from.values;
  for (const auto& child : from.children)
    CopyValuesInto(*child, &to->Child(child->name));
}

}  // namespace vk2::oru

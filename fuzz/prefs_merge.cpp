// Merging one process's preference changes into the file another process saved: two files in
// one input (split at the first zero byte), every value of the second taken as changed. The
// merge holds each changed value as the second file has it, what it writes reads back, and the
// second tree adopts it exactly.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "oru/services/prefs/preference_merge.h"
#include "oru/services/prefs/preference_tree.h"

namespace {

using vk2::oru::PrefSection;
using vk2::oru::PrefValue;

void NoteAll(const PrefSection& section, vk2::oru::PrefChanges* changes) {
  for (const PrefValue& v : section.values)
    changes->Note(&section, v.name);
  for (const auto& child : section.children)
    NoteAll(*child, changes);
}

bool Same(const PrefValue& a, const PrefValue& b) {
  return a.name == b.name && a.type == b.type && a.text == b.text && a.items == b.items;
}

// The section of `top` at the same place as `section` of its own tree, or null.
const PrefSection* Counterpart(const PrefSection& top, const PrefSection& section) {
  if (!section.parent) return &top;
  const PrefSection* parent = Counterpart(top, *section.parent);
  return parent ? const_cast<PrefSection*>(parent)->FindChild(section.name) : nullptr;
}

void CheckChangesKept(const PrefSection& mine, const PrefSection& merged) {
  const PrefSection* there = Counterpart(merged, mine);
  if (!there) std::abort();
  for (const PrefValue& v : mine.values) {
    // Names repeat only in case; the last of them is the one a reader sees.
    if (mine.FindValue(v.name) != &v) continue;
    const PrefValue* m = there->FindValue(v.name);
    if (!m || !Same(*m, v)) std::abort();
  }
  for (const auto& child : mine.children)
    CheckChangesKept(*child, merged);
}

// After adopting the merge, every section of `mine` holds exactly the merged values.
void CheckAdopted(const PrefSection& mine, const PrefSection& merged) {
  const PrefSection* there = Counterpart(merged, mine);
  if (!there || there->values.size() != mine.values.size()) std::abort();
  for (size_t i = 0; i < mine.values.size(); ++i) {
    if (!Same(mine.values[i], there->values[i])) std::abort();
  }
  for (const auto& child : mine.children)
    CheckAdopted(*child, merged);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  size_t split = input.find('\0');
  if (split == std::string_view::npos) return 0;
  PrefSection disk;
  PrefSection mine;
  std::string error;
  if (!vk2::oru::ParsePreferencesText(input.substr(0, split), &disk, &error)) return 0;
  if (!vk2::oru::ParsePreferencesText(input.substr(split + 1), &mine, &error)) return 0;
  vk2::oru::PrefChanges changes;
  NoteAll(mine, &changes);
  changes.ApplyTo(mine, &disk);
  CheckChangesKept(mine, disk);
  std::string written = vk2::oru::FormatPreferencesText(disk);
  PrefSection again;
  if (!vk2::oru::ParsePreferencesText(written, &again, &error)) std::abort();
  vk2::oru::CopyValuesInto(disk, &mine);
  CheckAdopted(mine, disk);
  return 0;
}

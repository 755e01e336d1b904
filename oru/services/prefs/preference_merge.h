// Folding one process's changes into the preference tree another process saved meanwhile, so
// that processes sharing the file keep each other's values.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <utility>

namespace vk2::oru {

struct PrefSection;

// The values this process set, changed or removed since it last read the file, by section and
// case-folded name. Sections are never removed, so the section pointers stay valid.
class PrefChanges {
 public:
  void Note(const PrefSection* section, std::string_view name);
  bool Empty() const { return changed_.empty(); }
  void Clear() { changed_.clear(); }

  // Makes `onDisk` carry every section of `mine` and, for each noted value, what `mine` holds
  // now: the value when present, no value when it was removed.
  void ApplyTo(const PrefSection& mine, PrefSection* onDisk) const;

 private:
  std::map<std::pair<const PrefSection*, std::string>, std::string> changed_;  // -> name as given
};

// Gives `to` the values of `from`, section by section, adding the sections `to` lacks and
// keeping every section object of `to` where it is (store cursors point at them).
void CopyValuesInto(const PrefSection& from, PrefSection* to);

}  // namespace vk2::oru

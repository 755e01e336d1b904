// The top menu's commands: the script line of each command item under the id the item carries.
// Ids count up from 0 and are never reused while the table lives, so a rebuilt menu's items
// never run a line an older build gave the same id.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>

#include "foundation/text/tstring.h"

namespace vk2::gui {

class MenuCommandTable {
 public:
  // Stores `script` under the next id and answers that id.
  int32_t Add(const TString& script);
  // False when no command has `id`.
  bool Find(int32_t id, TString* script) const;
  int32_t NextId() const;

 private:
  mutable std::recursive_mutex lock_;
  int32_t nextId_ = 0;
  std::map<int32_t, TString> scripts_;
};

}  // namespace vk2::gui

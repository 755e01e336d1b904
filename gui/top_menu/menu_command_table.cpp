#include "gui/top_menu/menu_command_table.h"

namespace vk2::gui {

int32_t MenuCommandTable::Add(const TString& script) {
  std::lock_guard<std::recursive_mutex> hold(lock_);
  const int32_t id = nextId_++;
  scripts_[id] = script;
  return id;
}

bool MenuCommandTable::Find(int32_t id, TString* script) const {
  std::lock_guard<std::recursive_mutex> hold(lock_);
  const auto found = scripts_.find(id);
  if (found == scripts_.end()) return false;
  *script = found->second;
  return true;
}

int32_t MenuCommandTable::NextId() const {
  std::lock_guard<std::recursive_mutex> hold(lock_);
  return nextId_;
}

}  // namespace vk2::gui

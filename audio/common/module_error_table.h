// A module's own named error table, beside the MediaSystem table: its messages in entry order,
// registered with the runtime's error registry by the module's objects as they are made, and
// the codes the registry gave, read by entry from any thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

namespace vk2 {

class MErrorRegistry;

class ModuleErrorTable {
 public:
  // `messages` must outlive the table (string literals).
  ModuleErrorTable(const char* name, std::vector<const char*> messages);
  ModuleErrorTable(const ModuleErrorTable&) = delete;
  ModuleErrorTable& operator=(const ModuleErrorTable&) = delete;

  // Registers the table (again: the registry gives the same codes). Safe from several threads.
  void Register(MErrorRegistry* registry);
  // The code of `entry`; a generic failure (-1) before registration, never 0.
  int32_t Code(uint32_t entry) const;
  const char* Name() const { return name_; }
  uint32_t Count() const { return static_cast<uint32_t>(messages_.size()); }
  const char* Message(uint32_t entry) const;

 private:
  const char* name_;
  std::vector<const char*> messages_;
  std::vector<std::atomic<int32_t>> codes_;
  std::mutex registerMutex_;
};

}  // namespace vk2

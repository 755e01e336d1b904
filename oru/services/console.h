// The runtime's console: the latest entries in memory, listeners told of new output, and an
// optional disk log.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "component/object/com_object.h"
#include "component/object/registration_list.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/console.h"

namespace vk2::oru {

class ConsoleObject final : public ComObject<ConsoleObject, Face<MConsole, kIID_MConsole>> {
 public:
  static constexpr size_t kKeptEntries = 2048;

  explicit ConsoleObject(std::string logPath);
  ~ConsoleObject() override;

  int32_t AddRemoveListener(MConsoleListener* listener, int32_t add) override;
  int32_t Write(int32_t level, const char16_t* text, int32_t endLine) override;
  int32_t PrintfArgs(int32_t level, const char16_t* format, FormatArgs args) override;
  int32_t GetNewest(uint32_t* newestIndex, uint32_t* count) override;
  int32_t GetEntry(TString* text, uint32_t index, int32_t* level) override;
  int32_t SetDiskLogging(bool enabled) override;

  void WriteUtf8(int32_t level, const std::string& text);
  void CloseLog();

 private:
  struct Entry {
    int32_t level;
    std::string text;  // UTF-8
    bool open;         // a later write of the same level continues it
  };

  void Append(int32_t level, std::string text, bool endLine);
  void LogLocked(int32_t level, const std::string& text);

  std::mutex mutex_;
  std::deque<Entry> entries_;
  uint64_t firstIndex_ = 0;  // index of entries_.front()
  RegistrationList<MConsoleListener*> listeners_;
  std::string logPath_;
  FILE* log_ = nullptr;
  bool diskLogging_ = false;
};

}  // namespace vk2::oru

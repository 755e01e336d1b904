#include "oru/services/console.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "foundation/format/formatter.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "oru/core/text_util.h"
#include "platform/registry/file_stamp.h"
#include "platform/user_folders.h"

namespace vk2::oru {

// Owned by the runtime's services; references only count.
ConsoleObject::ConsoleObject(std::string logPath)
    : ComObject(Lifetime::kOwnedElsewhere), logPath_(std::move(logPath)) {}

ConsoleObject::~ConsoleObject() {
  CloseLog();
}

int32_t ConsoleObject::AddRemoveListener(MConsoleListener* listener, int32_t add) {
  if (!listener) return kErrMissingArg;
  // A removed listener is about to go: let the writes under way on other threads finish
  // calling it first.
  return add ? listeners_.Add(listener) : listeners_.RemoveAndWait(listener);
}

void ConsoleObject::LogLocked(int32_t level, const std::string& text) {
  if (!diskLogging_) return;
  if (!log_) {
    if (logPath_.empty() || MakeFolders(ParentFolder(logPath_))) return;
    log_ = std::fopen(logPath_.c_str(), "ae");
    if (!log_) return;
  }
  std::fprintf(log_, "[%d] %s", level, text.c_str());
  if (text.empty() || text.back() != '\n') std::fputc('\n', log_);
  std::fflush(log_);
}

void ConsoleObject::Append(int32_t level, std::string text, bool endLine) {
  level = std::clamp(level, 1, 7);
  {
    std::lock_guard lock(mutex_);
    if (!entries_.empty() && entries_.back().open && entries_.back().level == level) {
      entries_.back().text += text;
      entries_.back().open = !endLine;
    } else {
      entries_.push_back(Entry{level, text, !endLine});
      while (entries_.size() > kKeptEntries) {
        entries_.pop_front();
        ++firstIndex_;
      }
    }
    if (endLine) LogLocked(level, entries_.back().text);
  }
  // Outside the lock: a listener may read the console back.
  listeners_.Fire([](MConsoleListener* l) { l->OnConsoleNotify(kConsoleNewOutput); });
}

int32_t ConsoleObject::Write(int32_t level, const char16_t* text, int32_t endLine) {
  if (!text) return kErrMissingArg;
  Append(level, ToUtf8(text), endLine != 0);
  return 0;
}

void ConsoleObject::WriteUtf8(int32_t level, const std::string& text) {
  Append(level, text, true);
}

int32_t ConsoleObject::PrintfArgs(int32_t level, const char16_t* format, FormatArgs args) {
  if (!format) return kErrMissingArg;
  int32_t length = FormatWideArgs(nullptr, 0, format, args);
  if (length < 0) return length;
  std::u16string text(static_cast<size_t>(length) + 1, u'\0');
  FormatWideArgs(text.data(), length + 1, format, args);
  text.resize(static_cast<size_t>(length));
  Append(level, ToUtf8(text.c_str()), true);
  return length;
}

int32_t ConsoleObject::GetNewest(uint32_t* newestIndex, uint32_t* count) {
  std::lock_guard lock(mutex_);
  if (entries_.empty()) return kErrNotFound;
  if (newestIndex) *newestIndex = static_cast<uint32_t>(firstIndex_ + entries_.size() - 1);
  if (count) *count = static_cast<uint32_t>(entries_.size());
  return 0;
}

int32_t ConsoleObject::GetEntry(TString* text, uint32_t index, int32_t* level) {
  std::lock_guard lock(mutex_);
  // Indices are 32-bit on the interface; compare in the same width.
  uint32_t first = static_cast<uint32_t>(firstIndex_);
  uint32_t offset = index - first;
  if (offset >= entries_.size()) return kErrNotFound;
  const Entry& e = entries_[offset];
  if (text) *text = ToWide(e.text);
  if (level) *level = e.level;
  return 0;
}

int32_t ConsoleObject::SetDiskLogging(bool enabled) {
  std::lock_guard lock(mutex_);
  diskLogging_ = enabled;
  if (!enabled && log_) {
    std::fclose(log_);
    log_ = nullptr;
  }
  return 0;
}

void ConsoleObject::CloseLog() {
  std::lock_guard lock(mutex_);
  if (log_) std::fclose(log_);
  log_ = nullptr;
}

}  // namespace vk2::oru

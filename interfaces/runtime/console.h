// The runtime's log: leveled entries kept in memory, optionally appended to a file on disk.
#pragma once

#include <cstdint>

#include "foundation/format/format_arg.h"
#include "foundation/text/tstring.h"
#include "interfaces/unknown.h"

namespace vk2 {

inline constexpr int32_t kConsoleInfo = 1;
inline constexpr int32_t kConsoleProgress = 2;
inline constexpr int32_t kConsoleNotice = 3;
inline constexpr int32_t kConsoleWarning = 6;
inline constexpr int32_t kConsoleError = 7;

// Notification code for new output.
inline constexpr uint32_t kConsoleNewOutput = 65537;

// Called outside the console's lock on the writing thread; not reference counted: remove it
// before it goes.
class MConsoleListener {
 public:
  virtual bool OnConsoleNotify(uint32_t code) = 0;

 protected:
  ~MConsoleListener() = default;
};

class MConsole : public MUnknown {
 public:
  // add 1 adds (-6 when present), 0 removes (-5 when absent).
  virtual int32_t AddRemoveListener(MConsoleListener* listener, int32_t add) = 0;
  // Levels 1 to 7 (others are brought into range). `endLine` 1 closes the entry; 0 leaves it
  // open so that the next write of the same level continues it.
  virtual int32_t Write(int32_t level, const char16_t* text, int32_t endLine) = 0;
  virtual int32_t PrintfArgs(int32_t level, const char16_t* format, FormatArgs args) = 0;
  // Index of the newest entry and number of entries kept; -5 while the console is empty.
  virtual int32_t GetNewest(uint32_t* newestIndex, uint32_t* count) = 0;
  // Entry by index (indices grow by one per entry and are never reused); -5 when no longer kept.
  virtual int32_t GetEntry(TString* text, uint32_t index, int32_t* level) = 0;
  // True appends every entry from now on to the disk log.
  virtual int32_t SetDiskLogging(bool enabled) = 0;

  template <class... A>
  int32_t Printf(int32_t level, const char16_t* format, const A&... args) {
    const FormatArg packed[] = {MakeFormatArg(args)..., MakeFormatArg(0)};
    return PrintfArgs(level, format, FormatArgs(packed, sizeof...(A)));
  }

 protected:
  ~MConsole() = default;
};

}  // namespace vk2

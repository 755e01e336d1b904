// The application object's list of open interface windows.
#pragma once

#include <cstdint>

#include "foundation/containers/tarray.h"
#include "interfaces/unknown.h"

namespace vk2 {

class MWindowElement;

class MAppWindowList : public MUnknown {
 public:
  // Each window in `out` carries a reference for the caller.
  virtual int32_t GetOpenWindows(TArray<MWindowElement*>* out) = 0;

 protected:
  ~MAppWindowList() = default;
};

// Notices the runtime hands the application: text for the console.
struct AppNotice {
  int32_t code = 0;
  const char16_t* text = nullptr;
};
inline constexpr int32_t kNoticeLine = 4096;     // a whole console line
inline constexpr int32_t kNoticePartial = 4097;  // text continued by the next notice

class MAppNotification : public MUnknown {
 public:
  virtual int32_t Notify(const AppNotice& notice) = 0;
  virtual int32_t Reserved1() = 0;
  virtual int32_t Reserved2() = 0;

 protected:
  ~MAppNotification() = default;
};

}  // namespace vk2

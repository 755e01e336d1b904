// Plug-ins find their companion files relative to the current directory, which is process-wide:
// it is changed only around plug-in calls, under one lock, and restored after. The host's own
// code uses absolute paths only.
#pragma once

#include <mutex>
#include <string>

#include "foundation/text/tstring.h"

namespace vk2 {

class PluginDirectoryScope {
 public:
  // Makes the folder of `file` current (nothing changes when it has none).
  explicit PluginDirectoryScope(const TString& file);
  ~PluginDirectoryScope();
  PluginDirectoryScope(const PluginDirectoryScope&) = delete;
  PluginDirectoryScope& operator=(const PluginDirectoryScope&) = delete;

 private:
  std::unique_lock<std::recursive_mutex> lock_;
  std::string saved_;
  bool changed_ = false;
};

}  // namespace vk2

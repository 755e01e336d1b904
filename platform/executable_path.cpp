#include "platform/executable_path.h"

#include <unistd.h>

#include <vector>

namespace vk2 {

std::string ExecutablePath() {
  std::vector<char> buffer(256);
  for (;;) {
    const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) return {};
    if (static_cast<size_t>(n) < buffer.size()) {
      std::string path(buffer.data(), static_cast<size_t>(n));
      // A program replaced on disk while it runs (an update) still names its old folder.
      constexpr std::string_view kDeleted = " (deleted)";
      if (path.size() > kDeleted.size() && path.ends_with(kDeleted)) {
        path.resize(path.size() - kDeleted.size());
      }
      return path;
    }
    buffer.resize(buffer.size() * 2);  // the link may have been cut short
  }
}

std::string ExecutableFolder() {
  const std::string path = ExecutablePath();
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {};
  return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace vk2

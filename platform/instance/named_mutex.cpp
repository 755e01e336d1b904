#include "platform/instance/named_mutex.h"

#include "platform/instance/instance_paths.h"

namespace vk2::instance {

NamedMutex::NamedMutex(std::string_view name) {
  const std::string path = MutexPath(name);
  // Without a private folder there is no lock to share: this start counts as not holding it.
  if (!path.empty()) (void)lock_.Acquire(path, FileLockMode::kExclusive, 0);
}

}  // namespace vk2::instance

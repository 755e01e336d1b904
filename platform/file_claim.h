// Files that belong to a live process: the owner holds an advisory lock (flock) on its file for
// as long as it uses it, so a sweeper can tell the leftovers of killed processes (nobody holds
// them: the kernel drops a dead process's locks) from files still being written or read.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace vk2 {

// Locks `fd`, freshly created at `path`, for its owner. False when another holder has it or
// `path` no longer names it (a sweeper removed it between creation and the lock); the caller
// then closes `fd` and makes another file.
bool ClaimNewFile(int fd, const std::string& path);

// Removes the regular files of `folder` whose names `matches` accepts and that nobody holds;
// the count removed. A file claimed meanwhile is left alone.
size_t RemoveUnclaimedFiles(const std::string& folder,
                            const std::function<bool(std::string_view name)>& matches);

}  // namespace vk2

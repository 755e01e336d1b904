#include "platform/registry/file_stamp.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/file_claim.h"
#include "platform/whole_file.h"

namespace vk2 {

std::optional<FileStamp> StampOf(const std::string& path) {
  struct stat st {};
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return std::nullopt;
  FileStamp s;
  s.device = st.st_dev;
  s.inode = st.st_ino;
  s.size = static_cast<uint64_t>(st.st_size);
  s.modifiedNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
  return s;
}

std::string ParentFolder(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

void RemoveAbandonedTemporaries(const std::string& path) {
  // The name WriteFileAtomic gives its temporary files.
  std::string prefix = ".";
  prefix.append(path, path.find_last_of('/') + 1);
  prefix.append(".tmp-");
  RemoveUnclaimedFiles(ParentFolder(path), [&](std::string_view name) {
    return name.starts_with(prefix) && IsAtomicWriteTemporary(name);
  });
}

std::error_code MoveAside(const std::string& path, const std::string& suffix, std::string* aside) {
  constexpr int kMaxKept = 100;
  for (int n = 0; n < kMaxKept; ++n) {
    std::string name = path + suffix;
    if (n > 0) name.append(".").append(std::to_string(n));
    if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, name.c_str(), RENAME_NOREPLACE) == 0) {
      *aside = name;
      return {};
    }
    if (errno == EEXIST) continue;
    // File systems without the no-replace flag: check first, which a racing process could beat.
    if (errno == EINVAL && ::access(name.c_str(), F_OK) != 0) {
      if (::rename(path.c_str(), name.c_str()) != 0) break;
      *aside = name;
      return {};
    }
    if (errno != EINVAL) break;
  }
  return {errno ? errno : EEXIST, std::generic_category()};
}

}  // namespace vk2

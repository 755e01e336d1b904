#include "platform/registry/file_stamp.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

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
  const std::string folder = ParentFolder(path);
  // The name WriteFileAtomic gives its temporary files.
  std::string prefix = ".";
  prefix.append(path, path.find_last_of('/') + 1);
  prefix.append(".tmp-");
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  while (dirent* e = ::readdir(dir)) {
    std::string entry = e->d_name;
    if (entry.size() > prefix.size() && entry.compare(0, prefix.size(), prefix) == 0) {
      ::unlink((folder + "/" + entry).c_str());
    }
  }
  ::closedir(dir);
}

}  // namespace vk2

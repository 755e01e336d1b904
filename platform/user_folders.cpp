#include "platform/user_folders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <vector>

#include "platform/environment.h"

namespace vk2 {
namespace {

constexpr const char* kAppFolder = "/velkora2";

std::error_code Errno(int err) {
  return {err, std::generic_category()};
}

std::optional<std::string> AbsoluteEnv(const char* name) {
  std::optional<std::string> value = GetEnv(name);
  if (!value || value->empty() || (*value)[0] != '/') return std::nullopt;
  return value;
}

std::optional<std::string> HomeFolder() {
  if (auto home = AbsoluteEnv("HOME")) return home;
  std::vector<char> buffer(4096);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found ||
      !found->pw_dir || found->pw_dir[0] != '/') {
    return std::nullopt;
  }
  return std::string(found->pw_dir);
}

std::optional<std::string> XdgBase(const char* variable, const char* underHome) {
  if (auto base = AbsoluteEnv(variable)) return base;
  if (auto home = HomeFolder()) return *home + underHome;
  return std::nullopt;
}

}  // namespace

std::error_code MakeFolders(const std::string& path) {
  if (path.empty()) return Errno(EINVAL);
  // Each prefix in turn; existing ones are left as they are.
  for (size_t pos = 1; pos <= path.size(); ++pos) {
    if (pos != path.size() && path[pos] != '/') continue;
    const std::string prefix = path.substr(0, pos);
    if (mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) return Errno(errno);
  }
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return Errno(errno);
  if (!S_ISDIR(st.st_mode)) return Errno(ENOTDIR);
  return {};
}

std::error_code MakePrivateFolder(const std::string& path) {
  if (path.empty()) return Errno(EINVAL);
  if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return Errno(errno);
  struct stat st {};
  if (lstat(path.c_str(), &st) != 0) return Errno(errno);
  // Another user may have put something here first, to read or redirect what we keep in it.
  if (!S_ISDIR(st.st_mode)) return Errno(ENOTDIR);
  if (st.st_uid != geteuid()) return Errno(EPERM);
  if ((st.st_mode & 077) != 0 && chmod(path.c_str(), 0700) != 0) return Errno(errno);
  return {};
}

std::string UserFolderPath(UserFolder which, std::error_code* error) {
  std::error_code ec;
  std::optional<std::string> base;
  switch (which) {
    case UserFolder::kConfig:
      base = XdgBase("XDG_CONFIG_HOME", "/.config");
      break;
    case UserFolder::kState:
      base = XdgBase("XDG_STATE_HOME", "/.local/state");
      break;
    case UserFolder::kCache:
      base = XdgBase("XDG_CACHE_HOME", "/.cache");
      break;
    case UserFolder::kRuntime:
      base = AbsoluteEnv("XDG_RUNTIME_DIR");
      if (!base) {
        base = "/tmp/velkora2-runtime-" + std::to_string(geteuid());
        ec = MakePrivateFolder(*base);
      }
      break;
  }
  std::string path;
  if (!base) {
    ec = Errno(ENOENT);
  } else if (!ec) {
    path = *base + kAppFolder;
    ec = which == UserFolder::kRuntime ? MakeFolders(*base) : MakeFolders(path);
    if (!ec && which == UserFolder::kRuntime) ec = MakePrivateFolder(path);
    if (ec) path.clear();
  }
  if (error) *error = ec;
  return path;
}

}  // namespace vk2

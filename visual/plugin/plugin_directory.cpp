#include "visual/plugin/plugin_directory.h"

#include <unistd.h>

#include <filesystem>

namespace vk2 {
namespace {

std::recursive_mutex& DirectoryLock() {
  static std::recursive_mutex lock;
  return lock;
}

}  // namespace

PluginDirectoryScope::PluginDirectoryScope(const TString& file) : lock_(DirectoryLock()) {
  const std::filesystem::path folder = std::filesystem::path(Utf8(file).c_str()).parent_path();
  if (folder.empty()) return;
  std::error_code error;
  saved_ = std::filesystem::current_path(error).string();
  if (error) return;
  std::filesystem::current_path(folder, error);
  changed_ = !error;
}

PluginDirectoryScope::~PluginDirectoryScope() {
  if (!changed_) return;
  std::error_code error;
  std::filesystem::current_path(saved_, error);
}

}  // namespace vk2

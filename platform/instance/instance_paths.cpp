#include "platform/instance/instance_paths.h"

#include "platform/user_folders.h"

namespace vk2::instance {
namespace {

std::string Refuse(std::error_code* error) {
  if (error) *error = std::make_error_code(std::errc::invalid_argument);
  return {};
}

}  // namespace

std::string RunFolder(std::error_code* error) {
  return UserFolderPath(UserFolder::kRuntime, error);
}

bool IsValidEndpointName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (char c : name) {
    if (c == '/' || c == '\0') return false;
  }
  return true;
}

std::string MutexPath(std::string_view name, std::error_code* error) {
  if (!IsValidEndpointName(name)) return Refuse(error);
  std::string folder = RunFolder(error);
  if (folder.empty()) return {};
  return folder + "/" + std::string(name) + ".lock";
}

std::string WindowSocketPath(std::string_view className, std::string_view title,
                             std::error_code* error) {
  if (!IsValidEndpointName(className) || !IsValidEndpointName(title)) return Refuse(error);
  std::string folder = RunFolder(error);
  if (folder.empty()) return {};
  return folder + "/" + std::string(className) + "." + std::string(title) + ".sock";
}

std::string DdeSocketPath(std::string_view service, std::error_code* error) {
  if (!IsValidEndpointName(service)) return Refuse(error);
  std::string folder = RunFolder(error);
  if (folder.empty()) return {};
  folder += "/dde";
  std::error_code ec = MakePrivateFolder(folder);
  if (ec) {
    if (error) *error = ec;
    return {};
  }
  return folder + "/" + std::string(service) + ".sock";
}

}  // namespace vk2::instance

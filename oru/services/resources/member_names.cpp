#include "oru/services/resources/member_names.h"

namespace vk2::oru {

bool NormalizeMemberName(std::string_view name, std::string* out) {
  if (name.empty() || name.front() == '/' || name.front() == '\\') return false;
  if (name.size() >= 2 && name[1] == ':') return false;
  std::string result;
  size_t pos = 0;
  while (pos <= name.size()) {
    size_t next = name.find_first_of("/\\", pos);
    if (next == std::string_view::npos) next = name.size();
    std::string_view part = name.substr(pos, next - pos);
    pos = next + 1;
    if (part.empty() || part == ".") continue;
    if (part == "..") return false;
    if (part.find('\0') != std::string_view::npos) return false;
    if (!result.empty()) result.push_back('/');
    result.append(part);
  }
  if (result.empty()) return false;
  *out = std::move(result);
  return true;
}

}  // namespace vk2::oru

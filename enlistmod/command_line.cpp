#include "enlistmod/command_line.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

#include "foundation/text/tstring.h"

namespace vk2::enlist {
namespace {

std::string Trim(std::string_view t) {
  while (!t.empty() && (t.front() == ' ' || t.front() == '\t'))
    t.remove_prefix(1);
  while (!t.empty() && (t.back() == ' ' || t.back() == '\t'))
    t.remove_suffix(1);
  return std::string(t);
}

bool IsSeparator(char c) {
  return c == '/' || c == '\\';
}

}  // namespace

std::vector<std::string> SplitArgument(std::string_view text) {
  std::vector<std::string> tokens;
  std::string current;
  bool quoted = false;
  auto finish = [&] {
    std::string token = Trim(current);
    if (!token.empty()) tokens.push_back(std::move(token));
    current.clear();
  };
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\0' || c == '\n') break;
    if (c == '\\') {
      current.push_back(c);
      if (i + 1 < text.size()) current.push_back(text[++i]);
    } else if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && (c == ',' || c == '\t')) {
      finish();
    } else {
      current.push_back(c);
    }
  }
  finish();
  return tokens;
}

std::vector<std::string> SplitArguments(int argc, const char* const* argv) {
  std::vector<std::string> tokens;
  for (int i = 1; i < argc; ++i) {
    for (std::string& t : SplitArgument(argv[i] ? argv[i] : ""))
      tokens.push_back(std::move(t));
  }
  return tokens;
}

std::string ResolvePath(std::string_view base, std::string_view path) {
  if (!path.empty() && IsSeparator(path.front())) return std::string(path);
  if (path.size() >= 2 && path[1] == ':') return std::string(path);
  std::string result(base);
  size_t pos = 0;
  while (pos <= path.size()) {
    size_t next = path.find_first_of("/\\", pos);
    if (next == std::string_view::npos) next = path.size();
    std::string_view part = path.substr(pos, next - pos);
    pos = next + 1;
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      while (!result.empty() && IsSeparator(result.back()) && result.size() > 1)
        result.pop_back();
      size_t cut = result.find_last_of("/\\");
      if (cut == std::string::npos) {
        result.clear();
      } else {
        result.resize(cut == 0 ? 1 : cut);
      }
      continue;
    }
    if (!result.empty() && !IsSeparator(result.back())) result.push_back('/');
    result.append(part);
  }
  return result;
}

std::vector<std::string> ExpandModuleWildcard(std::string_view pattern) {
  size_t cut = pattern.find_last_of("/\\");
  std::string folder = cut == std::string_view::npos ? "" : std::string(pattern.substr(0, cut + 1));
  std::string name = std::string(pattern.substr(cut == std::string_view::npos ? 0 : cut + 1));
  std::vector<std::string> files;
  if (name.empty()) return files;
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return files;
  TString wideName = WideFromNarrow(name.c_str());
  std::vector<std::string> found;
  while (dirent* e = ::readdir(dir)) {
    std::string entry = e->d_name;
    if (entry == "." || entry == "..") continue;
    if (WildcardCompare(WideFromNarrow(entry.c_str()).c_str(), wideName.c_str(), false) != 0) {
      continue;
    }
    std::string full = folder + entry;
    struct stat st {};
    if (::stat(full.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) continue;
    found.push_back(full);
  }
  ::closedir(dir);
  std::sort(found.begin(), found.end());
  return found;
}

}  // namespace vk2::enlist

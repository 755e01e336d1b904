#include "enlistmod/command_line.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

#include "foundation/containers/tarray.h"
#include "foundation/parse/tokenizer.h"
#include "foundation/text/tstring.h"

namespace vk2::enlist {
namespace {

bool IsSeparator(char c) {
  return c == '/' || c == '\\';
}

}  // namespace

std::vector<std::string> SplitArgument(std::string_view text) {
  // The list set-up, except that blanks do not separate (see the header).
  static const char16_t kSeparators[] = u",\t";
  static const char16_t kTrim[] = u" \t";
  static const char16_t kLineEnds[] = {u'\0', u'\n'};
  static const char16_t kEscapes[] = u"\\";
  static const char16_t kQuotes[] = u"\"";
  TokenizerSpec spec;
  spec.separators = {kSeparators, 2};
  spec.trim = {kTrim, 2};
  spec.lineEnds = {kLineEnds, 2};
  spec.escapes = {kEscapes, 1};
  spec.quotes = {kQuotes, 1};
  TString wide = WideFromNarrow(text.data(), static_cast<int32_t>(text.size()));
  TArray<TString> parts;
  TokenizeWide(wide.c_str(), static_cast<int32_t>(wide.Length()), spec, &parts);
  std::vector<std::string> tokens;
  for (uint32_t i = 0; i < parts.Count(); ++i) {
    NarrowString narrow = NarrowFromWide(parts[i].c_str(), static_cast<int32_t>(parts[i].Length()));
    tokens.emplace_back(narrow.c_str(), narrow.Length());
  }
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

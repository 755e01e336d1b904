#include "core/script/desktop_associations.h"

#include <cctype>
#include <sstream>
#include <vector>

#include "core/script/file_associations.h"
#include "platform/environment.h"
#include "platform/user_folders.h"
#include "platform/whole_file.h"

namespace vk2 {
namespace {

constexpr char kDefaultGroup[] = "[Default Applications]";

struct MimeRow {
  const char* extension;
  const char* mimeType;
};
constexpr MimeRow kMimeTypes[] = {{"mp3", "audio/mpeg"},      {"mp2", "audio/mpeg"},
                                  {"mpga", "audio/mpeg"},     {"ogg", "audio/ogg"},
                                  {"oga", "audio/ogg"},       {"wav", "audio/x-wav"},
                                  {"m3u", "audio/x-mpegurl"}, {"pls", "audio/x-scpls"},
                                  {"xpl", "application/xml"}, {"cda", "application/x-cda"}};

// An XDG base folder: the variable when it holds an absolute path, else the home fallback.
std::string BaseFolder(const char* variable, const char* fallback) {
  if (std::optional<std::string> value = GetEnv(variable);
      value && !value->empty() && (*value)[0] == '/') {
    return *value;
  }
  std::optional<std::string> home = GetEnv("HOME");
  return home ? *home + "/" + fallback : std::string();
}

std::string MimeAppsPath() {
  const std::string base = BaseFolder("XDG_CONFIG_HOME", ".config");
  return base.empty() ? base : base + "/mimeapps.list";
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

// The line index of `mimeType=` in the default group, and the group's header line (-1 when
// missing).
void FindDefault(const std::vector<std::string>& lines, const std::string& mimeType, int* header,
                 int* entry) {
  *header = *entry = -1;
  bool inGroup = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (!line.empty() && line[0] == '[') {
      inGroup = line == kDefaultGroup;
      if (inGroup) *header = static_cast<int>(i);
      continue;
    }
    if (inGroup && line.rfind(mimeType + "=", 0) == 0) *entry = static_cast<int>(i);
  }
}

std::string ValueOf(const std::string& line) {
  return line.substr(line.find('=') + 1);
}

bool IsOurDefault(const std::string& value) {
  return value.rfind(kDesktopEntryName, 0) == 0;
}

// The program as the Exec key wants it: quoted only when it holds a reserved character, since
// some readers of desktop entries take the first word literally.
std::string ExecProgram(const std::string& path) {
  if (path.find_first_of(" \t\n\"'\\><~|&;$*?#()`") == std::string::npos) return path;
  std::string quoted = "\"";
  for (char c : path) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

}  // namespace

std::string MimeTypeOfExtension(const std::string& extension) {
  std::string lower;
  for (char c : extension)
    lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const MimeRow& row : kMimeTypes) {
    if (lower == row.extension) return row.mimeType;
  }
  return {};
}

bool WriteDesktopEntry(const std::string& programPath) {
  const std::string base = BaseFolder("XDG_DATA_HOME", ".local/share");
  if (base.empty()) return false;
  const std::string folder = base + "/applications";
  if (MakeFolders(folder)) return false;
  std::string types;
  for (const MimeRow& row : kMimeTypes) {
    if (types.find(std::string(row.mimeType) + ";") == std::string::npos) {
      types += std::string(row.mimeType) + ";";
    }
  }
  const std::string entry =
      "[Desktop Entry]\nType=Application\nName=Velkora 2\nGenericName=Audio Player\n"
      "Exec=" +
      ExecProgram(programPath) +
      " %F\nTerminal=false\nCategories=AudioVideo;Audio;Player;\n"
      "MimeType=" +
      types + "\n";
  return !WriteFileAtomic(folder + "/" + kDesktopEntryName, entry, 0644);
}

std::string DesktopDefaultFor(const std::string& mimeType) {
  std::string text;
  const std::string path = MimeAppsPath();
  if (path.empty() || ReadWholeFile(path, &text)) return {};
  const std::vector<std::string> lines = Lines(text);
  int header, entry;
  FindDefault(lines, mimeType, &header, &entry);
  if (entry < 0) return {};
  const std::string value = ValueOf(lines[static_cast<size_t>(entry)]);
  return IsOurDefault(value) ? std::string() : value;
}

bool SetDesktopDefault(const std::string& mimeType, bool registered, const std::string& previous) {
  const std::string path = MimeAppsPath();
  if (path.empty()) return false;
  std::string text;
  ReadWholeFile(path, &text);  // a missing file is an empty one
  std::vector<std::string> lines = Lines(text);
  int header, entry;
  FindDefault(lines, mimeType, &header, &entry);
  if (registered) {
    const std::string line = mimeType + "=" + kDesktopEntryName + ";";
    if (entry >= 0) {
      lines[static_cast<size_t>(entry)] = line;
    } else if (header >= 0) {
      lines.insert(lines.begin() + header + 1, line);
    } else {
      lines.push_back(kDefaultGroup);
      lines.push_back(line);
    }
  } else {
    // Another program made itself the default meanwhile: that choice stays.
    if (entry < 0 || !IsOurDefault(ValueOf(lines[static_cast<size_t>(entry)]))) return true;
    if (previous.empty()) {
      lines.erase(lines.begin() + entry);
    } else {
      lines[static_cast<size_t>(entry)] = mimeType + "=" + previous;
    }
  }
  std::string out;
  for (const std::string& line : lines)
    out += line + "\n";
  const size_t slash = path.rfind('/');
  if (slash != std::string::npos) MakeFolders(path.substr(0, slash));
  return !WriteFileAtomic(path, out, 0644);
}

}  // namespace vk2

// enlistmod: records where the component runtime lies, or registers module files with it.
//   enlistmod <module file pattern>[,<pattern>...] ...
//   enlistmod /setoru <runtime file>
// Results are reported as messages on stderr; the exit status is always 0.
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "component/module/runtime_loader.h"
#include "enlistmod/command_line.h"
#include "foundation/text/tstring.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/entry_points.h"
#include "interfaces/runtime/registrar.h"
#include "platform/registry/registry_file.h"

namespace {

// The tool has no window: a message box is its caption, in brackets so that a caption of its
// own punctuation shows as it is, and its text on stderr.
void ShowMessage(const char* caption, const std::string& text) {
  std::fprintf(stderr, "[%s] %s", caption, text.c_str());
  if (text.empty() || text.back() != '\n') std::fputc('\n', stderr);
}

bool IsUsageSwitch(const std::string& token) {
  static const char* const kSwitches[] = {"/?", "/h", "-?", "-h"};
  for (const char* s : kSwitches) {
    if (vk2::NarrowCompare(token.c_str(), s, false) == 0) return true;
  }
  return false;
}

void RecordRuntimePath(const std::string& given) {
  char cwd[4096];
  std::string path;
  if (::getcwd(cwd, sizeof cwd)) path = vk2::enlist::ResolvePath(cwd, given);
  if (path.empty() || !vk2::registry::RegWriteString(vk2::registry::RootKey::kClassesRoot, "ORU",
                                                     "sharedpath", path)) {
    ShowMessage("Error", "ORU Registration Failed for \"" + given + "\"");
  }
}

void RegisterModules(const std::vector<std::string>& tokens) {
  if (!vk2::LoadRuntime()) return;
  if (auto registrar =
          vk2::CreateRuntimeObject<vk2::MRegistrar>(vk2::kRuntimeRootClass, vk2::kIID_MRegistrar)) {
    for (const std::string& token : tokens) {
      for (const std::string& file : vk2::enlist::ExpandModuleWildcard(token)) {
        vk2::TString wide = vk2::WideFromNarrow(file.c_str());
        if (registrar->RegisterModuleFile(vk2::kRegisterMode, wide.c_str(), 0) != 0) {
          ShowMessage("Error", "Registration Failed for \"" + file + "\"");
        }
      }
    }
  }
  vk2::UnloadRuntime();
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> tokens = vk2::enlist::SplitArguments(argc, argv);
  if (tokens.empty() || (tokens.size() == 1 && IsUsageSwitch(tokens[0]))) {
    ShowMessage("note:",
                "usage: enlistmod <modulename>\n       enlistmod /setoru <orumodulename>\n");
  } else if (tokens.size() == 2 && (vk2::NarrowCompare(tokens[0].c_str(), "/setoru", false) == 0 ||
                                    vk2::NarrowCompare(tokens[0].c_str(), "-setoru", false) == 0)) {
    RecordRuntimePath(tokens[1]);
    return 0;
  }
  RegisterModules(tokens);
  return 0;
}

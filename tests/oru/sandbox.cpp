#include "tests/oru/sandbox.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

extern char** environ;

namespace vk2::test {
namespace {

const char* const kVariables[] = {"XDG_CONFIG_HOME", "XDG_STATE_HOME", "ORU_SHARED_PATH",
                                  "VK2_REGISTRY"};

void CopyFile(const std::string& from, const std::string& to) {
  std::ifstream in(from, std::ios::binary);
  std::ofstream out(to, std::ios::binary | std::ios::trunc);
  out << in.rdbuf();
}

}  // namespace

std::string BuiltModule(const std::string& name) {
  return std::string(VK2_TEST_MODULE_DIR) + "/" + name;
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

Sandbox::Sandbox() {
  char pattern[] = "/tmp/vk2oru.XXXXXX";
  root_ = ::mkdtemp(pattern);
  MakeFolder("config");
  MakeFolder("state");
  MakeFolder("lib");
  CopyFile(VK2_TEST_ORU_SO, RuntimePath());
  for (const char* name : kVariables) {
    const char* old = std::getenv(name);
    savedEnv_.emplace_back(name, old ? std::string("=") + old : std::string());
  }
  ::setenv("XDG_CONFIG_HOME", (root_ + "/config").c_str(), 1);
  ::setenv("XDG_STATE_HOME", (root_ + "/state").c_str(), 1);
  ::setenv("ORU_SHARED_PATH", RuntimePath().c_str(), 1);
  ::unsetenv("VK2_REGISTRY");
}

Sandbox::~Sandbox() {
  for (const auto& [name, value] : savedEnv_) {
    if (value.empty()) {
      ::unsetenv(name.c_str());
    } else {
      ::setenv(name.c_str(), value.c_str() + 1, 1);
    }
  }
  RunProgram({"/bin/rm", "-rf", root_});
}

std::string Sandbox::MakeFolder(const std::string& relative) const {
  std::string path = root_;
  size_t pos = 0;
  while (pos <= relative.size()) {
    size_t next = relative.find('/', pos);
    if (next == std::string::npos) next = relative.size();
    path.append("/").append(relative, pos, next - pos);
    ::mkdir(path.c_str(), 0700);
    pos = next + 1;
  }
  return path;
}

std::string Sandbox::CopyModule(const std::string& name, const std::string& folder) const {
  ::mkdir(folder.c_str(), 0700);
  std::string to = folder + "/" + name;
  CopyFile(BuiltModule(name), to);
  return to;
}

std::string Sandbox::WriteFile(const std::string& relative, const std::string& contents) const {
  std::string path = root_ + "/" + relative;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << contents;
  return path;
}

int RunProgram(const std::vector<std::string>& argv, std::string* errors,
               const std::string& folder) {
  std::vector<char*> args;
  for (const std::string& a : argv)
    args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  char errorsPath[] = "/tmp/vk2oru-stderr.XXXXXX";
  int errorsFd = ::mkstemp(errorsPath);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (errorsFd >= 0) posix_spawn_file_actions_adddup2(&actions, errorsFd, 2);
  if (!folder.empty()) posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  pid_t pid = 0;
  int status = -1;
  if (::posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ) == 0) {
    while (::waitpid(pid, &status, 0) < 0) {
    }
  }
  posix_spawn_file_actions_destroy(&actions);
  if (errorsFd >= 0) {
    ::close(errorsFd);
    if (errors) *errors = ReadTextFile(errorsPath);
    ::unlink(errorsPath);
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace vk2::test

#include "component/module/runtime_loader.h"

namespace vk2::test {

RuntimeSession::RuntimeSession() : bound_(LoadRuntime()) {}
RuntimeSession::~RuntimeSession() {
  UnloadRuntime();
}

}  // namespace vk2::test

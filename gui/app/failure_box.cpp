#include "gui/app/failure_box.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cstdio>

#include "component/module/runtime_loader.h"
#include "interfaces/gui/file_dialogs.h"
#include "interfaces/ids.h"

extern char** environ;

namespace vk2::gui {

void ShowMessageBox(const TString& caption, const TString& text) {
  // The GUI layer's box writes to stderr as well and shows a window only where someone can
  // answer it.
  if (RefPtr<MMessageBox> box = CreateRuntimeObject<MMessageBox>(kBrintClass, kIID_MMessageBox)) {
    box->Show(text.c_str(), caption.c_str(), kMessageBoxOk);
    return;
  }
  std::fprintf(stderr, "%s\n%s\n", Utf8(caption).c_str(), Utf8(text).c_str());
  std::fflush(stderr);
}

bool OpenWithShell(const TString& target) {
  if (target.IsEmpty()) return false;
  NarrowString narrow = Utf8(target);
  char program[] = "xdg-open";
  char* argv[] = {program, const_cast<char*>(narrow.c_str()), nullptr};
  pid_t pid = 0;
  if (::posix_spawnp(&pid, program, nullptr, nullptr, argv, environ) != 0) return false;
  // xdg-open hands the target on and ends; reap it so no zombie stays behind.
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace vk2::gui

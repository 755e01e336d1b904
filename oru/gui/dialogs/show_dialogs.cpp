#include <cstdio>

#include "oru/gui/dialogs/dialog_loop.h"
#include "oru/gui/dialogs/dialogs.h"
#include "oru/gui/dialogs/gtk_dialogs.h"
#include "oru/gui/dialogs/memory_strip_host.h"

namespace vk2 {

// The answerer, like a person, answers on the loop thread while the loop goes on.
FileDialogResult ShowFileDialog(const FileDialogRequest& request) {
  FileDialogResult result;
  result.filterIndex = request.filterIndex;
  RunOnDialogThread([&] {
    if (FileDialogAnswerer answerer = CurrentFileDialogAnswerer()) {
      MemoryStripHost strip(request.strip.Get());
      if (request.strip) request.strip->Build(&strip);
      result = answerer(request, request.strip ? &strip : nullptr);
      if (strip.Closed()) result.paths.clear();
    } else if (DialogWindowsAllowed()) {
      result = RunGtkFileChooser(request);
    }
  });
  return result;
}

int32_t ShowMessageBox(const MessageBoxRequest& request) {
  std::fprintf(stderr, "%s: %s\n", Utf8(request.caption).c_str(), Utf8(request.text).c_str());
  std::fflush(stderr);
  int32_t answer = request.buttons == kMessageBoxYesNo ? kAnswerYes : kAnswerOk;
  RunOnDialogThread([&] {
    if (MessageBoxAnswerer answerer = CurrentMessageBoxAnswerer()) {
      answer = answerer(request);
    } else if (DialogWindowsAllowed()) {
      answer = RunGtkMessageDialog(request);
    }
  });
  return answer;
}

}  // namespace vk2

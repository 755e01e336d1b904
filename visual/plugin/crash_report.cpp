#include "visual/plugin/crash_report.h"

#include <cstdio>
#include <mutex>

#include "audio/common/audio_runtime.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/console.h"

namespace vk2 {
namespace {

std::mutex gObserverLock;
CrashObserver gObserver;

// The console's level for errors the user should see.
constexpr int32_t kConsoleErrorLevel = 1;

}  // namespace

CrashObserver SetCrashObserver(CrashObserver observer) {
  std::lock_guard<std::mutex> lock(gObserverLock);
  std::swap(gObserver, observer);
  return observer;
}

void ReportVisualCrash(const TString& file, const char16_t* stage) {
  const TString text = TString::Format(u"Visual '%s' crashed! (in %s)", file, stage);
  std::fprintf(stderr, "%s\n", Utf8(text).c_str());
  if (RefPtr<MConsole> console = AudioCreate<MConsole>(kServiceClass, kIID_MConsole)) {
    console->Write(kConsoleErrorLevel, text.c_str(), 1);
  }
  CrashObserver observer;
  {
    std::lock_guard<std::mutex> lock(gObserverLock);
    observer = gObserver;
  }
  if (observer) observer(text);
}

}  // namespace vk2

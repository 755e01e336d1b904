// Starts the user interface module through the runtime as the program would: loads the
// runtime, creates the application object, launches it with the command line, runs it and
// shuts it down. Afterwards it prints the console's entries, one a line, to stdout, so that
// tests read what the start-up and shutdown logged. The exit code is Run's result, or 3 when
// the launch failed, or 4 without the runtime or the module.
#include <cstdio>

#include "component/module/runtime_loader.h"
#include "foundation/containers/tarray.h"
#include "interfaces/gui/gui_application.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/console.h"

int main(int argc, char** argv) {
  using namespace vk2;
  if (!LoadRuntime()) return 4;
  int code = 4;
  {
    RefPtr<MGuiApplication> app =
        CreateRuntimeObject<MGuiApplication>(kGuiApplicationClass, kIID_MGuiApplication);
    if (app) {
      TArray<TString> tokens;
      for (int i = 0; i < argc; ++i)
        tokens.Append(WideFromNarrow(argv[i]));
      if (app->Launch(&tokens, 0, nullptr) == 0) {
        code = app->Run();
      } else {
        code = 3;
      }
      app->Shutdown();
    }
    RefPtr<MConsole> console = CreateRuntimeObject<MConsole>(kServiceClass, kIID_MConsole);
    uint32_t newest = 0;
    uint32_t count = 0;
    if (console && console->GetNewest(&newest, &count) >= 0) {
      for (uint32_t index = newest + 1 - count; index <= newest; ++index) {
        TString text;
        int32_t level = 0;
        if (console->GetEntry(&text, index, &level) < 0) continue;
        std::printf("%d %s\n", level, Utf8(text).c_str());
      }
    }
  }
  std::fflush(stdout);
  UnloadRuntime();
  return code;
}

#include "launcher/launcher_main.h"

#include <cstdio>
#include <memory>

#include "component/module/runtime_loader.h"
#include "interfaces/gui/app.h"
#include "interfaces/gui/gui_application.h"
#include "interfaces/ids.h"
#include "launcher/command_line.h"
#include "launcher/gui_thread.h"
#include "launcher/hand_over.h"
#include "launcher/launcher_window.h"
#include "launcher/message_box.h"
#include "launcher/termination.h"
#include "platform/instance/dde_service.h"
#include "platform/instance/message_window.h"
#include "platform/instance/named_mutex.h"

namespace vk2::launcher {
namespace {

constexpr char kMutexName[] = "TarnWickPlusPlus";
// Requests still in flight when Run returns get this long to finish on the loop.
constexpr uint32_t kFinishRequestsMs = 10'000;

// The hidden window and the DDE service of a running instance, answering on the GUI thread.
class InstanceEndpoints {
 public:
  // The window's socket is bound before Launch, so that a start that comes while the player is
  // still starting connects and waits instead of being lost; it is answered from Serve on.
  // When another full instance answers there already (two starts without arguments), this one
  // runs without a window, as a failed window creation leaves it.
  void BindWindow() { window_ = instance::MessageWindow::Create(kWindowClass, kWindowTitle); }

  void Serve(GuiThread* gui) {
    if (window_) {
      window_->Serve([gui](const instance::WindowMessage& message) -> int64_t {
        // The message's bytes are copied: the work may outlive this wait.
        auto work = [number = message.message, wParam = message.wParam, lParam = message.lParam,
                     data = std::string(message.data)] {
          return LauncherWindowProcedure({number, wParam, lParam, data});
        };
        return gui->Call(std::move(work)).value_or(kDefaultWindowResult);
      });
    }
    dde_ = instance::DdeService::Register(kDdeServiceName);
    if (dde_) {
      dde_->Serve([gui](const instance::DdeCall& call) -> int64_t {
        auto work = [type = call.type, service = std::string(call.service),
                     topic = std::string(call.topic), data = std::string(call.data)] {
          return LauncherDdeCallback({type, service, topic, data});
        };
        return gui->Call(std::move(work)).value_or(0);
      });
    }
  }

  void Close() {
    if (dde_) dde_->Close();
    if (window_) window_->Close();
    dde_.reset();
    window_.reset();
  }

 private:
  std::unique_ptr<instance::MessageWindow> window_;
  std::unique_ptr<instance::DdeService> dde_;
};

// Launch, Run and Shutdown of the object created; the endpoints answer while it runs.
void RunApplication(MGuiApplication* app, const TArray<TString>& tokens) {
  GuiThread gui(CreateRuntimeObject<MOmbrixApp>(kBrintClass, kIID_MOmbrixApp));
  // Watched from before Launch, so that a signal that comes while the player starts still
  // ends it through Shutdown (the loop keeps a quit asked before Run).
  TerminationWatch termination;
  termination.Start([&gui] { return gui.App() && gui.App()->Quit(0) == 0; });
  InstanceEndpoints endpoints;
  endpoints.BindWindow();
  if (app->Launch(&tokens, 0, nullptr) < 0) {
    termination.Stop();
    endpoints.Close();
    return;
  }
  endpoints.Serve(&gui);
  app->Run();
  termination.Stop();
  // No request may reach the application once it shuts down.
  gui.StopWaiting(kFinishRequestsMs);
  endpoints.Close();
  app->Shutdown();
}

void RunFullInstance(int argc, const char* const* argv) {
  const TArray<TString> tokens = BuildTokens(argc, argv);
  if (!LoadRuntime()) {
    ShowMessageBox("Error! Unable to load ORU.", "Fatal Velkora 2 Preload Error");
    return;
  }
  const bool server = IsServerStart(tokens);
  // The media core's server face has the application's three operations in the same slots.
  RefPtr<MGuiApplication> app =
      server ? CreateRuntimeObject<MGuiApplication>(kMediaCoreClass, kIID_MCoreServer)
             : CreateRuntimeObject<MGuiApplication>(kGuiApplicationClass, kIID_MGuiApplication);
  if (app) RunApplication(app.Get(), tokens);
  app = nullptr;
  UnloadRuntime();
}

}  // namespace

int LauncherMain(int argc, const char* const* argv) {
  instance::NamedMutex mutex(kMutexName);
  if (argc > 1 && !mutex.Held()) {
    switch (HandOver(JoinForHandOver(argc, argv))) {
      case HandOverResult::kDelivered:
        return 0;
      case HandOverResult::kTooLong:
        std::fprintf(stderr,
                     "velkora2: the command line is too long to hand over (more than %u "
                     "bytes); nothing was done.\n",
                     instance::kMaxRequestBytes - 1);
        return 0;
      case HandOverResult::kNoInstance:
        // The lock is held but nobody answers: the holder hangs or is not a player. Starting
        // is better than losing the command line.
        std::fprintf(stderr,
                     "velkora2: the running instance did not answer; starting a new "
                     "one.\n");
        break;
    }
  }
  RunFullInstance(argc, argv);
  mutex.Release();
  return 0;
}

}  // namespace vk2::launcher

#include "oru/gui/dialogs/dialog_loop.h"

#include <gtk/gtk.h>

#include <atomic>
#include <future>
#include <mutex>
#include <thread>

#include "interfaces/gui/app.h"
#include "oru/gui/loop/app_object.h"
#include "platform/environment.h"

namespace vk2 {

namespace {

std::atomic<MOmbrixApp*> dialogApp{nullptr};

struct GtkStart {
  std::once_flag once;
  bool started = false;
  std::thread::id thread;
};

GtkStart& Start() {
  static GtkStart start;
  return start;
}

bool HasDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
    auto value = GetEnv(name);
    if (value && !value->empty()) return true;
  }
  return false;
}

void PumpGtk(void*) {
  while (g_main_context_iteration(nullptr, FALSE)) {
  }
}

struct PostedBody {
  const std::function<void()>* body;
  std::promise<void> finished;
};

void RunPosted(void* context) {
  auto* posted = static_cast<PostedBody*>(context);
  (*posted->body)();
  posted->finished.set_value();
}

}  // namespace

void SetDialogApp(MOmbrixApp* app) {
  dialogApp.store(app);
}

namespace {
// The process's application unless another was given; its loop runs only once launched.
MOmbrixApp* DialogApp() {
  MOmbrixApp* app = dialogApp.load();
  return app ? app : &gui::AppObject::Instance();
}
}  // namespace

bool DialogWindowsAllowed() {
  if (GetEnv("VK2_NONINTERACTIVE") || !HasDisplay()) return false;
  GtkStart& start = Start();
  std::call_once(start.once, [&start] {
    start.thread = std::this_thread::get_id();
    start.started = gtk_init_check(nullptr, nullptr);
  });
  return start.started && start.thread == std::this_thread::get_id();
}

void RunOnDialogThread(const std::function<void()>& body) {
  MOmbrixApp* app = DialogApp();
  if (app->IsGuiThread()) {
    body();
    return;
  }
  PostedBody posted{&body, {}};
  std::future<void> finished = posted.finished.get_future();
  if (app->PostToGuiThread(&RunPosted, &posted) < 0) {
    body();  // no loop runs (not launched, or ended): nothing else shows windows now
    return;
  }
  // A person answers the dialog, so the wait has no time limit.
  finished.wait();
}

void RunModalUntil(const int32_t* done) {
  MOmbrixApp* app = DialogApp();
  if (app->IsGuiThread()) {
    LoopPump pump;
    pump.pump = &PumpGtk;
    app->PushPump(&pump);
    app->RunNested(done);
    app->PopPump();
    return;
  }
  while (!*done)
    g_main_context_iteration(nullptr, TRUE);
}

}  // namespace vk2

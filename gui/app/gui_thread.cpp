#include "gui/app/gui_thread.h"

#include <future>
#include <utility>

namespace vk2::gui {
namespace {

struct PostedTask {
  const std::function<void()>* task;
  std::promise<void> done;
};

void RunPosted(void* context) {
  auto* posted = static_cast<PostedTask*>(context);
  (*posted->task)();
  posted->done.set_value();
}

}  // namespace

void RunOnGuiThread(MOmbrixApp* app, const std::function<void()>& task) {
  if (!app || app->IsGuiThread()) {
    task();
    return;
  }
  PostedTask posted{&task, {}};
  std::future<void> done = posted.done.get_future();
  if (app->PostToGuiThread(&RunPosted, &posted) < 0) {
    task();
    return;
  }
  // The loop serves posted tasks until Shutdown, which only this thread can call.
  done.wait();
}

void PostToGuiThread(MOmbrixApp* app, std::function<void()> task) {
  if (!app) return;
  auto* held = new std::function<void()>(std::move(task));
  const auto run = [](void* context) {
    auto* posted = static_cast<std::function<void()>*>(context);
    (*posted)();
    delete posted;
  };
  if (app->PostToGuiThread(run, held) < 0) delete held;
}

}  // namespace vk2::gui

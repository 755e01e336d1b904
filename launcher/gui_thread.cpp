#include "launcher/gui_thread.h"

#include <chrono>
#include <condition_variable>
#include <memory>

#include "platform/instance/local_socket.h"

namespace vk2::launcher {
namespace {

struct Pending {
  std::function<int64_t()> work;
  std::mutex mutex;
  std::condition_variable done;
  std::optional<int64_t> result;
};

void RunPosted(void* context) {
  auto* holder = static_cast<std::shared_ptr<Pending>*>(context);
  std::shared_ptr<Pending> pending = std::move(*holder);
  delete holder;
  const int64_t result = pending->work();
  {
    std::lock_guard lock(pending->mutex);
    pending->result = result;
  }
  pending->done.notify_all();
}

constexpr auto kWaitSlice = std::chrono::milliseconds(100);

}  // namespace

std::optional<int64_t> GuiThread::Call(std::function<int64_t()> work) {
  if (app_ && !app_->IsGuiThread()) {
    auto pending = std::make_shared<Pending>();
    pending->work = std::move(work);
    auto* holder = new std::shared_ptr<Pending>(pending);
    if (app_->PostToGuiThread(&RunPosted, holder) == 0) {
      std::unique_lock lock(pending->mutex);
      while (!pending->result) {
        const uint64_t giveUpAt = giveUpAtMs_.load();
        if (giveUpAt != 0 && instance::SocketNowMs() >= giveUpAt) return std::nullopt;
        pending->done.wait_for(lock, kWaitSlice);
      }
      return pending->result;
    }
    // No loop runs: the post was refused and the work is still ours.
    work = std::move(pending->work);
    delete holder;
  }
  std::lock_guard lock(inPlace_);
  return work();
}

void GuiThread::StopWaiting(uint32_t graceMs) {
  giveUpAtMs_.store(instance::SocketNowMs() + graceMs);
}

}  // namespace vk2::launcher

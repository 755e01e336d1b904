#include "visual/fullscreen/video_thread.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

#include "foundation/util/result.h"

namespace vk2 {
namespace {

// A loop that does not answer in this time is taken to be ending.
constexpr auto kAnswerTime = std::chrono::seconds(5);

struct Job {
  std::function<void()> work;
  std::mutex mutex;
  std::condition_variable cv;
  bool done = false;
  bool cancelled = false;
};

void RunJob(void* context) {
  auto* holder = static_cast<std::shared_ptr<Job>*>(context);
  std::shared_ptr<Job> job = std::move(*holder);
  delete holder;
  {
    // Held while the work runs: a waiter that gives up waits for running work to finish.
    std::lock_guard lock(job->mutex);
    if (!job->cancelled) job->work();
    job->done = true;
  }
  job->cv.notify_all();
}

}  // namespace

bool VideoThread::Run(const std::function<void()>& work) {
  if (!gui_ || gui_->IsGuiThread()) {
    work();
    return true;
  }
  auto job = std::make_shared<Job>();
  job->work = work;
  auto* holder = new std::shared_ptr<Job>(job);
  if (gui_->PostToGuiThread(&RunJob, holder) != kOk) {
    delete holder;
    return false;
  }
  std::unique_lock lock(job->mutex);
  if (job->cv.wait_for(lock, kAnswerTime, [&] { return job->done; })) return true;
  job->cancelled = true;
  return false;
}

}  // namespace vk2

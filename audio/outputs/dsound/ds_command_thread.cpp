#include "audio/outputs/dsound/ds_command_thread.h"

namespace vk2 {

DsCommandThread& DsCommandThread::Instance() {
  static DsCommandThread instance;
  return instance;
}

DsCommandThread::~DsCommandThread() {
  Stop();
}

int32_t DsCommandThread::Run(std::function<int32_t()> command) {
  auto c = std::make_shared<Command>();
  c->run = std::move(command);
  {
    std::unique_lock lock(mutex_);
    if (stopped_ || thread_.IsCurrent()) {
      lock.unlock();
      return c->run();
    }
    if (!thread_.IsStarted() && !thread_.Start([this] {
          SetCurrentThreadName("vk2 ds commands");
          Loop();
        })) {
      lock.unlock();
      return c->run();
    }
    queue_.push_back(c);
  }
  wake_.Set();
  if (!c->done.Wait(kCommandTimeoutMs)) return kCommandTimedOut;
  return c->result;
}

void DsCommandThread::Loop() {
  for (;;) {
    std::shared_ptr<Command> c;
    {
      std::lock_guard lock(mutex_);
      if (!queue_.empty()) {
        c = queue_.front();
        queue_.pop_front();
      } else if (stopped_) {
        return;
      }
    }
    if (!c) {
      wake_.Wait(kInfinite);
      continue;
    }
    c->result = c->run();
    c->done.Set();
  }
}

void DsCommandThread::Stop() {
  {
    std::lock_guard lock(mutex_);
    if (stopped_) return;
    stopped_ = true;
  }
  wake_.Set();
  if (thread_.IsStarted()) thread_.Join();
  thread_.CloseHandle();
}

}  // namespace vk2

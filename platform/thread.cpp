#include "platform/thread.h"

#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <string>

#include "platform/event.h"

namespace vk2 {

struct ThreadState {
  std::function<uint32_t()> entry;
  pthread_t handle{};
  std::atomic<ThreadId> id{0};
  Event started{EventReset::kManual};
  Event finished{EventReset::kManual};
  uint32_t exitCode = 0;  // written before `finished` is set
  bool joined = false;    // touched only by the owner of the record
};

namespace {

thread_local const ThreadState* tCurrent = nullptr;

void* RunThread(void* arg) {
  std::shared_ptr<ThreadState> state;
  {
    auto* handOver = static_cast<std::shared_ptr<ThreadState>*>(arg);
    state = std::move(*handOver);
    delete handOver;
  }
  tCurrent = state.get();
  state->id.store(CurrentThreadId(), std::memory_order_release);
  state->started.Set();
  state->exitCode = state->entry();
  // Whatever the entry captured is released here, on its own thread.
  state->entry = nullptr;
  state->finished.Set();
  tCurrent = nullptr;
  return nullptr;
}

size_t StackSizeFor(size_t requested) {
  const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  const size_t size = requested < Thread::kMinStackSize ? Thread::kMinStackSize : requested;
  return (size + page - 1) / page * page;
}

}  // namespace

Thread& Thread::operator=(Thread&& other) noexcept {
  if (this != &other) {
    CloseHandle();
    state_ = std::move(other.state_);
  }
  return *this;
}

bool Thread::StartEntry(std::function<uint32_t()> entry, size_t stackSize) {
  if (state_ || !entry) return false;
  pthread_attr_t attr;
  if (pthread_attr_init(&attr) != 0) return false;
  if (stackSize != 0 && pthread_attr_setstacksize(&attr, StackSizeFor(stackSize)) != 0) {
    pthread_attr_destroy(&attr);
    return false;
  }
  // The record is filled in before the thread exists, so the entry may use it (IsCurrent,
  // Join on itself) from its first instruction.
  state_ = std::make_shared<ThreadState>();
  state_->entry = std::move(entry);
  auto* handOver = new std::shared_ptr<ThreadState>(state_);
  const bool ok = pthread_create(&state_->handle, &attr, RunThread, handOver) == 0;
  pthread_attr_destroy(&attr);
  if (!ok) {
    delete handOver;
    state_.reset();
  }
  return ok;
}

bool Thread::Join(uint32_t* exitCode, uint32_t timeoutMs) {
  if (!state_ || IsCurrent()) return false;
  if (!state_->joined) {
    if (!state_->finished.Wait(timeoutMs)) return false;
    pthread_join(state_->handle, nullptr);
    state_->joined = true;
  }
  if (exitCode) *exitCode = state_->exitCode;
  return true;
}

void Thread::CloseHandle() {
  if (!state_) return;
  if (!state_->joined) pthread_detach(state_->handle);
  state_.reset();
}

bool Thread::IsCurrent() const {
  return state_ && tCurrent == state_.get();
}

ThreadId Thread::Id() const {
  if (!state_) return 0;
  state_->started.Wait();
  return state_->id.load(std::memory_order_acquire);
}

bool Thread::SetPriority(ThreadPriority priority) {
  // An ended thread's id may already belong to another thread.
  if (!state_ || state_->finished.Wait(0)) return false;
  return SetThreadPriority(Id(), priority);
}

void SetCurrentThreadName(std::string_view name) {
  std::string cut(name.substr(0, 15));
  pthread_setname_np(pthread_self(), cut.c_str());
}

}  // namespace vk2

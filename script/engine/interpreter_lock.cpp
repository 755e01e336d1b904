#include "script/engine/interpreter_lock.h"

#include <mutex>

#include "script/engine/run_budget.h"

namespace vk2 {
namespace {

std::mutex& Mutex() {
  static std::mutex mutex;
  return mutex;
}

thread_local uint32_t tDepth = 0;

}  // namespace

void InterpreterLock::Enter() {
  if (tDepth++ == 0) Mutex().lock();
}

void InterpreterLock::Leave() {
  if (--tDepth == 0) Mutex().unlock();
}

uint32_t InterpreterLock::Suspend() {
  uint32_t depth = tDepth;
  if (depth) {
    PauseRunClock();
    tDepth = 0;
    Mutex().unlock();
  }
  return depth;
}

void InterpreterLock::Resume(uint32_t depth) {
  if (depth) {
    Mutex().lock();
    tDepth = depth;
    ResumeRunClock();
  }
}

bool InterpreterLock::HeldByThisThread() {
  return tDepth != 0;
}

}  // namespace vk2

#include "script/engine/run_limits.h"

#include <pthread.h>

#include <atomic>
#include <cstddef>

#include "script/lang/script_error.h"

namespace vk2 {
namespace {

thread_local uint32_t tRecursionDepth = 0;
thread_local uint32_t tExpressionDepth = 0;
thread_local uintptr_t tStackLow = 0;

#if defined(__SANITIZE_ADDRESS__)
constexpr size_t kStackReserve = 1024 * 1024;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr size_t kStackReserve = 1024 * 1024;
#else
constexpr size_t kStackReserve = 256 * 1024;
#endif
#else
constexpr size_t kStackReserve = 256 * 1024;
#endif

// Read on every step and every growth, so each is a plain atomic rather than one locked record.
std::atomic<uint32_t> gMaxArrayMembers{ScriptLimits{}.maxArrayMembers};
std::atomic<uint32_t> gMaxTextLength{ScriptLimits{}.maxTextLength};
std::atomic<uint64_t> gMaxStepsPerRun{ScriptLimits{}.maxStepsPerRun};
std::atomic<uint32_t> gMaxRunMs{ScriptLimits{}.maxRunMs};
std::atomic<uint64_t> gMaxValueBytes{ScriptLimits{}.maxValueBytes};

uintptr_t StackLow() {
  if (tStackLow == 0) {
    pthread_attr_t attr;
    void* address = nullptr;
    size_t size = 0;
    if (pthread_getattr_np(pthread_self(), &attr) == 0) {
      pthread_attr_getstack(&attr, &address, &size);
      pthread_attr_destroy(&attr);
    }
    tStackLow = reinterpret_cast<uintptr_t>(address);
    if (tStackLow == 0) tStackLow = 1;
  }
  return tStackLow;
}

}  // namespace

bool StackNearlyExhausted() {
  uintptr_t here = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
  uintptr_t low = StackLow();
  return low > 1 && here < low + kStackReserve;
}

RecursionGuard::RecursionGuard() {
  if (tRecursionDepth > kMaxDepth || StackNearlyExhausted()) {
    RaiseScriptError(u"Script recursed too deep");
  }
  ++tRecursionDepth;
}

RecursionGuard::~RecursionGuard() {
  --tRecursionDepth;
}

uint32_t RecursionGuard::Depth() {
  return tRecursionDepth;
}

ExpressionGuard::ExpressionGuard() {
  if (tExpressionDepth >= kMaxDepth || StackNearlyExhausted()) {
    RaiseScriptError(u"Expression nested too deep");
  }
  ++tExpressionDepth;
}

ExpressionGuard::~ExpressionGuard() {
  --tExpressionDepth;
}

void SetScriptLimits(const ScriptLimits& limits) {
  gMaxArrayMembers.store(limits.maxArrayMembers);
  gMaxTextLength.store(limits.maxTextLength);
  gMaxStepsPerRun.store(limits.maxStepsPerRun);
  gMaxRunMs.store(limits.maxRunMs);
  gMaxValueBytes.store(limits.maxValueBytes);
}

ScriptLimits CurrentScriptLimits() {
  ScriptLimits limits;
  limits.maxArrayMembers = MaxArrayMembers();
  limits.maxTextLength = MaxTextLength();
  limits.maxStepsPerRun = MaxStepsPerRun();
  limits.maxRunMs = MaxRunMs();
  limits.maxValueBytes = MaxValueBytes();
  return limits;
}

void SetScriptSizeLimits(uint32_t maxArrayMembers, uint32_t maxTextLength) {
  gMaxArrayMembers.store(maxArrayMembers);
  gMaxTextLength.store(maxTextLength);
}

void SetScriptStepLimit(uint64_t steps) {
  gMaxStepsPerRun.store(steps);
}

uint32_t MaxArrayMembers() {
  return gMaxArrayMembers.load(std::memory_order_relaxed);
}

uint32_t MaxTextLength() {
  return gMaxTextLength.load(std::memory_order_relaxed);
}

uint64_t MaxStepsPerRun() {
  return gMaxStepsPerRun.load(std::memory_order_relaxed);
}

uint32_t MaxRunMs() {
  return gMaxRunMs.load(std::memory_order_relaxed);
}

uint64_t MaxValueBytes() {
  return gMaxValueBytes.load(std::memory_order_relaxed);
}

}  // namespace vk2

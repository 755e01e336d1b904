#include "script/engine/run_limits.h"

#include <pthread.h>

#include <atomic>
#include <cstddef>

#include "script/lang/script_error.h"

namespace vk2 {
namespace {

thread_local uint32_t tRecursionDepth = 0;
thread_local uint32_t tExpressionDepth = 0;
thread_local uint64_t tStepsLeft = 0;
thread_local bool tStepLimited = false;
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

std::atomic<uint32_t> gMaxArrayMembers{kDefaultMaxArrayMembers};
std::atomic<uint32_t> gMaxTextLength{kDefaultMaxTextLength};

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

void SetScriptSizeLimits(uint32_t maxArrayMembers, uint32_t maxTextLength) {
  gMaxArrayMembers.store(maxArrayMembers);
  gMaxTextLength.store(maxTextLength);
}

uint32_t MaxArrayMembers() {
  return gMaxArrayMembers.load(std::memory_order_relaxed);
}

uint32_t MaxTextLength() {
  return gMaxTextLength.load(std::memory_order_relaxed);
}

void SetScriptStepLimit(uint64_t steps) {
  tStepsLeft = steps;
  tStepLimited = steps != 0;
}

void CountScriptStep() {
  if (!tStepLimited) return;
  if (tStepsLeft == 0) RaiseScriptError(u"Script step limit reached.");
  --tStepsLeft;
}

}  // namespace vk2

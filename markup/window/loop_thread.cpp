#include "markup/window/loop_thread.h"

#include <future>
#include <memory>
#include <new>

#include "foundation/util/ref_ptr.h"
#include "foundation/util/result.h"
#include "script/engine/interpreter_lock.h"

namespace vk2::markup {
namespace {

struct Posted {
  RefPtr<MWindowElement> keep;
  std::function<void()> body;
};

void RunPosted(void* context) {
  std::unique_ptr<Posted> posted(static_cast<Posted*>(context));
  if (posted->body) posted->body();
}

}  // namespace

bool OffWindowLoop(MWindowElement* window) {
  uint32_t flags = 0;
  return window && window->GetValue(kValueStateFlags, &flags, sizeof flags) == kErrWrongState;
}

bool PostToWindowLoop(MWindowElement* window, std::function<void()> body) {
  if (!window) return false;
  auto* posted = new (std::nothrow) Posted{RefPtr<MWindowElement>(window), std::move(body)};
  if (!posted) return false;
  if (window->PostTask(&RunPosted, posted) != kOk) {
    delete posted;
    return false;
  }
  return true;
}

bool RunOnWindowLoop(MWindowElement* window, const std::function<void()>& body) {
  auto done = std::make_shared<std::promise<void>>();
  std::future<void> finished = done->get_future();
  const bool posted = PostToWindowLoop(window, [&body, done] {
    {
      InterpreterLockScope lock;
      body();
    }
    done->set_value();
  });
  if (!posted) return false;
  InterpreterUnlockScope unlocked;
  finished.wait();
  return true;
}

}  // namespace vk2::markup

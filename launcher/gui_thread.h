// Runs the launcher's window procedure and DDE callback where the user interface runs its
// windows: on the GUI layer's loop thread, posted there while the requesting thread waits.
// Without a running loop the work runs on the requesting thread, one call at a time.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>

#include "foundation/util/ref_ptr.h"
#include "interfaces/gui/app.h"

namespace vk2::launcher {

class GuiThread {
 public:
  // Takes the GUI layer's application object (null: run everything in place).
  explicit GuiThread(RefPtr<MOmbrixApp> app) : app_(std::move(app)) {}

  // Runs `work` and answers its result; nothing when the loop went away before running it.
  // `work` owns what it uses: after a give-up it may still run later on the loop.
  std::optional<int64_t> Call(std::function<int64_t()> work);

  // From now on a call gives up waiting after `graceMs` (at the end of the run, so that no
  // server thread waits for a loop that has stopped).
  void StopWaiting(uint32_t graceMs);

  MOmbrixApp* App() const { return app_.Get(); }

 private:
  RefPtr<MOmbrixApp> app_;
  std::mutex inPlace_;
  std::atomic<uint64_t> giveUpAtMs_{0};  // 0: wait as long as it takes
};

}  // namespace vk2::launcher

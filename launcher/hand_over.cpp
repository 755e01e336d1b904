#include "launcher/hand_over.h"

#include <time.h>

#include <cerrno>

#include "launcher/launcher_window.h"
#include "platform/instance/message_window.h"
#include "platform/instance/request_frame.h"

namespace vk2::launcher {
namespace {

void PauseMs(uint32_t ms) {
  timespec ts{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1'000'000};
  while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
  }
}

}  // namespace

HandOverResult HandOver(const std::string& commandLine, const HandOverTiming& timing) {
  // The copy-data block is the text with its terminating NUL.
  std::string data = commandLine;
  data.push_back('\0');
  if (data.size() > instance::kMaxRequestBytes) return HandOverResult::kTooLong;
  for (uint32_t attempt = 0; attempt < timing.tries; ++attempt) {
    if (attempt > 0) PauseMs(timing.pauseMs);
    std::unique_ptr<instance::WindowLink> window =
        instance::WindowLink::Find(kWindowClass, kWindowTitle);
    if (!window) continue;
    const std::optional<int64_t> answer =
        window->Send(instance::kWmCopyData, 0, 0, data, timing.answerMs);
    // A window that closed before answering was on its way out: look again.
    if (answer) return HandOverResult::kDelivered;
  }
  return HandOverResult::kNoInstance;
}

}  // namespace vk2::launcher

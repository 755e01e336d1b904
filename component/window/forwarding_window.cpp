#include "component/window/forwarding_window.h"

namespace vk2 {

int32_t ForwardingWindow::PostCommand(uint32_t code, int32_t startMs, int32_t durationMs,
                                      uintptr_t data, MWindowElement* sender, uint32_t options,
                                      uint32_t reserved) {
  return ForwardingWindowOf::PostCommand(code, startMs, durationMs, data, sender ? sender : this,
                                         options, reserved);
}

int32_t ForwardingWindow::CancelCommands(uint32_t code, int32_t fromMs, int32_t untilMs,
                                         uintptr_t data, uint32_t mode, MWindowElement* sender,
                                         uint32_t reserved) {
  return ForwardingWindowOf::CancelCommands(code, fromMs, untilMs, data, mode,
                                            sender ? sender : this, reserved);
}

}  // namespace vk2

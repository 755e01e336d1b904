#include "platform/debug_output.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vk2 {
namespace {

bool DebugOutputEnabled() {
  static const bool enabled = [] {
    const char* value = std::getenv("VK2_DEBUG");
    return value && *value && std::strcmp(value, "0") != 0;
  }();
  return enabled;
}

}  // namespace

void DebugOutput(const char* text) {
  if (!text || !DebugOutputEnabled()) return;
  std::fputs(text, stderr);
  std::fflush(stderr);
}

}  // namespace vk2

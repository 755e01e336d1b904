// Sound clients find the PulseAudio server through the user's configuration folder, which the
// private folders of a test or benchmark replace. Naming the server in PULSE_SERVER first keeps
// it found.
#pragma once

#include <cstdio>
#include <string>

#include "platform/environment.h"

namespace vk2::test {

inline void PinPulseServer() {
  if (GetEnv("PULSE_SERVER")) return;
  FILE* pipe = ::popen("pactl info 2>/dev/null", "r");
  if (!pipe) return;
  char line[512];
  const std::string key = "Server String: ";
  while (std::fgets(line, sizeof line, pipe)) {
    std::string text(line);
    if (text.rfind(key, 0) != 0) continue;
    text = text.substr(key.size());
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
      text.pop_back();
    if (!text.empty() && text[0] == '/') text = "unix:" + text;
    SetEnv("PULSE_SERVER", text);
  }
  ::pclose(pipe);
}

// A member placed before the private folders pins the server while the real ones still stand.
struct PulseServerPin {
  PulseServerPin() { PinPulseServer(); }
};

}  // namespace vk2::test

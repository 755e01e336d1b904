// A later start hands its command line to the running instance's hidden window.
#pragma once

#include <cstdint>
#include <string>

namespace vk2::launcher {

struct HandOverTiming {
  uint32_t tries = 50;
  uint32_t pauseMs = 100;
  // The receiver runs the command before it answers (a dialog it opens keeps the sender
  // waiting); after this long the sender stops waiting; the command has been delivered.
  uint32_t answerMs = 30'000;
};

enum class HandOverResult {
  kDelivered,   // the window took the command line
  kTooLong,     // the command line does not fit in one request
  kNoInstance,  // no window answered in all the tries
};

HandOverResult HandOver(const std::string& commandLine, const HandOverTiming& timing = {});

}  // namespace vk2::launcher

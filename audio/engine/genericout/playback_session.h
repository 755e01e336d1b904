// One run of the endpoint's playback thread: what it was started with and how it ends.
#pragma once

#include <atomic>
#include <cstdint>

#include "audio/engine/genericout/generic_output.h"

namespace vk2 {

struct GenericOutput::Session {
  RefPtr<MOutputDevice> device;
  RefPtr<AudioFormat> format;
  double bufferSeconds = 0;
  double volumeLevel = 1.0;
  double balance = 0.0;

  Event started{EventReset::kManual};
  Event suspended{EventReset::kManual};
  Event ended{EventReset::kManual};
  int32_t startResult = 0;
  // Set when the thread stopped the endpoint by itself (end of stream, upstream failure).
  std::atomic<bool> endedItself{false};

  // Playback thread only.
  bool deviceOpen = false;
  bool noPollDelay = false;
  RefPtr<AudioPacket> packet;
  uint32_t offset = 0;
  uint32_t lastFree = 0;
  uint32_t written = 0;  // bytes written in the last pass
  bool progressed = false;
  int64_t heardBytes = 0;           // heard when the last pass measured the room
  int64_t nextIdChange = -1;        // heard bytes at which the stream id changes; -1: none
  double notificationDue = 0;       // seconds from the last pass; infinity: none
  bool flushAwaitingWrite = false;  // a flush is answered once its first bytes are written
  bool priorityKnown = false;
  bool priorityPlaying = false;
  bool priorityRealtime = false;
};

}  // namespace vk2

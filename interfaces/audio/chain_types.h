// Chain states and the events modules report to their chain.
#pragma once

#include <cstdint>

namespace vk2 {

enum ChainState : int32_t {
  kChainStopped = 1,          // device closed, playback thread ended
  kChainSuspended = 2,        // playback thread parked, device keeps its state
  kChainCued = 3,             // device open and being filled, not playing
  kChainFormatDetection = 4,  // modules inspect their input to settle formats
  kChainPlaying = 5,
};

inline bool IsKnownChainState(int32_t s) {
  return s >= kChainStopped && s <= kChainPlaying;
}

enum ChainEvent : int32_t {
  kEventStreamEnded = 1,       // last packet played out; the endpoint stopped itself
  kEventStreamIdChanged = 2,   // the stream heard changed (endpoint's "currentstreamid")
  kEventUpstreamFailed = 3,    // argument: the failure code; the endpoint stopped
  kEventFormatRefused = 4,     // the device could not take a new format; the endpoint stopped
  kEventFormatChanged = 5,     // format or stream information changed: read properties again
  kEventDraining = 6,          // end of stream reached, draining begins
  kEventTimeNotification = 7,  // sent only to the callback that added the notification
  kEventFlushed = 8,           // queued audio flushed after a seek
};

// Prepare modes the media core passes.
inline constexpr int32_t kPrepareQuickScan = 1;
inline constexpr int32_t kPrepareFullScan = 2;

}  // namespace vk2

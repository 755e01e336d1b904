// Chain ids: one process-wide sequence for every chain any media system builds, so that no two
// chains alive at once share an id (events, the visual tap and "currentchainid" are keyed by
// it). Ids are multiples of 16: the low four bits of a notification key carry its kind.
#pragma once

#include <cstdint>

namespace vk2 {

inline constexpr uint32_t kChainIdStep = 16;
inline constexpr uint32_t kChainKindMask = kChainIdStep - 1;

// Kinds of the time notifications a media system adds to its chains.
enum ChainNotificationKind : uint32_t {
  kKindPrepareCrossfade = 1,  // build and cue the next item's chain
  kKindStartCrossfade = 2,    // start it and ramp both volumes
  kKindPrepareSeamless = 3,   // build the next item's chain behind the shared output
};

uint32_t NextChainId();

}  // namespace vk2

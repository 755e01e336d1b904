// The visualisation host's audio tap: a pass-through chain module (one input, one output) that
// copies the audio passing through it for the visuals and hands it on unchanged. The media
// system puts one into every chain it builds for playback, keyed by the chain's id.
#pragma once

#include <cstdint>

#include "interfaces/audio/audio_module.h"

namespace vk2 {

class MVisualEndpoint : public MAudioModule {
 public:
  // Stores the key under which the visuals find this chain's audio; returns the object itself
  // (no reference added).
  virtual MVisualEndpoint* SetKey(uint32_t key) = 0;

 protected:
  ~MVisualEndpoint() = default;
};

}  // namespace vk2

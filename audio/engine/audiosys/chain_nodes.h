// The chain nodes the audio system makes on request.
#pragma once

#include <cstdint>

namespace vk2 {

class MPacketPool;

// A new output node (MOutputNode) drawing its silence packets from `pool`.
int32_t CreateOutputNode(MPacketPool* pool, void** out);
// A new device-less endpoint (MAudioModule) for chains that are only built and inspected.
int32_t CreateEndpointNode(void** out);

}  // namespace vk2

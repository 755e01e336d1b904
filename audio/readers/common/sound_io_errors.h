// The "SoundIO" error table of the reader module, shared by its readers: registered by the
// file reader's constructor right after the MediaSystem table.
#pragma once

#include <cstdint>

namespace vk2 {

class MErrorRegistry;

enum SoundIoEntry : uint32_t {
  kSoundIoDisconnected = 0,  // "the connection to the data source was disconnected unexpectedly"
  kSoundIoUnknownSize = 1,   // "the size of the data being read is unknown"
};

inline constexpr char kSoundIoTable[] = "SoundIO";

void RegisterSoundIoTable(MErrorRegistry* registry);
int32_t SoundIoError(SoundIoEntry entry);

}  // namespace vk2

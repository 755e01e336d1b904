// The WAVE decoder's reading of arbitrary bytes: headers, format records, data sizes that do
// not match the file, conversion, seeks. Every path ends in an answer: no crash, no hang, no
// huge allocation.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "audio/decoders/wave/wave_stream.h"
#include "foundation/bytes/byte_source.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  // The first byte chooses how the source behaves and where to seek.
  const uint8_t control = data[0];
  vk2::MemoryByteSource source(data + 1, size - 1, (control & 1) != 0);
  vk2::WaveStream stream;
  const bool probe = (control & 2) != 0;
  if (stream.Open(source, probe) != vk2::WaveOpenError::kNone || probe) return 0;
  std::vector<uint8_t> buffer(stream.MaxPacketBytes());
  for (int packets = 0; packets < 4096; ++packets) {
    vk2::WavePacket packet;
    if (stream.Read(buffer.data(), packet) < 0 || packet.last) break;
    if (packets == 3 && (control & 4)) stream.SeekSeconds((control >> 3) * 0.05);
  }
  stream.SeekSeconds(1e12);
  vk2::WavePacket packet;
  stream.Read(buffer.data(), packet);
  return 0;
}

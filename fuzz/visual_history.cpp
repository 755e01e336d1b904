// The visuals' audio history reads audio of any format the chain announces: a format, packets
// of any length and reads and fetches at any positions are handled without harm, and every
// record that comes back is fully written.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "visual/audio_history.h"

namespace {

uint32_t Take(const uint8_t*& data, size_t& size, size_t bytes) {
  uint32_t v = 0;
  for (size_t i = 0; i < bytes && size > 0; ++i, ++data, --size)
    v |= static_cast<uint32_t>(*data) << (8 * i);
  return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vk2::RefPtr<vk2::VisualAudioHistory> history = vk2::VisualAudioHistory::Make();
  const uint32_t channels = Take(data, size, 1) % 9;
  const uint32_t rate = Take(data, size, 3);
  const uint32_t bits = Take(data, size, 1) % 72;
  const bool isFloat = Take(data, size, 1) & 1;
  history->SetFormat(1, channels, rate, bits, isFloat);
  VisualAudioRecord record;
  int8_t samples[600];
  while (size > 0) {
    const uint32_t op = Take(data, size, 1) % 4;
    const int64_t position = static_cast<int32_t>(Take(data, size, 4));
    if (op == 0) {
      const uint32_t length = Take(data, size, 2) % 4096;
      const uint32_t available = static_cast<uint32_t>(size < length ? size : length);
      history->Append(1, data, available);
      data += available;
      size -= available;
    } else if (op == 1) {
      history->Trim(1, position);
    } else if (op == 2) {
      std::memset(&record, 0xAB, sizeof record);
      if (history->Fetch(1, Take(data, size, 2), position, kVisualWantsSpectrum, &record)) {
        // Mono audio repeats its channel; nothing is left as it was before the call.
        if (channels == 1 && std::memcmp(record.waveform[0], record.waveform[1], 512) != 0) {
          std::abort();
        }
      }
    } else {
      history->Read(1, Take(data, size, 1) % 3, position, Take(data, size, 2) % 600, samples);
    }
  }
  return 0;
}

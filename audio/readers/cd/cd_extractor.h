// `CDExtractor`: the stream reader for audio CD tracks. It hands out linear audio (44100 Hz,
// 2 channels, 16-bit signed) read raw from the drive by a buffer thread, so the chain connects
// it straight to filters and the endpoint.
#pragma once

#include <cstdint>
#include <memory>

#include "audio/readers/cd/cd_track_stream.h"
#include "audio/readers/common/stream_reader_base.h"
#include "platform/cd/cd_drive.h"
#include "platform/critical_section.h"

namespace vk2 {

class CDExtractor final : public StreamReaderBase {
 public:
  // `catalog`: where drives are listed and opened (the machine's own by default).
  explicit CDExtractor(std::shared_ptr<CdDriveCatalog> catalog = SystemCdCatalog());

  int32_t StateChange(int32_t state) override;
  // Moves to the sector that holds `seconds` (clamped to the track).
  int32_t Seek(double seconds, uint32_t flags, uint32_t flush) override;

  int32_t CanRead(const char16_t* url, uint32_t* score1, uint32_t* score2) override;
  int32_t GetAccessCost(const char16_t* url) override;
  int32_t Open(const char16_t* url) override;
  int32_t Close() override;
  int32_t GetSize(int64_t* total, int64_t* available) override;
  int32_t ReadAt(int64_t offset, void* buffer, uint32_t length, uint32_t* count) override;
  bool IsSeekable() override { return true; }
  int32_t GetPosition(int64_t* position) override;
  int32_t SetPosition(int64_t offset) override;

  // For tests: whether the buffer thread runs now.
  bool IsBuffering() const { return stream_.IsRunning(); }

 private:
  ~CDExtractor() override;

  PacketBytes ReadForPacket(uint8_t* data, uint32_t capacity, Event* abort) override;
  void AddProperties();

  std::shared_ptr<CdDriveCatalog> catalog_;
  CriticalSection lock_;  // open state and state changes; taken before the status lock
  CdTrackStream stream_;
  bool open_ = false;
  int64_t sectorCount_ = 0;
};

}  // namespace vk2

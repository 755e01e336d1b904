// `FileReader`: the stream reader for "file://" URLs, local files and files on network shares.
// It reads on the thread that pulls packets or, with read buffering enabled, through a
// read-ahead thread that keeps a ring filled while the chain plays.
#pragma once

#include <cstdint>

#include "audio/readers/common/stream_reader_base.h"
#include "audio/readers/file/read_ahead_file.h"
#include "foundation/text/tstring.h"
#include "platform/critical_section.h"

namespace vk2 {

// Read-buffer settings and their limits.
inline constexpr int32_t kDefaultReadBufferSize = 262144;
inline constexpr int32_t kDefaultReadBufferChunk = 65536;
inline constexpr int32_t kMinReadBufferSize = 8192;

class FileReader final : public StreamReaderBase {
 public:
  FileReader();

  int32_t StateChange(int32_t state) override;
  // Moves nothing (decoders move the reader through SetPosition); clears end-reached.
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

  // For tests: whether the read-ahead thread runs now.
  bool IsReadAheadRunning() const { return file_.IsReadAheadRunning(); }

 private:
  ~FileReader() override;

  PacketBytes ReadForPacket(uint8_t* data, uint32_t capacity, Event* abort) override;
  void AddProperties();
  int32_t SetBufferSize(int32_t size);
  int32_t SetBufferChunk(int32_t chunk);
  // The three settings as one group, so that stored values never depend on the order in
  // which they are applied.
  void ApplySettings(const LoadedSettings& loaded);

  CriticalSection lock_;  // open state and state changes; taken before the status lock
  ReadAheadFile file_;
  bool open_ = false;
  CriticalSection propertyLock_;
  TString path_;               // under propertyLock_
  bool otherMachine_ = false;  // under propertyLock_
  bool bufferEnabled_ = false;
  int32_t bufferSize_ = kDefaultReadBufferSize;
  int32_t bufferChunk_ = kDefaultReadBufferChunk;
};

// The scheme test: "file://" in any case.
bool IsFileUrl(const char16_t* url);

}  // namespace vk2

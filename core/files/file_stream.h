// `FileStream`: the small stream the playlist formats read and write. Either a file opened by
// name or a block of memory, with seek, read, write, size, the whole contents as one block and
// the name it was opened under (the playlist path rules take the playlist's folder from it).
// Positions and sizes are 64-bit.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/text/tstring.h"

namespace vk2 {

enum FileOpenFlags : uint32_t {
  kOpenRead = 0x1,
  kOpenWrite = 0x2,  // without it the stream is read-only
  kOpenShareRead = 0x4,
  kOpenShareWrite = 0x8,
  kOpenCreateNew = 0x00,     // fails when the file exists
  kOpenCreateAlways = 0x10,  // create or truncate
  kOpenExisting = 0x20,
  kOpenAlways = 0x30,  // open or create
  kOpenDispositionMask = 0x30,
  kOpenRandomAccess = 0x40,
  kOpenSequential = 0x80,  // only without kOpenRandomAccess
};

enum SeekOrigin : int32_t {
  kSeekStart = 0,
  kSeekEnd = 1,
  kSeekCurrent = 2,
};

class FileStream {
 public:
  // Asked to enlarge a memory block to `newSize` bytes; replaces *block and answers success.
  using GrowCallback = bool (*)(void* context, uint8_t** block, uint64_t oldSize, uint64_t newSize);

  FileStream() = default;
  ~FileStream() { Close(); }
  FileStream(const FileStream&) = delete;
  FileStream& operator=(const FileStream&) = delete;

  // Closes what was open and opens the file (UTF-8 on the system side). False, and closed,
  // when the name is empty, the file cannot be opened or it is a folder.
  bool Open(const TString& name, uint32_t flags);
  // A stream over caller-owned memory. Without a grow callback writes stop at the block's end.
  // `name` is what GetName answers (empty: a stream over memory without a folder).
  void OpenMemory(uint8_t* block, uint64_t size, bool readOnly, GrowCallback grow = nullptr,
                  void* growContext = nullptr, const TString& name = TString());
  // A writable memory stream over a buffer the stream owns and grows; see Buffer().
  void OpenBuffer(const TString& name = TString());
  // Answers whether anything was open.
  bool Close();
  bool IsOpen() const { return fd_ >= 0 || memory_ || owned_; }

  // The new position, or -1 (unchanged) for a bad origin or a position before the start.
  // From the end means size + offset, for files and memory alike.
  int64_t Seek(int64_t offset, int32_t origin);
  // False when nothing could be read (at or past the end, or an error).
  bool Read(void* buffer, uint64_t count, uint64_t* read);
  // False when nothing could be written as asked; a memory block without a grow callback
  // takes only what fits, which shows in *written.
  bool Write(const void* buffer, uint64_t count, uint64_t* written);
  bool GetSize(uint64_t* size);
  // The whole contents as one block: the memory itself, or the file read once and kept until
  // as many ReleaseContents as GetContents calls. False when the file cannot be read or is
  // larger than kMaxContents.
  bool GetContents(const uint8_t** data, uint64_t* size);
  void ReleaseContents();
  TString GetName() const { return name_; }
  // The owned buffer of OpenBuffer.
  const std::vector<uint8_t>& Buffer() const { return buffer_; }

  static constexpr uint64_t kMaxContents = uint64_t{1} << 30;

 private:
  uint8_t* MemoryData() { return owned_ ? buffer_.data() : memory_; }
  bool EnsureMemory(uint64_t end);

  int fd_ = -1;
  TString name_;
  uint8_t* memory_ = nullptr;
  bool owned_ = false;
  std::vector<uint8_t> buffer_;
  std::vector<uint8_t> contents_;
  uint32_t contentsHolds_ = 0;
  uint64_t memorySize_ = 0;
  uint64_t position_ = 0;
  bool readOnly_ = true;
  GrowCallback grow_ = nullptr;
  void* growContext_ = nullptr;
};

}  // namespace vk2

// The file wrapper the init script and the preference panes read through: opened by a flag word
// (access, sharing, disposition, access-pattern hints), its handle shared by copies.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "foundation/text/tstring.h"

namespace vk2::gui {

// Flag word of FileStream::Open.
inline constexpr uint32_t kFileRead = 0x1;
inline constexpr uint32_t kFileWrite = 0x2;
inline constexpr uint32_t kFileShareRead = 0x4;
inline constexpr uint32_t kFileShareWrite = 0x8;
inline constexpr uint32_t kFileDispositionMask = 0x30;
inline constexpr uint32_t kFileCreateNew = 0x00;
inline constexpr uint32_t kFileCreateAlways = 0x10;
inline constexpr uint32_t kFileOpenExisting = 0x20;
inline constexpr uint32_t kFileOpenAlways = 0x30;
inline constexpr uint32_t kFileRandomAccess = 0x40;
inline constexpr uint32_t kFileSequentialAccess = 0x80;
// What every reader here passes: read, share reading, open existing.
inline constexpr uint32_t kFileReadExisting = kFileRead | kFileShareRead | kFileOpenExisting;

class FileStream {
 public:
  // Closes any open file first. 0, or kErrCannotOpen (or kErrMissingArg for an empty path or
  // neither read nor write asked for).
  int32_t Open(const TString& path, uint32_t flags);
  void Close();
  bool IsOpen() const { return handle_ != nullptr; }
  // Without write access.
  bool IsReadOnly() const { return readOnly_; }
  const TString& Name() const { return name_; }
  // Bytes moved, or -1.
  int64_t Read(void* buffer, uint64_t count);
  int64_t Write(const void* buffer, uint64_t count);
  // The file's whole content from the start; false when it cannot be read.
  bool ReadAll(std::string* out);

 private:
  struct Handle {
    int fd = -1;
    ~Handle();
  };
  std::shared_ptr<Handle> handle_;
  TString name_;
  bool readOnly_ = true;
};

}  // namespace vk2::gui

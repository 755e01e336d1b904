// An archive of named files: a zip archive or a plain folder, answering alike. Names use '/'
// (a '\\' is read as '/'), match without regard to ASCII case when no exact match exists, and
// never reach outside the archive: absolute names and ".." components are refused.
#pragma once

#include <cstdint>

#include "foundation/text/tstring.h"
#include "foundation/util/result.h"
#include "interfaces/unknown.h"

namespace vk2 {

// One opened member, read fully into memory.
class MResourceStream : public MUnknown {
 public:
  virtual uint64_t Size() = 0;
  virtual const uint8_t* Data() = 0;
  // Bytes read from the current position (0 at the end).
  virtual int64_t Read(void* buffer, uint64_t count) = 0;
  // Absolute position; -1 beyond the end.
  virtual int32_t Seek(uint64_t position) = 0;
  virtual uint64_t Position() = 0;

 protected:
  ~MResourceStream() = default;
};

class MResourceFile : public MUnknown {
 public:
  // Member names (files only, '/'-separated, relative); -5 past the end.
  virtual int32_t GetMemberName(uint32_t index, NarrowString* name) = 0;
  // -17 when the archive has no such member, -9 for a refused name.
  virtual int32_t OpenResource(const char* name, MResourceStream** stream) = 0;
  virtual int32_t Close() = 0;
  // A zip archive held in memory; `copy` false keeps pointing at the caller's bytes, which must
  // then outlive the archive.
  virtual bool OpenMemory(const void* data, uint64_t size, bool copy) = 0;
  // A zip file or a folder on disk.
  virtual bool OpenFile(const char16_t* path) = 0;

 protected:
  ~MResourceFile() = default;
};

}  // namespace vk2

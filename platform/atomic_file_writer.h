// A file replaced atomically from contents that arrive piece by piece (a download, a document
// written as it is made). The pieces go to a claimed temporary file in the target's folder;
// Commit flushes it to disk and renames it over the target, Abandon (or destruction before a
// Commit) removes it. Readers, and a crash at any moment, see the old file or the whole new
// one, never a part; a writer killed half-way leaves only a temporary that the next sweep of
// dead temporaries removes.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>
#include <system_error>

namespace vk2 {

class AtomicFileWriter {
 public:
  AtomicFileWriter() = default;
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;
  ~AtomicFileWriter() { Abandon(); }

  // Starts a replacement of `path`. An existing file keeps its permission bits; a new one gets
  // `newFileMode`. A symbolic link is followed, so the file it names is replaced and the link
  // stays.
  std::error_code Begin(const std::string& path, mode_t newFileMode = 0600);
  std::error_code Write(std::string_view piece);
  // Puts everything written in place of the target. On failure the old file is untouched and
  // the temporary is gone.
  std::error_code Commit();
  // Drops what was written; the target stays as it was.
  void Abandon();

  bool IsOpen() const { return fd_ >= 0; }
  // The temporary being written (empty when none).
  const std::string& TemporaryPath() const { return temp_; }

 private:
  int fd_ = -1;
  mode_t mode_ = 0600;
  std::string target_;
  std::string folder_;
  std::string temp_;
};

// True for the names the writer gives its temporary files (".<name>.tmp-XXXXXX").
bool IsAtomicWriteTemporary(std::string_view name);

}  // namespace vk2

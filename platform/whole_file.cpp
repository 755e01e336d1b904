#include "platform/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/atomic_file_writer.h"
#include "platform/file_claim.h"

namespace vk2 {
namespace {

std::error_code Errno(int err) {
  return {err, std::generic_category()};
}

// Closes on every path out.
class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

std::error_code ReadWholeFile(const std::string& path, std::string* contents, uint64_t maxBytes) {
  Fd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) return Errno(errno);
  struct stat st {};
  if (fstat(fd.get(), &st) != 0) return Errno(errno);
  if (S_ISDIR(st.st_mode)) return Errno(EISDIR);
  if (S_ISREG(st.st_mode) && static_cast<uint64_t>(st.st_size) > maxBytes) return Errno(EFBIG);
  std::string data;
  if (S_ISREG(st.st_mode)) data.reserve(static_cast<size_t>(st.st_size));
  char buffer[65536];
  for (;;) {
    const ssize_t n = read(fd.get(), buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      return Errno(errno);
    }
    if (n == 0) break;
    // Files that grow while read, and pipes, are held to the same limit.
    if (data.size() + static_cast<uint64_t>(n) > maxBytes) return Errno(EFBIG);
    data.append(buffer, static_cast<size_t>(n));
  }
  *contents = std::move(data);
  return {};
}

std::error_code WriteFileAtomic(const std::string& path, std::string_view contents,
                                mode_t newFileMode) {
  AtomicFileWriter writer;
  if (std::error_code ec = writer.Begin(path, newFileMode)) return ec;
  if (std::error_code ec = writer.Write(contents)) return ec;
  return writer.Commit();
}

size_t RemoveDeadTemporaries(const std::string& folder) {
  return RemoveUnclaimedFiles(folder, IsAtomicWriteTemporary);
}

}  // namespace vk2

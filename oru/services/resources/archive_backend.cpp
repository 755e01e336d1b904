#include "oru/services/resources/archive_backend.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "foundation/util/result.h"
#include "interfaces/runtime/resource_file.h"
#include "oru/services/resources/member_names.h"

namespace vk2::oru {
namespace {

constexpr int kMaxFolderDepth = 32;
constexpr size_t kMaxFolderEntries = 100000;

// Zip members are read this much at a time.
constexpr uint64_t kReadStepBytes = 64 << 10;
// Deflate cannot expand data more than 1032 times (258 bytes from one 2-bit code, at best).
constexpr uint64_t kMaxDeflateRatio = 1032;

// Whether a member's stated size fits its compressed data: a stored member is exactly its
// data, a deflated one at most kMaxDeflateRatio times it. Other methods are read in steps and
// stop where their data does.
bool PlausibleMemberSize(const zip_stat_t& st) {
  if (!(st.valid & ZIP_STAT_COMP_SIZE) || !(st.valid & ZIP_STAT_COMP_METHOD)) return true;
  switch (st.comp_method) {
    case ZIP_CM_STORE:
      return st.size == st.comp_size;
    case ZIP_CM_DEFLATE:
      return st.size / kMaxDeflateRatio <= st.comp_size;
    default:
      return true;
  }
}

}  // namespace

// ---- Zip -----------------------------------------------------------------------------------

ZipBackend::ZipBackend(zip* archive, std::shared_ptr<std::vector<uint8_t>> owned)
    : archive_(archive), owned_(std::move(owned)) {
  zip_int64_t count = zip_get_num_entries(archive_, 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    const char* raw = zip_get_name(archive_, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_GUESS);
    if (!raw) continue;
    std::string_view rawName(raw);
    // Folder entries are not members; names that would leave the archive are never offered.
    if (!rawName.empty() && (rawName.back() == '/' || rawName.back() == '\\')) continue;
    std::string name;
    if (!NormalizeMemberName(rawName, &name)) continue;
    if (indexOf_.emplace(name, static_cast<uint64_t>(i)).second) names_.push_back(name);
  }
}

ZipBackend::~ZipBackend() {
  if (archive_) zip_discard(archive_);
}

std::unique_ptr<ZipBackend> ZipBackend::OpenFile(const std::string& path) {
  int error = 0;
  zip* archive = zip_open(path.c_str(), ZIP_RDONLY, &error);
  if (!archive) return nullptr;
  return std::unique_ptr<ZipBackend>(new ZipBackend(archive, nullptr));
}

std::unique_ptr<ZipBackend> ZipBackend::OpenMemory(const uint8_t* data, uint64_t size,
                                                   std::shared_ptr<std::vector<uint8_t>> owned) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_buffer_create(data, size, 0, &error);
  if (!source) {
    zip_error_fini(&error);
    return nullptr;
  }
  zip* archive = zip_open_from_source(source, ZIP_RDONLY, &error);
  zip_error_fini(&error);
  if (!archive) {
    zip_source_free(source);
    return nullptr;
  }
  return std::unique_ptr<ZipBackend>(new ZipBackend(archive, std::move(owned)));
}

int32_t ZipBackend::Read(const std::string& name, std::vector<uint8_t>* data) {
  auto it = indexOf_.find(name);
  if (it == indexOf_.end()) return kErrResourceNotFound;
  std::lock_guard lock(mutex_);
  zip_stat_t st;
  zip_stat_init(&st);
  if (zip_stat_index(archive_, it->second, 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE)) {
    return kErrCannotRead;
  }
  if (st.size > kMaxMemberBytes) return kErrBadData;
  if (!PlausibleMemberSize(st)) return kErrCannotRead;
  zip_file_t* file = zip_fopen_index(archive_, it->second, 0);
  if (!file) return kErrCannotRead;
  // The stated size is only a claim: the member grows as its bytes really arrive.
  std::vector<uint8_t> bytes;
  bytes.reserve(static_cast<size_t>(std::min<uint64_t>(st.size, kReadStepBytes)));
  uint64_t done = 0;
  while (done < st.size) {
    const uint64_t step = std::min<uint64_t>(st.size - done, kReadStepBytes);
    bytes.resize(static_cast<size_t>(done + step));
    const zip_int64_t n = zip_fread(file, bytes.data() + done, step);
    if (n <= 0) break;
    done += static_cast<uint64_t>(n);
  }
  bytes.resize(static_cast<size_t>(done));
  // A member whose data ends early, or fails its checksum, is damaged: none of it is handed out.
  uint8_t extra = 0;
  bool overlong = done == st.size && zip_fread(file, &extra, 1) > 0;
  bool failed = zip_fclose(file) != 0;
  if (done != st.size || overlong || failed) return kErrCannotRead;
  *data = std::move(bytes);
  return 0;
}

// ---- Folder --------------------------------------------------------------------------------

std::unique_ptr<FolderBackend> FolderBackend::Open(const std::string& path) {
  char buffer[PATH_MAX];
  if (!::realpath(path.c_str(), buffer)) return nullptr;
  struct stat st {};
  if (::stat(buffer, &st) != 0 || !S_ISDIR(st.st_mode)) return nullptr;
  std::unique_ptr<FolderBackend> folder(new FolderBackend(buffer));
  folder->Scan("", 0);
  return folder;
}

void FolderBackend::Scan(const std::string& relative, int depth) {
  if (depth > kMaxFolderDepth) return;
  std::string folder = relative.empty() ? root_ : root_ + "/" + relative;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  std::vector<std::string> entries;
  while (dirent* e = ::readdir(dir)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    entries.push_back(name);
  }
  ::closedir(dir);
  std::sort(entries.begin(), entries.end());
  for (const std::string& name : entries) {
    if (names_.size() >= kMaxFolderEntries) return;
    std::string child = relative.empty() ? name : relative + "/" + name;
    struct stat st {};
    // Symbolic links are not followed while listing, so a link cannot make the walk endless.
    if (::lstat((root_ + "/" + child).c_str(), &st) != 0) continue;
    if (S_ISDIR(st.st_mode)) {
      Scan(child, depth + 1);
    } else if (S_ISREG(st.st_mode)) {
      names_.push_back(child);
    }
  }
}

int32_t FolderBackend::Read(const std::string& name, std::vector<uint8_t>* data) {
  std::string path = root_ + "/" + name;
  char buffer[PATH_MAX];
  if (!::realpath(path.c_str(), buffer)) return kErrResourceNotFound;
  // The file must really lie inside the folder, whatever links the name passes through.
  std::string real = buffer;
  if (real.compare(0, root_.size() + 1, root_ + "/") != 0) return kErrResourceNotFound;
  int fd = ::open(real.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return kErrResourceNotFound;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return kErrResourceNotFound;
  }
  if (static_cast<uint64_t>(st.st_size) > kMaxMemberBytes) {
    ::close(fd);
    return kErrBadData;
  }
  std::vector<uint8_t> bytes;
  bytes.reserve(static_cast<size_t>(st.st_size));
  uint8_t chunk[65536];
  for (;;) {
    ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0) {
      ::close(fd);
      return kErrCannotRead;
    }
    if (n == 0) break;
    if (bytes.size() + static_cast<size_t>(n) > kMaxMemberBytes) {
      ::close(fd);
      return kErrBadData;
    }
    bytes.insert(bytes.end(), chunk, chunk + n);
  }
  ::close(fd);
  *data = std::move(bytes);
  return 0;
}

// ---- Memory --------------------------------------------------------------------------------

void MemoryBackend::Add(const std::string& name, std::vector<uint8_t> data) {
  if (members_.find(name) == members_.end()) names_.push_back(name);
  members_[name] = std::move(data);
}

int32_t MemoryBackend::Read(const std::string& name, std::vector<uint8_t>* data) {
  auto it = members_.find(name);
  if (it == members_.end()) return kErrResourceNotFound;
  *data = it->second;
  return 0;
}

}  // namespace vk2::oru

// Where an archive's members come from: a zip file or buffer, a folder, or members in memory.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

struct zip;

namespace vk2::oru {

// Members larger than this are refused rather than read into memory.
inline constexpr uint64_t kMaxMemberBytes = 512ull << 20;

class ArchiveBackend {
 public:
  virtual ~ArchiveBackend() = default;
  // Normalised names of the files, in archive order.
  virtual const std::vector<std::string>& Names() const = 0;
  // Reads a member by one of the names above. Negative on failure.
  virtual int32_t Read(const std::string& name, std::vector<uint8_t>* data) = 0;
};

class ZipBackend final : public ArchiveBackend {
 public:
  // Null when the bytes or file are not a zip archive. `owned` keeps the buffer alive.
  static std::unique_ptr<ZipBackend> OpenFile(const std::string& path);
  static std::unique_ptr<ZipBackend> OpenMemory(const uint8_t* data, uint64_t size,
                                                std::shared_ptr<std::vector<uint8_t>> owned);
  ~ZipBackend() override;

  const std::vector<std::string>& Names() const override { return names_; }
  int32_t Read(const std::string& name, std::vector<uint8_t>* data) override;

 private:
  explicit ZipBackend(zip* archive, std::shared_ptr<std::vector<uint8_t>> owned);

  std::mutex mutex_;
  zip* archive_;
  std::shared_ptr<std::vector<uint8_t>> owned_;
  std::vector<std::string> names_;
  std::map<std::string, uint64_t> indexOf_;
};

class FolderBackend final : public ArchiveBackend {
 public:
  static std::unique_ptr<FolderBackend> Open(const std::string& path);

  const std::vector<std::string>& Names() const override { return names_; }
  int32_t Read(const std::string& name, std::vector<uint8_t>* data) override;

 private:
  explicit FolderBackend(std::string root) : root_(std::move(root)) {}
  void Scan(const std::string& relative, int depth);

  std::string root_;  // canonical
  std::vector<std::string> names_;
};

class MemoryBackend final : public ArchiveBackend {
 public:
  void Add(const std::string& name, std::vector<uint8_t> data);

  const std::vector<std::string>& Names() const override { return names_; }
  int32_t Read(const std::string& name, std::vector<uint8_t>* data) override;

 private:
  std::vector<std::string> names_;
  std::map<std::string, std::vector<uint8_t>> members_;
};

}  // namespace vk2::oru

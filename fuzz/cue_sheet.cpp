// CUE sheets through the CD layer: any sheet beside a small image opens as a disc with a sound
// table of contents, or is refused; every track it lists reads or fails cleanly.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/cd/cd_drive.h"

namespace {

constexpr uint32_t kImageSectors = 16;
constexpr uint32_t kSectorsPerRead = 4;

// A private folder holding the sheet under test and the image it may name ("disc.bin").
const std::string& Folder() {
  // Never destroyed: the clean-up at exit still needs it.
  static const std::string* const folder = [] {
    // In memory where the system offers it: every input is written to a file and read back.
    char inMemory[] = "/dev/shm/vk2-fuzz-cue-XXXXXX";
    char onDisk[] = "/tmp/vk2-fuzz-cue-XXXXXX";
    const char* name = mkdtemp(inMemory) ? inMemory : mkdtemp(onDisk);
    if (!name) std::abort();
    const std::string path = name;
    std::vector<uint8_t> image(size_t{kImageSectors} * vk2::kCdSectorBytes);
    for (size_t i = 0; i < image.size(); ++i)
      image[i] = static_cast<uint8_t>(i * 7);
    FILE* bin = std::fopen((path + "/disc.bin").c_str(), "wb");
    if (!bin || std::fwrite(image.data(), 1, image.size(), bin) != image.size()) std::abort();
    std::fclose(bin);
    std::atexit([] {
      unlink((Folder() + "/disc.cue").c_str());
      unlink((Folder() + "/disc.bin").c_str());
      rmdir(Folder().c_str());
    });
    return new std::string(path);
  }();
  return *folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string sheet = Folder() + "/disc.cue";
  FILE* file = std::fopen(sheet.c_str(), "wb");
  if (!file) std::abort();
  const bool written = std::fwrite(data, 1, size, file) == size;
  if (std::fclose(file) != 0 || !written) std::abort();
  vk2::CdOpenStatus status = vk2::CdOpenStatus::kOk;
  std::unique_ptr<vk2::CdDrive> drive = vk2::OpenCdioDrive(sheet, &status);
  if (!drive) {
    if (status == vk2::CdOpenStatus::kOk) std::abort();
    return 0;
  }
  vk2::CdToc toc;
  if (!drive->ReadToc(&toc) || toc.tracks.empty()) std::abort();
  std::vector<uint8_t> sectors(size_t{kSectorsPerRead} * vk2::kCdSectorBytes);
  for (const vk2::CdTrack& track : toc.tracks) {
    if (track.sectorCount < 0 || track.firstSector < 0) std::abort();
    const int64_t count = std::min<int64_t>(track.sectorCount, kSectorsPerRead);
    if (count > 0)
      drive->ReadAudio(track.firstSector, static_cast<uint32_t>(count), sectors.data());
  }
  return 0;
}

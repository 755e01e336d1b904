// Raw access to audio CDs: a drive (or a disc image standing in for one) gives its table of
// contents and reads whole 2352-byte audio sectors; a catalog lists the drives and opens them.
// The system catalog works through libcdio on the drives' device nodes and on BIN/CUE images.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vk2 {

inline constexpr uint32_t kCdSectorBytes = 2352;
inline constexpr uint32_t kCdSectorsPerSecond = 75;
// 44100 Hz, 2 channels, 16 bits: 588 frames of 4 bytes per sector.
inline constexpr uint32_t kCdFramesPerSector = 588;
inline constexpr uint32_t kCdFrameBytes = 4;
inline constexpr uint32_t kCdSampleRate = 44100;

struct CdTrack {
  int32_t number = 0;
  int64_t firstSector = 0;  // logical sector, 0 at the start of the program area
  int64_t sectorCount = 0;
  bool audio = true;
};

struct CdToc {
  std::vector<CdTrack> tracks;  // in disc order
  // The track numbered `number`, or null.
  const CdTrack* Find(int32_t number) const {
    for (const CdTrack& t : tracks) {
      if (t.number == number) return &t;
    }
    return nullptr;
  }
};

enum class CdReadStatus {
  kOk,
  kDeviceError,  // the drive failed this read; another try may work
  kFailed,       // the request cannot work (not supported, gone, bad range)
};

enum class CdOpenStatus {
  kOk,
  kNoSuchDevice,  // nothing at that path
  kNotACdDrive,   // something there, but neither a CD drive nor a disc image
  kNoDisc,        // a drive without a readable disc in it
};

// What a failed open means, for logs and messages.
const char* CdOpenStatusText(CdOpenStatus status);

class CdDrive {
 public:
  virtual ~CdDrive() = default;
  // The disc's table of contents; false when it cannot be read.
  virtual bool ReadToc(CdToc* toc) = 0;
  // `count` raw audio sectors from `firstSector` into `out` (count × 2352 bytes): little-endian
  // 16-bit stereo samples as they lie on the disc. One thread at a time.
  virtual CdReadStatus ReadAudio(int64_t firstSector, uint32_t count, uint8_t* out) = 0;
};

class CdDriveCatalog {
 public:
  virtual ~CdDriveCatalog() = default;
  // Device paths (or images) of the drives, first drive first.
  virtual std::vector<std::string> ListDrives() = 0;
  // Null with `status` telling why when it cannot be opened.
  virtual std::unique_ptr<CdDrive> Open(const std::string& device, CdOpenStatus* status) = 0;
};

// The drives of this machine through libcdio. When VK2_CD_DEVICE is set, it names the one drive
// (a device node or a ".cue" image) in place of the machine's own.
std::shared_ptr<CdDriveCatalog> SystemCdCatalog();

// Opens a device node or a ".cue" image through libcdio, whatever the catalog lists.
std::unique_ptr<CdDrive> OpenCdioDrive(const std::string& device, CdOpenStatus* status);

}  // namespace vk2

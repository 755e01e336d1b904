#include <cdio/cdio.h>
#include <cdio/logging.h>
#include <fcntl.h>
#include <linux/cdrom.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <mutex>

#include "platform/cd/cd_drive.h"
#include "platform/environment.h"

namespace vk2 {
namespace {

// libcdio reports every failed probe on stderr; the callers report failures themselves.
void QuietLog(cdio_log_level_t, const char*) {}

void SilenceLibcdio() {
  static std::once_flag once;
  std::call_once(once, [] { cdio_log_set_handler(QuietLog); });
}

bool EndsWith(const std::string& s, const std::string& tail) {
  if (s.size() < tail.size()) return false;
  for (size_t i = 0; i < tail.size(); ++i) {
    char a = s[s.size() - tail.size() + i];
    if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
    if (a != tail[i]) return false;
  }
  return true;
}

// Whether the node is a CD drive: only those answer the capability request.
bool IsCdDriveNode(const std::string& device) {
  const int fd = open(device.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  const bool cd = ioctl(fd, CDROM_GET_CAPABILITY, 0) >= 0;
  close(fd);
  return cd;
}

class CdioDrive final : public CdDrive {
 public:
  explicit CdioDrive(CdIo_t* cdio) : cdio_(cdio) {}
  ~CdioDrive() override { cdio_destroy(cdio_); }
  CdioDrive(const CdioDrive&) = delete;
  CdioDrive& operator=(const CdioDrive&) = delete;

  bool ReadToc(CdToc* toc) override {
    toc->tracks.clear();
    const track_t first = cdio_get_first_track_num(cdio_);
    const track_t count = cdio_get_num_tracks(cdio_);
    if (first == CDIO_INVALID_TRACK || count == CDIO_INVALID_TRACK || count == 0) return false;
    const lsn_t leadOut = cdio_get_track_lsn(cdio_, CDIO_CDROM_LEADOUT_TRACK);
    if (leadOut == CDIO_INVALID_LSN) return false;
    for (unsigned i = 0; i < count; ++i) {
      const auto number = static_cast<track_t>(first + i);
      const lsn_t start = cdio_get_track_lsn(cdio_, number);
      const lsn_t next =
          i + 1 < count ? cdio_get_track_lsn(cdio_, static_cast<track_t>(number + 1)) : leadOut;
      // A sheet may place a track before the program area, where nothing can be read.
      if (start == CDIO_INVALID_LSN || next == CDIO_INVALID_LSN || start < 0 || next < start) {
        return false;
      }
      CdTrack t;
      t.number = number;
      t.firstSector = start;
      t.sectorCount = next - start;
      t.audio = cdio_get_track_format(cdio_, number) == TRACK_FORMAT_AUDIO;
      toc->tracks.push_back(t);
    }
    return true;
  }

  CdReadStatus ReadAudio(int64_t firstSector, uint32_t count, uint8_t* out) override {
    if (firstSector < 0 || firstSector > INT32_MAX || count == 0 || count > 0xFFFF) {
      return CdReadStatus::kFailed;
    }
    const driver_return_code_t r =
        cdio_read_audio_sectors(cdio_, out, static_cast<lsn_t>(firstSector), count);
    if (r == DRIVER_OP_SUCCESS) return CdReadStatus::kOk;
    // A plain error is the drive's (a scratch, a busy drive); the others never get better.
    return r == DRIVER_OP_ERROR ? CdReadStatus::kDeviceError : CdReadStatus::kFailed;
  }

 private:
  CdIo_t* cdio_;
};

class SystemCatalog final : public CdDriveCatalog {
 public:
  std::vector<std::string> ListDrives() override {
    if (auto chosen = GetEnv("VK2_CD_DEVICE"); chosen && !chosen->empty()) return {*chosen};
    SilenceLibcdio();
    std::vector<std::string> drives;
    char** list = cdio_get_devices(DRIVER_DEVICE);
    if (!list) return drives;
    for (char** d = list; *d; ++d)
      drives.emplace_back(*d);
    cdio_free_device_list(list);
    return drives;
  }
  std::unique_ptr<CdDrive> Open(const std::string& device, CdOpenStatus* status) override {
    return OpenCdioDrive(device, status);
  }
};

}  // namespace

const char* CdOpenStatusText(CdOpenStatus status) {
  switch (status) {
    case CdOpenStatus::kOk:
      return "ready";
    case CdOpenStatus::kNoSuchDevice:
      return "no such CD drive";
    case CdOpenStatus::kNotACdDrive:
      return "not a CD drive";
    case CdOpenStatus::kNoDisc:
      return "no readable audio CD in the drive";
  }
  return "unknown";
}

std::unique_ptr<CdDrive> OpenCdioDrive(const std::string& device, CdOpenStatus* status) {
  CdOpenStatus ignored;
  if (!status) status = &ignored;
  SilenceLibcdio();
  struct stat info {};
  if (device.empty() || stat(device.c_str(), &info) != 0) {
    *status = CdOpenStatus::kNoSuchDevice;
    return nullptr;
  }
  CdIo_t* cdio = nullptr;
  if (EndsWith(device, ".cue")) {
    if (S_ISREG(info.st_mode)) cdio = cdio_open_cue(device.c_str());
  } else if ((S_ISBLK(info.st_mode) || S_ISCHR(info.st_mode)) && IsCdDriveNode(device)) {
    cdio = cdio_open(device.c_str(), DRIVER_DEVICE);
  }
  if (!cdio) {
    *status = CdOpenStatus::kNotACdDrive;
    return nullptr;
  }
  auto drive = std::make_unique<CdioDrive>(cdio);
  // A drive that answers no table of contents holds no readable disc.
  CdToc toc;
  if (!drive->ReadToc(&toc)) {
    *status = CdOpenStatus::kNoDisc;
    return nullptr;
  }
  *status = CdOpenStatus::kOk;
  return drive;
}

std::shared_ptr<CdDriveCatalog> SystemCdCatalog() {
  static const std::shared_ptr<CdDriveCatalog> catalog = std::make_shared<SystemCatalog>();
  return catalog;
}

}  // namespace vk2

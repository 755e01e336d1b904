#include "audio/readers/cd/cd_extractor.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "audio/common/format_record.h"
#include "audio/common/module_identity.h"
#include "audio/readers/cd/cd_errors.h"
#include "audio/readers/cd/cd_url.h"
#include "audio/readers/common/reader_results.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"

namespace vk2 {
namespace {

constexpr int32_t kCdAccessCost = 512;
constexpr double kCdWarmup = 5.0;
// The sectors the open reads to learn whether the drive reads audio raw at all.
constexpr uint32_t kProbeSectors = 4;
constexpr double kBytesPerSecond = double{kCdSampleRate} * kCdFrameBytes;

// A problem the user must hear of even without a window: the drive cannot do what playing
// needs. Such messages always go to stderr.
void TellUser(const char* caption, const std::string& text) {
  std::fprintf(stderr, "%s %s\n", caption, text.c_str());
}

}  // namespace

CDExtractor::CDExtractor(std::shared_ptr<CdDriveCatalog> catalog)
    : StreamReaderBase(kIID_MStreamReader,
                       MakePcmFormat(kCdSampleRate, 2, 16, /*isFloat=*/false, /*isSigned=*/true)),
      catalog_(std::move(catalog)) {
  RegisterCdErrorsTable(errors_.Registry());
  AddProperties();
}

CDExtractor::~CDExtractor() {
  stream_.Detach();
}

void CDExtractor::AddProperties() {
  table_.AddIdentity(u"CDExtractor", u"CD digital audio reader", 1.0);
  table_.AddWarmupTime(kCdWarmup);
  // The track's address is in the URL the chain holds; the reader keeps no text of it.
  table_.AddString(u"url", kPropDeviceName, u"the source of the data which is to be decoded",
                   [](TString* v) {
                     *v = TString();
                     return kOk;
                   });
  table_.AddNumber(u"totaltime", kPropNumber, nullptr, [this](double* v) {
    if (State() == kChainStopped) return MediaError(kMsWrongState);
    ScopedLock lock(lock_);
    if (!open_) return kReaderNotOpen;
    *v = static_cast<double>(sectorCount_) / kCdSectorsPerSecond;
    return kOk;
  });
  AddStreamIdProperty();
}

int32_t CDExtractor::StateChange(int32_t state) {
  if (!IsKnownChainState(state)) return MediaError(kMsUnknownState);
  ScopedLock lock(lock_);
  const int32_t old = State();
  if (old == kChainStopped && state != kChainStopped) {
    // Nothing to buffer without a track; a thread that cannot start leaves GetPacket failing
    // at once rather than waiting on an empty ring.
    if (open_) stream_.Start();
  } else if (old != kChainStopped && state == kChainStopped) {
    stream_.Stop();
  }
  SetStateValue(state);
  return kOk;
}

int32_t CDExtractor::Seek(double seconds, uint32_t, uint32_t) {
  ScopedLock lock(lock_);
  if (!open_) return kReaderNotOpen;
  // Whole sectors only: the time the packets then report is the sector's own.
  double sectors = std::floor(seconds * kCdSectorsPerSecond);
  if (!(sectors > 0)) sectors = 0;  // negative, or not a number
  if (sectors > static_cast<double>(sectorCount_)) sectors = static_cast<double>(sectorCount_);
  // Always drops what was read for the old position: those bytes are no longer the time the
  // packets report. The next packet carries the discontinuity and clears the end mark; the
  // status is left to it, since a puller waiting for bytes holds the status lock.
  stream_.SeekToSector(static_cast<int64_t>(sectors));
  return kOk;
}

int32_t CDExtractor::CanRead(const char16_t* url, uint32_t* score1, uint32_t* score2) {
  const bool mine = IsCdTrackUrl(url);
  if (score1) *score1 = mine ? 100 : 0;
  if (score2) *score2 = mine ? 100 : 0;
  return kOk;
}

int32_t CDExtractor::GetAccessCost(const char16_t*) {
  return kCdAccessCost;
}

int32_t CDExtractor::Open(const char16_t* url) {
  ScopedLock lock(lock_);
  if (open_) return kReaderAlreadyOpen;
  CdTrackUrl where;
  if (!ParseCdTrackUrl(url, &where)) return kReaderWrongScheme;
  if (!catalog_) return kReaderWrongScheme;

  const std::string device = PickCdDrive(where, catalog_->ListDrives());
  if (device.empty()) {
    TellUser("CD:", std::string("no CD drive for ") + Utf8(TString(url)).c_str());
    return kReaderWrongScheme;
  }
  CdOpenStatus why = CdOpenStatus::kOk;
  std::unique_ptr<CdDrive> drive = catalog_->Open(device, &why);
  if (!drive) {
    TellUser("CD:", device + ": " + CdOpenStatusText(why));
    return kReaderWrongScheme;
  }

  CdToc toc;
  if (!drive->ReadToc(&toc)) return kErrFailed;
  const CdTrack* track = toc.Find(where.track);
  // A data track read as audio is loud noise; a track of no sectors has nothing to play.
  if (!track || !track->audio || track->sectorCount <= 0) return kErrFailed;

  std::vector<uint8_t> probe(static_cast<size_t>(kProbeSectors) * kCdSectorBytes);
  const auto probeCount =
      static_cast<uint32_t>(std::min<int64_t>(kProbeSectors, track->sectorCount));
  if (drive->ReadAudio(track->firstSector, probeCount, probe.data()) != CdReadStatus::kOk) {
    TellUser("Fatal Error..", "Your device or driver does not support raw reading in this mode.");
    return kReaderWrongScheme;
  }

  stream_.Attach(std::move(drive), track->firstSector, track->sectorCount);
  sectorCount_ = track->sectorCount;
  open_ = true;
  ResetStatus();
  // Opened while the chain already runs: buffering starts now.
  if (State() != kChainStopped) stream_.Start();
  return kOk;
}

int32_t CDExtractor::Close() {
  ScopedLock lock(lock_);
  if (!open_) return kReaderNotOpen;
  stream_.Detach();
  open_ = false;
  sectorCount_ = 0;
  return kOk;
}

int32_t CDExtractor::GetSize(int64_t* total, int64_t* available) {
  ScopedLock lock(lock_);
  if (!open_) return kReaderNotOpen;
  const int64_t bytes = sectorCount_ * kCdSectorBytes;
  if (total) *total = bytes;
  if (available) *available = bytes;
  return kOk;
}

int32_t CDExtractor::ReadAt(int64_t, void*, uint32_t, uint32_t* count) {
  if (count) *count = 0;
  return kReaderNotSupported;
}

int32_t CDExtractor::GetPosition(int64_t*) {
  return kReaderNotSupported;
}

int32_t CDExtractor::SetPosition(int64_t) {
  return kReaderNotSupported;
}

CDExtractor::PacketBytes CDExtractor::ReadForPacket(uint8_t* data, uint32_t capacity,
                                                    Event* abort) {
  PacketBytes out;
  const CdTrackStream::ReadResult read = stream_.Read(data, capacity, abort);
  switch (read.outcome) {
    case CdTrackStream::Outcome::kNotRunning:
      // Stopped, or nothing open: no bytes will come, and nobody may wait for them.
      out.result = MediaError(kMsWrongState);
      return out;
    case CdTrackStream::Outcome::kAborted:
      out.result = MediaError(kMsWrongState);
      return out;
    case CdTrackStream::Outcome::kFailed:
      // The few bytes before the failure go with it: a short packet would read as the end.
      out.result = CdError(kCdErrorReadFailed);
      return out;
    case CdTrackStream::Outcome::kData:
      break;
  }
  // Under the status lock (GetPacket holds it): the packet that follows a seek carries the
  // discontinuity.
  if (read.repositioned) MarkRepositioned();
  out.count = static_cast<uint32_t>(read.bytes);
  out.position = static_cast<double>(read.startFrame) / kCdSampleRate;
  out.length = static_cast<double>(read.bytes) / kBytesPerSecond;
  return out;
}

}  // namespace vk2

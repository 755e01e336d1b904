#include "audio/readers/file/file_reader.h"

#include "audio/common/module_identity.h"
#include "audio/readers/common/reader_results.h"
#include "audio/readers/common/sound_io_errors.h"
#include "audio/readers/file/network_path.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"

namespace vk2 {
namespace {

constexpr char16_t kFileScheme[] = u"file://";
constexpr int32_t kFileSchemeLength = 7;

// Access costs and warm-up times: a share on another machine takes longer to reach.
constexpr int32_t kLocalCost = 256;
constexpr int32_t kRemoteCost = 512;
constexpr double kLocalWarmup = 1.0;
constexpr double kRemoteWarmup = 10.0;

bool IsRemotePath(const char16_t* path) {
  if (IsPathOnOtherMachine(path)) return true;
  return IsOnNetworkFileSystem(Utf8(TString(path)).c_str());
}

}  // namespace

bool IsFileUrl(const char16_t* url) {
  return url && WideCompare(url, kFileScheme, false, kFileSchemeLength) == 0;
}

FileReader::FileReader() : StreamReaderBase(kIID_MFileReader) {
  RegisterSoundIoTable(errors_.Registry());
  AddProperties();
}

FileReader::~FileReader() {
  StateChange(kChainStopped);
  file_.Close();
}

void FileReader::AddProperties() {
  table_.AddIdentity(u"FileReader", u"Disk File Reader", 1.0);
  table_.AddNumber(u"warmuptime", kPropIdentityNumber, kHelpWarmupTime, [this](double* v) {
    ScopedLock lock(propertyLock_);
    *v = otherMachine_ ? kRemoteWarmup : kLocalWarmup;
    return kOk;
  });
  table_.AddString(u"url", kPropDeviceName, u"the source of the data which is to be decoded",
                   [this](TString* v) {
                     ScopedLock lock(propertyLock_);
                     if (path_.IsEmpty()) return kReaderNotOpen;
                     *v = path_;
                     return kOk;
                   });
  for (PropertyTable* t : {&table_, &settings_}) {
    t->AddInteger(
        u"readbufferenabled", kPropStoredInteger, u"whether file reading should be buffered",
        [this](int32_t* v) {
          ScopedLock lock(propertyLock_);
          *v = bufferEnabled_ ? 1 : 0;
          return kOk;
        },
        [this](int32_t v) {
          ScopedLock lock(propertyLock_);
          bufferEnabled_ = v != 0;
          return kOk;
        },
        SettingStorage::kBool);
    t->AddInteger(
        u"readbuffersize", kPropStoredInteger, u"the size of the read buffer",
        [this](int32_t* v) {
          ScopedLock lock(propertyLock_);
          *v = bufferSize_;
          return kOk;
        },
        [this](int32_t v) { return SetBufferSize(v); });
    t->AddInteger(
        u"readbufferchunk", kPropStoredInteger,
        u"the size of the chunks in which data is read into the read buffer",
        [this](int32_t* v) {
          ScopedLock lock(propertyLock_);
          *v = bufferChunk_;
          return kOk;
        },
        [this](int32_t v) { return SetBufferChunk(v); });
  }
  settings_.SetSettingsApplier([this](const LoadedSettings& loaded) { ApplySettings(loaded); });
  AddStreamIdProperty();
}

int32_t FileReader::SetBufferSize(int32_t size) {
  ScopedLock lock(propertyLock_);
  if (size < kMinReadBufferSize || (bufferChunk_ != 0 && size < bufferChunk_)) {
    return kReaderOutOfRange;
  }
  bufferSize_ = size;
  if (bufferChunk_ == 0) bufferChunk_ = size / 4;
  return kOk;
}

int32_t FileReader::SetBufferChunk(int32_t chunk) {
  ScopedLock lock(propertyLock_);
  if (bufferSize_ != 0 && (chunk <= 0 || chunk > bufferSize_)) return kReaderOutOfRange;
  bufferChunk_ = chunk;
  return kOk;
}

void FileReader::ApplySettings(const LoadedSettings& loaded) {
  ScopedLock lock(propertyLock_);
  if (const auto* v = loaded.Find(u"readbufferenabled")) bufferEnabled_ = v->flag;
  const auto* size = loaded.Find(u"readbuffersize");
  const auto* chunk = loaded.Find(u"readbufferchunk");
  const int32_t newSize = size ? size->integer : bufferSize_;
  int32_t newChunk = chunk ? chunk->integer : bufferChunk_;
  if (newChunk == 0 && newSize >= kMinReadBufferSize) newChunk = newSize / 4;
  // The final pair is what counts; a pair that is not valid as a whole changes nothing.
  if (newSize >= kMinReadBufferSize && newChunk > 0 && newChunk <= newSize) {
    bufferSize_ = newSize;
    bufferChunk_ = newChunk;
  }
}

int32_t FileReader::StateChange(int32_t state) {
  if (!IsKnownChainState(state)) return MediaError(kMsUnknownState);
  ScopedLock lock(lock_);
  const int32_t old = State();
  if (old != kChainStopped) {
    if (state == kChainStopped) {
      file_.StopReadAhead();
      if (open_) file_.SetPosition(0);
    }
  } else if (state != kChainStopped && state != kChainFormatDetection) {
    bool enabled;
    size_t size, chunk;
    {
      ScopedLock props(propertyLock_);
      enabled = bufferEnabled_;
      size = static_cast<size_t>(bufferSize_);
      chunk = static_cast<size_t>(bufferChunk_);
    }
    // A thread that cannot start leaves the reads direct: nobody waits on an empty ring.
    if (enabled && open_) file_.StartReadAhead(size, chunk);
  }
  SetStateValue(state);
  return kOk;
}

int32_t FileReader::Seek(double, uint32_t, uint32_t) {
  ClearEndReached();
  return kOk;
}

int32_t FileReader::CanRead(const char16_t* url, uint32_t* score1, uint32_t* score2) {
  const bool mine = IsFileUrl(url);
  if (score1) *score1 = mine ? 100 : 0;
  if (score2) *score2 = mine ? 50 : 0;
  return kOk;
}

int32_t FileReader::GetAccessCost(const char16_t* url) {
  if (!IsFileUrl(url)) return 0;
  return IsRemotePath(url + kFileSchemeLength) ? kRemoteCost : kLocalCost;
}

int32_t FileReader::Open(const char16_t* url) {
  ScopedLock lock(lock_);
  if (open_) return kReaderAlreadyOpen;
  if (!IsFileUrl(url)) return kReaderWrongScheme;
  // The rest is the path as it stands: no unescaping, slashes as they are.
  const TString path(url + kFileSchemeLength);
  if (!file_.Open(Utf8(path).c_str())) return kReaderCannotOpen;
  open_ = true;
  {
    ScopedLock props(propertyLock_);
    path_ = path;
    otherMachine_ = IsRemotePath(path.c_str());
  }
  ResetStatus();
  return kOk;
}

int32_t FileReader::Close() {
  ScopedLock lock(lock_);
  if (!open_) return kReaderNotOpen;
  file_.Close();
  open_ = false;
  ScopedLock props(propertyLock_);
  path_ = TString();
  otherMachine_ = false;
  return kOk;
}

int32_t FileReader::GetSize(int64_t* total, int64_t* available) {
  ScopedLock lock(lock_);
  if (!open_) return kReaderNotOpen;
  const int64_t size = file_.Size();
  if (size < 0) return kReaderFileFailed;
  if (total) *total = size;
  if (available) *available = size;
  return kOk;
}

int32_t FileReader::ReadAt(int64_t offset, void* buffer, uint32_t length, uint32_t* count) {
  ScopedLock lock(lock_);
  if (count) *count = 0;
  if (!open_) return kReaderNotOpen;
  if (!buffer && length > 0) return kErrMissingArg;
  const int64_t n = file_.ReadAt(offset, buffer, length);
  if (n < 0) return kReaderFileFailed;
  if (count) *count = static_cast<uint32_t>(n);
  return kOk;
}

int32_t FileReader::GetPosition(int64_t* position) {
  if (!position) return kErrMissingArg;
  ScopedLock lock(lock_);
  if (!open_) return kReaderNotOpen;
  *position = file_.Position();
  return kOk;
}

int32_t FileReader::SetPosition(int64_t offset) {
  ScopedLock lock(lock_);
  if (!open_) return kReaderNotOpen;
  if (!file_.SetPosition(offset)) return kReaderFileFailed;
  MarkRepositioned();
  return kOk;
}

FileReader::PacketBytes FileReader::ReadForPacket(uint8_t* data, uint32_t capacity, Event* abort) {
  PacketBytes out;
  if (!file_.IsOpen()) {
    out.result = kReaderNotOpen;
    return out;
  }
  int64_t start = 0;
  const int64_t n = file_.ReadNext(data, capacity, &start, abort);
  if (n == kReadAborted) {
    // The chain is stopping: this read belongs to no stream any more.
    out.result = MediaError(kMsWrongState);
  } else if (n < 0) {
    out.result = kReaderFileFailed;
  } else {
    out.count = static_cast<uint32_t>(n);
    out.position = static_cast<double>(start);
  }
  return out;
}

}  // namespace vk2

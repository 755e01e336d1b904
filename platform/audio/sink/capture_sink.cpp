#include "platform/audio/sink/capture_sink.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>

#include "platform/audio/sink/scaled_clock.h"

namespace vk2 {

namespace {
constexpr uint64_t kMicrosPerSecond = 1000000;
}

CaptureSink::CaptureSink(CaptureSinkOptions options)
    : options_(std::move(options)),
      clock_(options_.clock ? options_.clock.get() : &CurrentClock()) {}

uint64_t CaptureSink::NowMicros() {
  return CounterToMicros(clock_->Counter(), clock_->CounterFrequency());
}

CaptureSink::~CaptureSink() {
  Close();
}

CaptureSinkOptions CaptureSink::OptionsFromEnvironment() {
  CaptureSinkOptions options;
  double speed = 1.0;
  if (const char* s = std::getenv("VK2_AUDIO_CAPTURE_SPEED")) {
    char* end = nullptr;
    const double v = std::strtod(s, &end);
    if (end != s && v > 0) speed = v;
  }
  if (speed != 1.0) options.clock = std::make_shared<ScaledClock>(speed);
  if (const char* path = std::getenv("VK2_AUDIO_CAPTURE_FILE")) options.wavPath = path;
  options.keepInMemory = false;  // a process-wide capture may run for hours
  if (const char* list = std::getenv("VK2_AUDIO_CAPTURE_DEVICES")) {
    std::string rest = list;
    while (!rest.empty()) {
      const size_t cut = rest.find(';');
      std::string name = rest.substr(0, cut);
      if (!name.empty()) options.extraDeviceDescriptions.push_back(name);
      rest = cut == std::string::npos ? std::string() : rest.substr(cut + 1);
    }
  }
  return options;
}

bool CaptureSink::Enumerate(std::vector<SinkDevice>& devices) {
  devices.clear();
  devices.push_back({kDefaultSinkDevice, "Capture"});
  for (size_t i = 0; i < options_.extraDeviceDescriptions.size(); ++i) {
    devices.push_back({"capture" + std::to_string(i + 1), options_.extraDeviceDescriptions[i]});
  }
  return true;
}

bool CaptureSink::Open(const std::string& deviceId, const PcmFormat& format,
                       uint32_t bufferMillis) {
  Close();
  std::vector<SinkDevice> devices;
  Enumerate(devices);
  const std::string wanted = deviceId.empty() ? kDefaultSinkDevice : deviceId;
  const bool known = std::any_of(devices.begin(), devices.end(),
                                 [&](const SinkDevice& d) { return d.id == wanted; });
  std::lock_guard lock(mutex_);
  refusedFormat_ = false;
  if (!known) {
    lastError_ = "no capture device \"" + wanted + "\"";
    return false;
  }
  if (!IsValidPcmFormat(format)) {
    lastError_ = "unsupported format " + DescribePcmFormat(format);
    refusedFormat_ = true;
    return false;
  }
  if (!options_.wavPath.empty() && !wav_.Start(options_.wavPath, format)) {
    lastError_ = "cannot write " + options_.wavPath;
    return false;
  }
  format_ = format;
  device_ = wanted;
  const uint64_t frames = std::max<uint64_t>(1, uint64_t{format.sampleRate} * bufferMillis / 1000);
  capacity_ = static_cast<size_t>(frames * format.BlockAlign());
  queue_.clear();
  captured_.clear();
  framesWritten_ = framesPlayed_ = remainder_ = 0;
  lastMicros_ = NowMicros();
  paused_ = failed_ = false;
  open_ = true;
  return true;
}

void CaptureSink::Close() {
  std::lock_guard lock(mutex_);
  if (!open_) return;
  AdvanceLocked();
  open_ = false;
  queue_.clear();
  wav_.Finish();
  changed_.notify_all();
}

bool CaptureSink::IsOpen() const {
  std::lock_guard lock(mutex_);
  return open_;
}

void CaptureSink::AdvanceLocked() {
  const uint64_t now = NowMicros();
  const uint64_t elapsed = now > lastMicros_ ? now - lastMicros_ : 0;
  lastMicros_ = now;
  if (!open_ || paused_ || elapsed == 0) return;
  const uint64_t scaled = elapsed * format_.sampleRate + remainder_;
  uint64_t frames = scaled / kMicrosPerSecond;
  remainder_ = scaled % kMicrosPerSecond;
  const size_t align = format_.BlockAlign();
  const uint64_t queuedFrames = queue_.size() / align;
  if (frames >= queuedFrames) {
    frames = queuedFrames;
    remainder_ = 0;  // an empty buffer builds no credit: the next data starts fresh
  }
  if (frames == 0) return;
  const size_t bytes = static_cast<size_t>(frames * align);
  if (options_.keepInMemory || wav_.IsOpen()) {
    std::vector<uint8_t> chunk(queue_.begin(), queue_.begin() + static_cast<ptrdiff_t>(bytes));
    if (options_.keepInMemory) captured_.insert(captured_.end(), chunk.begin(), chunk.end());
    if (wav_.IsOpen()) wav_.Append(chunk.data(), chunk.size());
  }
  queue_.erase(queue_.begin(), queue_.begin() + static_cast<ptrdiff_t>(bytes));
  framesPlayed_ += frames;
  changed_.notify_all();
}

bool CaptureSink::HasFailed() {
  std::lock_guard lock(mutex_);
  return open_ && failed_;
}

size_t CaptureSink::WritableBytes() {
  std::lock_guard lock(mutex_);
  if (!open_ || failed_) return 0;
  AdvanceLocked();
  return capacity_ - QueuedBytesLocked();
}

int64_t CaptureSink::Write(const void* data, size_t bytes) {
  std::lock_guard lock(mutex_);
  if (!open_) {
    lastError_ = "not open";
    return -1;
  }
  if (failed_) {
    lastError_ = "the capture device failed";
    return -1;
  }
  AdvanceLocked();
  const size_t align = format_.BlockAlign();
  const size_t room = capacity_ - QueuedBytesLocked();
  const size_t take = std::min(bytes, room) / align * align;
  const auto* p = static_cast<const uint8_t*>(data);
  queue_.insert(queue_.end(), p, p + take);
  framesWritten_ += take / align;
  return static_cast<int64_t>(take);
}

bool CaptureSink::WaitWritable(uint32_t timeoutMillis) {
  std::unique_lock lock(mutex_);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMillis);
  for (;;) {
    if (!open_ || failed_) return false;
    AdvanceLocked();
    if (QueuedBytesLocked() + format_.BlockAlign() <= capacity_) return true;
    if (changed_.wait_until(lock, deadline) == std::cv_status::timeout) {
      AdvanceLocked();
      return open_ && !failed_ && QueuedBytesLocked() + format_.BlockAlign() <= capacity_;
    }
  }
}

uint64_t CaptureSink::FramesWritten() {
  std::lock_guard lock(mutex_);
  AdvanceLocked();
  return framesWritten_;
}

uint64_t CaptureSink::FramesPlayed() {
  std::lock_guard lock(mutex_);
  AdvanceLocked();
  return framesPlayed_;
}

bool CaptureSink::Pause(bool paused) {
  std::lock_guard lock(mutex_);
  if (!open_) return false;
  AdvanceLocked();  // time up to now counts in the old state
  paused_ = paused;
  changed_.notify_all();
  return true;
}

bool CaptureSink::IsPaused() const {
  std::lock_guard lock(mutex_);
  return paused_;
}

bool CaptureSink::Flush() {
  std::lock_guard lock(mutex_);
  if (!open_) return false;
  AdvanceLocked();
  framesWritten_ -= queue_.size() / format_.BlockAlign();
  queue_.clear();
  remainder_ = 0;
  changed_.notify_all();
  return true;
}

bool CaptureSink::Drain(uint32_t timeoutMillis) {
  std::unique_lock lock(mutex_);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMillis);
  for (;;) {
    if (!open_ || failed_) return false;
    AdvanceLocked();
    if (queue_.empty()) return true;
    if (paused_) return false;
    // A virtual clock moves only when the test says so; look again now and then.
    const auto next =
        std::min(deadline, std::chrono::steady_clock::now() + std::chrono::milliseconds(5));
    changed_.wait_until(lock, next);
    if (std::chrono::steady_clock::now() >= deadline) {
      AdvanceLocked();
      return queue_.empty();
    }
  }
}

std::string CaptureSink::LastError() const {
  std::lock_guard lock(mutex_);
  return lastError_;
}

bool CaptureSink::RefusedFormat() const {
  std::lock_guard lock(mutex_);
  return refusedFormat_;
}

std::vector<uint8_t> CaptureSink::Captured() {
  std::lock_guard lock(mutex_);
  AdvanceLocked();
  return captured_;
}

size_t CaptureSink::BufferBytes() const {
  std::lock_guard lock(mutex_);
  return capacity_;
}

std::string CaptureSink::OpenedDevice() const {
  std::lock_guard lock(mutex_);
  return device_;
}

void CaptureSink::SetFailed(bool failed) {
  std::lock_guard lock(mutex_);
  failed_ = failed;
  changed_.notify_all();
}

void CaptureSink::Poke() {
  std::lock_guard lock(mutex_);
  AdvanceLocked();
  changed_.notify_all();
}

}  // namespace vk2

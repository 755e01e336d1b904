#include "tests/audio/playback/recording_sinks.h"

#include <functional>

namespace vk2::test {
namespace {

// Hands every call to a capture sink the test keeps after the device has let go. A reopen (a
// buffer taking a new format) goes to a new capture sink, so that each opening is a piece.
class SharedSink final : public PcmSink {
 public:
  explicit SharedSink(std::function<std::shared_ptr<CaptureSink>()> make)
      : make_(std::move(make)), sink_(make_()) {}
  const char* BackendName() const override { return sink_->BackendName(); }
  bool Enumerate(std::vector<SinkDevice>& devices) override { return sink_->Enumerate(devices); }
  bool Open(const std::string& deviceId, const PcmFormat& format, uint32_t millis) override {
    if (opened_) {
      sink_->Close();
      sink_ = make_();
    }
    opened_ = true;
    return sink_->Open(deviceId, format, millis);
  }
  void Close() override { sink_->Close(); }
  bool IsOpen() const override { return sink_->IsOpen(); }
  bool HasFailed() override { return sink_->HasFailed(); }
  const PcmFormat& Format() const override { return sink_->Format(); }
  size_t WritableBytes() override { return sink_->WritableBytes(); }
  int64_t Write(const void* data, size_t bytes) override { return sink_->Write(data, bytes); }
  bool WaitWritable(uint32_t millis) override { return sink_->WaitWritable(millis); }
  uint64_t FramesWritten() override { return sink_->FramesWritten(); }
  uint64_t FramesPlayed() override { return sink_->FramesPlayed(); }
  bool Pause(bool paused) override { return sink_->Pause(paused); }
  bool IsPaused() const override { return sink_->IsPaused(); }
  bool Flush() override { return sink_->Flush(); }
  bool Drain(uint32_t millis) override { return sink_->Drain(millis); }
  std::string LastError() const override { return sink_->LastError(); }
  bool RefusedFormat() const override { return sink_->RefusedFormat(); }

 private:
  std::function<std::shared_ptr<CaptureSink>()> make_;
  std::shared_ptr<CaptureSink> sink_;
  bool opened_ = false;
};

}  // namespace

PcmSinkFactory RecordingSinks::Factory() {
  std::weak_ptr<RecordingSinks> self = weak_from_this();
  const auto make = [self]() {
    std::shared_ptr<RecordingSinks> owner = self.lock();
    CaptureSinkOptions options;
    if (owner) options.clock = owner->clock_;
    auto sink = std::make_shared<CaptureSink>(options);
    if (owner) {
      std::lock_guard lock(owner->mutex_);
      owner->sinks_.push_back(sink);
    }
    return sink;
  };
  return [make]() -> std::unique_ptr<PcmSink> { return std::make_unique<SharedSink>(make); };
}

std::vector<HeardPiece> RecordingSinks::Pieces() {
  std::vector<std::shared_ptr<CaptureSink>> sinks;
  {
    std::lock_guard lock(mutex_);
    sinks = sinks_;
  }
  std::vector<HeardPiece> pieces;
  for (const auto& sink : sinks) {
    std::vector<uint8_t> bytes = sink->Captured();
    if (!bytes.empty()) pieces.push_back({sink->Format(), std::move(bytes)});
  }
  return pieces;
}

std::vector<uint8_t> RecordingSinks::HeardBytes() {
  const std::vector<HeardPiece> pieces = Pieces();
  std::vector<uint8_t> out;
  if (pieces.empty()) return out;
  const PcmFormat& last = pieces.back().format;
  for (const HeardPiece& p : pieces) {
    if (p.format == last) out.insert(out.end(), p.bytes.begin(), p.bytes.end());
  }
  return out;
}

}  // namespace vk2::test

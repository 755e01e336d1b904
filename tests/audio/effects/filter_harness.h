// Running signals through an effect filter in process: a queue of packets stands in for the
// module upstream, the test registry serves preferences, errors and the packet pool, and the
// output comes back as doubles for measuring.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "audio/common/media_errors.h"
#include "foundation/util/ref_ptr.h"
#include "foundation/util/result.h"
#include "interfaces/audio/audio_module.h"
#include "interfaces/audio/module_properties.h"
#include "interfaces/ids.h"
#include "tests/fixtures/audio/test_registry.h"
#include "tests/support/pcm_packets.h"

namespace vk2::test {

// The module before the filter: hands out queued packets, one per pull.
class PacketQueueOutput final : public AudioModuleOutput {
 public:
  void Push(RefPtr<AudioPacket> packet) { queue_.push_back(std::move(packet)); }
  void OfferFormat(RefPtr<AudioFormat> format) { formats_.push_back(std::move(format)); }
  int setFormatCalls = 0;
  int32_t failWith = 0;  // a GetPacket failure to hand on

  int32_t GetName(TString* name) override {
    *name = u"output";
    return kOk;
  }
  int32_t GetPacket(AudioPacket** slot) override {
    if (failWith < 0) return failWith;
    if (queue_.empty()) return MediaError(kMsEndOfData);
    if (*slot) (*slot)->Release();
    *slot = queue_.front().Detach();
    queue_.pop_front();
    return kOk;
  }
  int32_t GetFormats(AudioFormatList* list) override {
    for (auto& f : formats_)
      list->Append(f.Get());
    return kOk;
  }
  int32_t SetFormat(AudioFormat*) override {
    ++setFormatCalls;
    return kOk;
  }
  int32_t SetDestination(AudioModuleInput*) override { return kOk; }
  int32_t GetOwner(MAudioModule**) override { return kErrNotFound; }

 private:
  std::deque<RefPtr<AudioPacket>> queue_;
  std::vector<RefPtr<AudioFormat>> formats_;
};

class FilterHarness {
 public:
  // `make` runs once the test registry serves the runtime's classes: `shared` when given (a
  // test that keeps its own), else one of the harness's.
  template <class Make>
  explicit FilterHarness(Make make, TestRegistry* shared = nullptr)
      : own_(shared ? nullptr : std::make_unique<TestRegistry>()),
        registry_(shared ? shared : own_.get()),
        filter_(make()) {
    AudioModuleInput* in = nullptr;
    filter_->GetInput(&in, 0);
    filter_->GetOutput(&out_, 0);
    in->Connect(&upstream_);
    filter_->QueryInterface(kIID_MModuleProperties, properties_.PutVoid(), 1, 0);
  }

  MAudioModule* Filter() const { return filter_.Get(); }
  TestRegistry& Registry() { return *registry_; }
  MModuleProperties* Properties() const { return properties_.Get(); }
  AudioModuleOutput* Output() const { return out_; }
  PacketQueueOutput& Upstream() { return upstream_; }

  // One packet through the filter; the result code and what the slot then holds.
  int32_t Pull(RefPtr<AudioPacket> in, RefPtr<AudioPacket>* out) {
    upstream_.Push(std::move(in));
    AudioPacket* slot = nullptr;
    const int32_t r = out_->GetPacket(&slot);
    *out = RefPtr<AudioPacket>::Adopt(slot);
    return r;
  }

  // `signal` (interleaved, `channels` wide) in packets of `packetFrames`, decoded back to doubles.
  // `frameCounts`, when given, receives each output packet's frame count.
  std::vector<double> Run(const std::vector<double>& signal, uint32_t rate, uint32_t channels,
                          const SampleFormat& format, uint32_t packetFrames,
                          std::vector<uint32_t>* frameCounts = nullptr) {
    RefPtr<AudioFormat> f = MakeTestFormat(rate, channels, format);
    std::vector<double> output;
    const size_t perPacket = static_cast<size_t>(packetFrames) * channels;
    for (size_t start = 0; start < signal.size(); start += perPacket) {
      const size_t end = std::min(signal.size(), start + perPacket);
      const std::vector<double> part(signal.begin() + start, signal.begin() + end);
      RefPtr<AudioPacket> out;
      const int32_t r = Pull(MakeTestPacket(f.Get(), EncodePcm(part, format)), &out);
      EXPECT_GE(r, 0);
      if (r < 0 || !out) break;
      const std::vector<double> decoded = DecodePcm(out->data, out->byteCount, format);
      if (frameCounts) frameCounts->push_back(static_cast<uint32_t>(decoded.size() / channels));
      output.insert(output.end(), decoded.begin(), decoded.end());
    }
    return output;
  }

 private:
  std::unique_ptr<TestRegistry> own_;  // first: the filter asks the registry for services
  TestRegistry* registry_;
  PacketQueueOutput upstream_;
  RefPtr<MAudioModule> filter_;
  RefPtr<MModuleProperties> properties_;
  AudioModuleOutput* out_ = nullptr;
};

}  // namespace vk2::test

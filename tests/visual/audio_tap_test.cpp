// The tap between the last filter and the endpoint: packets pass unchanged, and while the
// chain is cued or playing their audio lands in the history, trimmed to a second plus the
// output buffer.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

#include "audio/common/media_errors.h"
#include "foundation/util/result.h"
#include "interfaces/audio/chain_types.h"
#include "interfaces/audio/media_chain.h"
#include "interfaces/audio/module_properties.h"
#include "tests/audio/effects/filter_harness.h"
#include "tests/support/pcm_packets.h"
#include "visual/audio_history.h"
#include "visual/audio_tap.h"

namespace vk2::test {
namespace {

constexpr uint32_t kChainKey = 42;

// A chain as the tap sees it: only its integer properties ("throughbytes", "buffersize").
class PropertyChain final : public MMediaChain, public MModuleInfo {
 public:
  std::map<std::u16string, int32_t> integers;

  int32_t QueryInterface(const Guid& iid, void** out, uint32_t, uint32_t) override {
    *out = nullptr;
    if (!(iid == kIID_MModuleInfo)) return kErrNoInterface;
    *out = static_cast<MModuleInfo*>(this);
    return kOk;
  }
  uint32_t AddRef() override { return 1; }
  uint32_t Release() override { return 1; }
  int32_t GetInteger(const char16_t* name, int32_t* value) override {
    auto it = integers.find(name);
    if (it == integers.end()) return kErrNotFound;
    *value = it->second;
    return kOk;
  }
  int32_t GetString(const char16_t*, TString*) override { return kErrNotFound; }
  int32_t GetNumber(const char16_t*, double*) override { return kErrNotFound; }
  int32_t Describe(PropertyDescriptionList*) override { return kOk; }

  int32_t RegisterCallback(MAudioCallback*, uint32_t) override { return kOk; }
  int32_t UnregisterCallback(MAudioCallback*, uint32_t) override { return kOk; }
  int32_t AddStreamReader(MStreamReader*) override { return kOk; }
  int32_t AddDecoder(MAudioModule*) override { return kOk; }
  int32_t AddDspFilter(MAudioModule*) override { return kOk; }
  int32_t ClearCandidates() override { return kOk; }
  int32_t SetEndpoint(MAudioModule*) override { return kOk; }
  int32_t WaitForBuffer(double) override { return kOk; }
  int32_t Play(double) override { return kOk; }
  int32_t Open(const char16_t*, int32_t) override { return kOk; }
  int32_t Close() override { return kOk; }
  int32_t Insert(MAudioModule*) override { return kOk; }
  int32_t StateChange(int32_t) override { return kOk; }
  int32_t Prepare(int32_t) override { return kOk; }
  int32_t Seek(double, uint32_t, uint32_t) override { return kOk; }
  int32_t NextModule(MAudioModule**) override { return kErrNotFound; }
  int32_t QueryVolumeControl(MVolumeControl**) override { return kErrNotFound; }
  int32_t SetStreamId(int32_t) override { return kOk; }
  Event* AbortEvent() override { return nullptr; }
};

class TapTest : public ::testing::Test {
 protected:
  TapTest()
      : history_(VisualAudioHistory::Make()), harness_([this] {
          RefPtr<AudioTap> tap =
              AudioTap::Make(RefPtr<MVisualAudioHistory>(history_.Get()), nullptr);
          tap->SetKey(kChainKey);
          return RefPtr<MAudioModule>(static_cast<MAudioModule*>(tap.Get()));
        }) {
    harness_.Filter()->SetChain(&chain_);
    chain_.integers[u"throughbytes"] = 0;
    chain_.integers[u"buffersize"] = 0;
  }

  // One packet of 16-bit mono at 1000 Hz, every sample `value` in its high byte.
  int32_t Pull(uint32_t frames, int8_t value, RefPtr<AudioPacket>* out, uint32_t rate = 1000) {
    RefPtr<AudioFormat> format = MakeTestFormat(rate, 1, kS16);
    std::vector<uint8_t> bytes(frames * 2);
    for (uint32_t i = 0; i < frames; ++i) {
      bytes[2 * i] = 0x11;
      bytes[2 * i + 1] = static_cast<uint8_t>(value);
    }
    sent_ = bytes;
    return harness_.Pull(MakeTestPacket(format.Get(), bytes), out);
  }

  RefPtr<VisualAudioHistory> history_;
  PropertyChain chain_;
  FilterHarness harness_;
  std::vector<uint8_t> sent_;
};

TEST_F(TapTest, PassesPacketsAndStoresOnlyWhileCuedOrPlaying) {
  struct Case {
    int32_t state;
    bool stored;
  };
  const Case cases[] = {{kChainStopped, false},
                        {kChainFormatDetection, false},
                        {kChainSuspended, false},
                        {kChainCued, true},
                        {kChainPlaying, true}};
  int64_t stored = 0;
  for (const Case& c : cases) {
    harness_.Filter()->StateChange(c.state);
    RefPtr<AudioPacket> out;
    ASSERT_EQ(Pull(100, 5, &out), kOk) << c.state;
    ASSERT_TRUE(out);
    ASSERT_EQ(out->byteCount, sent_.size());
    EXPECT_EQ(0, std::memcmp(out->data, sent_.data(), sent_.size())) << "unchanged";
    int64_t oldest = 0, newest = -1;
    const bool any = history_->Range(kChainKey, &oldest, &newest);
    if (c.stored) {
      ASSERT_TRUE(any) << c.state;
      EXPECT_EQ(newest, stored) << c.state;
      stored += 200;
    } else {
      EXPECT_EQ(any ? newest + 200 : 0, stored) << "state " << c.state << " stores nothing";
    }
  }
  int8_t sample = 0;
  EXPECT_EQ(history_->Read(kChainKey, 0, 0, 1, &sample), 0);
  EXPECT_EQ(sample, 5) << "16-bit keeps its high byte";
}

TEST_F(TapTest, TrimsToASecondPlusTheBufferAndSkipsWithoutChainProperties) {
  harness_.Filter()->StateChange(kChainPlaying);
  RefPtr<AudioPacket> out;
  // 1000 Hz 16-bit mono: a second is 2000 bytes. Ten packets of 500 bytes.
  for (int i = 0; i < 10; ++i)
    ASSERT_EQ(Pull(250, 1, &out), kOk);
  chain_.integers[u"throughbytes"] = 4600;
  chain_.integers[u"buffersize"] = 1000;
  ASSERT_EQ(Pull(250, 1, &out), kOk);
  int64_t oldest = 0, newest = 0;
  ASSERT_TRUE(history_->Range(kChainKey, &oldest, &newest));
  EXPECT_EQ(oldest, 2000) << "4600 - 2000 - 1000 = 1600: packets before the one at 2000 go";
  EXPECT_EQ(newest, 5000);
  chain_.integers.erase(u"buffersize");
  ASSERT_EQ(Pull(250, 1, &out), kOk);
  ASSERT_TRUE(history_->Range(kChainKey, &oldest, &newest));
  EXPECT_EQ(newest, 5000) << "not stored without the chain's properties";
}

TEST_F(TapTest, AnnouncesAChangedFormatBeforeStoring) {
  harness_.Filter()->StateChange(kChainPlaying);
  RefPtr<AudioPacket> out;
  ASSERT_EQ(Pull(100, 1, &out), kOk);
  uint32_t channels = 0, rate = 0, bits = 0;
  bool isFloat = true;
  ASSERT_TRUE(history_->GetFormat(kChainKey, &channels, &rate, &bits, &isFloat));
  EXPECT_EQ(rate, 1000u);
  ASSERT_EQ(Pull(100, 1, &out, 2000), kOk);
  ASSERT_TRUE(history_->GetFormat(kChainKey, &channels, &rate, &bits, &isFloat));
  EXPECT_EQ(rate, 2000u);
  EXPECT_EQ(channels, 1u);
  EXPECT_EQ(bits, 16u);
  EXPECT_FALSE(isFloat);
}

TEST_F(TapTest, RefusesNonPcmWhilePlayingAndLeavesThePacketWithTheCaller) {
  harness_.Filter()->StateChange(kChainPlaying);
  RefPtr<AudioFormat> bytes = MakeTestFormat(1000, 1, kS16, kFormatByteStream);
  RefPtr<AudioPacket> out;
  const int32_t r = harness_.Pull(MakeTestPacket(bytes.Get(), {1, 2, 3, 4}), &out);
  EXPECT_TRUE(IsMediaEntry(harness_.Registry().Errors(), r, kMsIncompatibleFormat));
  EXPECT_TRUE(out) << "the caller releases it";
}

TEST_F(TapTest, PortsAndStates) {
  MAudioModule* tap = harness_.Filter();
  AudioModuleInput* input = nullptr;
  AudioModuleOutput* output = nullptr;
  EXPECT_EQ(tap->GetInputByName(&input, u"input"), kOk);
  EXPECT_EQ(tap->GetInputByName(&input, u"output"), kErrNotFound);
  EXPECT_EQ(tap->GetOutput(&output, 1), kErrNotFound);
  EXPECT_EQ(tap->GetOutputByName(&output, u"output"), kOk);
  harness_.Upstream().OfferFormat(MakeTestFormat(1000, 2, kS16));
  uint32_t s1 = 0, s2 = 0;
  ASSERT_TRUE(tap->GetInput(&input, 0) == kOk && input);
  EXPECT_EQ(input->CanHandle(&harness_.Upstream(), &s1, &s2), kOk);
  EXPECT_EQ(s1, 100u);
  EXPECT_EQ(s2, 100u);
  tap->StateChange(kChainStopped);
  EXPECT_TRUE(IsMediaEntry(harness_.Registry().Errors(), tap->Prepare(0), kMsWrongState));
  tap->StateChange(kChainPlaying);
  EXPECT_EQ(tap->Prepare(0), kOk);
}

}  // namespace
}  // namespace vk2::test

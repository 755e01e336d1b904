#include <gtest/gtest.h>

#include "audio/common/format_record.h"
#include "interfaces/audio/audio_format.h"

namespace vk2 {
namespace {

TEST(AudioFormat, BytesPerFrameRoundsSamplesUp) {
  struct Case {
    uint32_t bits, channels, frame;
  };
  for (const Case c : {Case{8, 1, 1}, Case{12, 1, 2}, Case{16, 2, 4}, Case{20, 2, 6},
                       Case{24, 2, 6}, Case{32, 6, 24}}) {
    RefPtr<AudioFormat> f = MakePcmFormat(48000, c.channels, c.bits);
    EXPECT_EQ(BytesPerFrame(*f), c.frame) << c.bits << " bits";
    EXPECT_EQ(BytesPerSecond(*f), c.frame * 48000u);
  }
}

TEST(AudioFormat, WholeFrameBytes) {
  EXPECT_EQ(WholeFrameBytes(4096, 6), 4092u);
  EXPECT_EQ(WholeFrameBytes(796, 4), 796u);
  EXPECT_EQ(WholeFrameBytes(5, 0), 5u);
}

TEST(AudioFormat, SameFormatComparesEveryField) {
  RefPtr<AudioFormat> a = MakePcmFormat(44100, 2, 16, false, true);
  EXPECT_TRUE(SameFormat(*a, *MakePcmFormat(44100, 2, 16, false, true)));
  EXPECT_FALSE(SameFormat(*a, *MakePcmFormat(44100, 2, 16, false, false)));
  EXPECT_FALSE(SameFormat(*a, *MakePcmFormat(44100, 2, 16, true, true)));
  EXPECT_FALSE(SameFormat(*a, *MakePcmFormat(48000, 2, 16)));
  EXPECT_FALSE(SameFormat(*a, *MakeFormat(kFormatByteStream, 44100, 2, 16, false, true)));
}

TEST(AudioFormat, ListHoldsReferences) {
  RefPtr<AudioFormat> f = MakePcmFormat(8000, 1, 8, false, false);
  {
    AudioFormatList list;
    list.Append(f.Get());
    list.Append(nullptr);
    EXPECT_EQ(list.Count(), 1u);
    EXPECT_EQ(f->AddRef(), 3u);
    f->Release();
  }
  EXPECT_EQ(f->AddRef(), 2u);
  f->Release();
}

TEST(AudioFormat, SaturatesNonsenseRates) {
  RefPtr<AudioFormat> f = MakePcmFormat(0xFFFFFFFFu, 64, 32);
  EXPECT_EQ(BytesPerSecond(*f), 0xFFFFFFFFu);
}

}  // namespace
}  // namespace vk2

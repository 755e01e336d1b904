#include <gtest/gtest.h>

#include <cmath>
#include <thread>
#include <vector>

#include "audio/readers/cd/cd_errors.h"
#include "audio/readers/cd/cd_extractor.h"
#include "audio/readers/common/reader_results.h"
#include "foundation/util/result.h"
#include "interfaces/audio/media_chain.h"
#include "interfaces/ids.h"
#include "tests/audio/readers/cd/cd_test_drives.h"
#include "tests/audio/support/cd_image.h"
#include "tests/fixtures/audio/test_registry.h"

namespace vk2 {
namespace {

using test::CdImage;
using test::FaultyCdDrive;
using test::TestCdCatalog;

constexpr double kBytesPerSecond = 176400.0;
constexpr int64_t kSectorBytes = 2352;

struct Packet {
  int32_t result = 0;
  std::vector<uint8_t> bytes;
  uint32_t flags = 0;
  double position = -2;
  double length = -2;
  int32_t streamId = 0;
};

class CdExtractorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Track 1 is a little over a second and ends off any read block; track 3 is data.
    image_ = test::MakeCdImage(dir_, {{83}, {150}, {20, true}});
    ASSERT_FALSE(image_.cue.empty()) << "sox made no image";
    catalog_ = std::make_shared<TestCdCatalog>(std::vector<std::string>{image_.cue});
    MakeReader(catalog_);
    chain_ = RefPtr<MMediaChain>::Adopt(registry_.System()->CreateChain());
    ASSERT_TRUE(chain_);
    // A chain that never played stands stopped, with its abort event set.
    chain_->AbortEvent()->Reset();
  }
  void TearDown() override {
    if (reader_) {
      reader_->StateChange(kChainStopped);
      reader_->SetChain(nullptr);
    }
    props_ = nullptr;
    reader_ = nullptr;
  }

  void MakeReader(std::shared_ptr<CdDriveCatalog> catalog) {
    props_ = nullptr;
    reader_ = RefPtr<CDExtractor>(new CDExtractor(std::move(catalog)));
    ASSERT_EQ(reader_->QueryInterface(kIID_MModuleProperties, props_.PutVoid(), 1, 0), 0);
  }
  int32_t Open(const char16_t* url) { return reader_->Open(url); }
  void Play() {
    reader_->SetChain(chain_.Get());
    ASSERT_EQ(reader_->StateChange(kChainPlaying), 0);
  }

  Packet Next() {
    AudioModuleOutput* out = nullptr;
    EXPECT_EQ(reader_->GetOutput(&out, 0), 0);
    AudioPacket* raw = nullptr;
    Packet p;
    p.result = out->GetPacket(&raw);
    RefPtr<AudioPacket> packet = RefPtr<AudioPacket>::Adopt(raw);
    if (p.result >= 0 && packet) {
      p.bytes.assign(packet->data, packet->data + packet->byteCount);
      p.flags = packet->flags;
      p.position = packet->position;
      p.length = packet->length;
      p.streamId = packet->streamId;
      EXPECT_TRUE(packet->format && packet->format->type == kFormatPcm);
    }
    return p;
  }
  // Every packet up to the end or a failure; the result that ended it in `*last`.
  std::vector<uint8_t> Drain(int32_t* last, std::vector<Packet>* packets = nullptr) {
    std::vector<uint8_t> all;
    for (int guard = 0; guard < 100000; ++guard) {
      Packet p = Next();
      if (p.result < 0) {
        *last = p.result;
        return all;
      }
      all.insert(all.end(), p.bytes.begin(), p.bytes.end());
      if (packets) packets->push_back(std::move(p));
    }
    ADD_FAILURE() << "no end";
    return all;
  }
  bool IsEntry(int32_t code, MediaSystemEntry entry) {
    return test::IsMediaEntry(registry_.Errors(), code, entry);
  }
  std::vector<uint8_t> TrackSlice(int track, int64_t fromSector, size_t bytes) {
    const std::vector<uint8_t> all = image_.TrackBytes(track);
    const auto from = static_cast<size_t>(fromSector * kSectorBytes);
    return {all.begin() + static_cast<std::ptrdiff_t>(from),
            all.begin() + static_cast<std::ptrdiff_t>(std::min(all.size(), from + bytes))};
  }

  test::TestRegistry registry_;
  test::TempFolder dir_;
  CdImage image_;
  std::shared_ptr<TestCdCatalog> catalog_;
  RefPtr<CDExtractor> reader_;
  RefPtr<MModuleProperties> props_;
  RefPtr<MMediaChain> chain_;
};

TEST_F(CdExtractorTest, ClaimsTrackUrlsOnlyAndCostsTheSameForAll) {
  struct Case {
    const char16_t* url;
    uint32_t score;
  };
  const Case cases[] = {
      {u"cdaudio://5", 100},
      {u"CDAUDIO://1/5", 100},
      {u"file://D:\\Track05.cda", 100},
      {u"FILE://d:/x/TRACK05.CDA", 100},
      {u"file://D:\\a.wav", 0},
      {u"http://host/Track05.cda", 0},
  };
  for (const Case& c : cases) {
    uint32_t s1 = 9, s2 = 9;
    EXPECT_EQ(reader_->CanRead(c.url, &s1, &s2), 0);
    EXPECT_EQ(s1, c.score);
    EXPECT_EQ(s2, c.score);
    EXPECT_EQ(reader_->GetAccessCost(c.url), 512);
  }
}

TEST_F(CdExtractorTest, OpenRefusesWhatItCannotPlay) {
  struct Case {
    const char16_t* url;
    int32_t result;
  };
  const Case cases[] = {
      {u"file:///music/a.wav", kReaderWrongScheme},
      {u"cdaudio://", kReaderWrongScheme},
      {u"cdaudio://1/", kReaderWrongScheme},
      {u"file://D:\\TrackAB.cda", kReaderWrongScheme},
      {u"cdaudio://1/1", kReaderWrongScheme},           // no second drive
      {u"file://E:\\Track01.cda", kReaderWrongScheme},  // neither by letter
      {u"cdaudio://0", kErrFailed},                     // tracks count from 1
      {u"cdaudio://4", kErrFailed},                     // beyond the last
      {u"cdaudio://3", kErrFailed},                     // data, not audio
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Open(c.url), c.result) << Utf8(TString(c.url)).c_str();
  }
  int64_t size = 0;
  uint8_t b[4];
  uint32_t count = 7;
  EXPECT_EQ(reader_->Close(), kReaderNotOpen);
  EXPECT_EQ(reader_->GetSize(&size, &size), kReaderNotOpen);
  EXPECT_EQ(reader_->Seek(1.0, 0, 1), kReaderNotOpen);
  ASSERT_EQ(Open(u"cdaudio://0/2"), 0);
  EXPECT_EQ(Open(u"cdaudio://2"), kReaderAlreadyOpen);
  EXPECT_EQ(reader_->ReadAt(0, b, 4, &count), kReaderNotSupported);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(reader_->GetPosition(&size), kReaderNotSupported);
  EXPECT_EQ(reader_->SetPosition(0), kReaderNotSupported);
  EXPECT_TRUE(reader_->IsSeekable());
  EXPECT_EQ(reader_->Close(), 0);
  EXPECT_EQ(reader_->Close(), kReaderNotOpen);
}

TEST_F(CdExtractorTest, DrivesThatAreNotThereOrCannotReadRawRefuseTheOpen) {
  MakeReader(std::make_shared<TestCdCatalog>(std::vector<std::string>{}));
  EXPECT_EQ(Open(u"cdaudio://1"), kReaderWrongScheme);
  MakeReader(std::make_shared<TestCdCatalog>(std::vector<std::string>{dir_.File("cdrom")}));
  EXPECT_EQ(Open(u"cdaudio://1"), kReaderWrongScheme);
  MakeReader(std::make_shared<TestCdCatalog>(std::vector<std::string>{"/dev/null"}));
  EXPECT_EQ(Open(u"cdaudio://1"), kReaderWrongScheme);
  // The probe read fails: the drive reads no audio raw.
  catalog_->SetPlan({.goodReads = 0, .failWith = CdReadStatus::kFailed});
  MakeReader(catalog_);
  EXPECT_EQ(Open(u"cdaudio://1"), kReaderWrongScheme);
}

TEST_F(CdExtractorTest, ATrackPlaysBitExactWithTimesAndFlags) {
  ASSERT_EQ(Open(u"cdaudio://2"), 0);
  int64_t total = 0, available = 0;
  ASSERT_EQ(reader_->GetSize(&total, &available), 0);
  EXPECT_EQ(total, 150 * kSectorBytes);
  EXPECT_EQ(available, total);
  ASSERT_EQ(props_->SetInteger(u"streamid", 77), 0);
  Play();
  int32_t last = 0;
  std::vector<Packet> packets;
  const std::vector<uint8_t> got = Drain(&last, &packets);
  EXPECT_TRUE(IsEntry(last, kMsEndOfData)) << last;
  ASSERT_EQ(got, image_.TrackBytes(2));
  ASSERT_FALSE(packets.empty());
  double bytesBefore = 0;
  for (size_t i = 0; i < packets.size(); ++i) {
    const Packet& p = packets[i];
    EXPECT_DOUBLE_EQ(p.position, bytesBefore / kBytesPerSecond) << i;
    EXPECT_DOUBLE_EQ(p.length, p.bytes.size() / kBytesPerSecond) << i;
    EXPECT_EQ(p.streamId, 77);
    const uint32_t want = (i == 0 ? uint32_t{kPacketFirst} : 0u) |
                          (i + 1 == packets.size() ? uint32_t{kPacketLast} : 0u);
    EXPECT_EQ(p.flags, want) << i;
    bytesBefore += static_cast<double>(p.bytes.size());
  }
  // Once at the end, the end stays.
  EXPECT_TRUE(IsEntry(Next().result, kMsEndOfData));
}

TEST_F(CdExtractorTest, ACdaNameOnTheFirstDrivePlaysItsTrack) {
  ASSERT_EQ(Open(u"file://D:\\Track01.cda"), 0);
  Play();
  int32_t last = 0;
  EXPECT_EQ(Drain(&last), image_.TrackBytes(1));
  EXPECT_TRUE(IsEntry(last, kMsEndOfData));
}

TEST_F(CdExtractorTest, SeeksLandOnSectorsAndReportTheirTimes) {
  ASSERT_EQ(Open(u"cdaudio://2"), 0);
  Play();
  ASSERT_EQ(Next().result, 0);
  struct Case {
    double seconds;
    int64_t sector;
  };
  // Between sectors the earlier one; before the start the start.
  const Case cases[] = {{1.0, 75}, {0.5071, 38}, {0.0, 0}, {-3.0, 0}, {1.99, 149}, {NAN, 0}};
  for (const Case& c : cases) {
    ASSERT_EQ(reader_->Seek(c.seconds, 0, 1), 0);
    const Packet p = Next();
    ASSERT_EQ(p.result, 0) << c.seconds;
    EXPECT_DOUBLE_EQ(p.position, static_cast<double>(c.sector) / 75) << c.seconds;
    EXPECT_TRUE(p.flags & kPacketDiscontinuity) << c.seconds;
    EXPECT_EQ(p.bytes, TrackSlice(2, c.sector, p.bytes.size())) << c.seconds;
    EXPECT_FALSE(Next().flags & kPacketDiscontinuity);
  }
  // Past the end: an empty last packet, then the end.
  ASSERT_EQ(reader_->Seek(60.0, 0, 0), 0);
  const Packet end = Next();
  ASSERT_EQ(end.result, 0);
  EXPECT_TRUE(end.bytes.empty());
  EXPECT_EQ(end.flags, kPacketLast | kPacketDiscontinuity);
  EXPECT_TRUE(IsEntry(Next().result, kMsEndOfData));
  // A seek back after the end plays on to the end again.
  ASSERT_EQ(reader_->Seek(1.0, 0, 0), 0);
  int32_t last = 0;
  EXPECT_EQ(Drain(&last), TrackSlice(2, 75, 75 * kSectorBytes));
  EXPECT_TRUE(IsEntry(last, kMsEndOfData));
}

TEST_F(CdExtractorTest, StoppingAndPlayingAgainStartsTheTrackOver) {
  ASSERT_EQ(Open(u"cdaudio://2"), 0);
  Play();
  for (int i = 0; i < 20; ++i)
    ASSERT_EQ(Next().result, 0);
  ASSERT_EQ(reader_->StateChange(kChainStopped), 0);
  EXPECT_FALSE(reader_->IsBuffering());
  EXPECT_TRUE(IsEntry(Next().result, kMsWrongState)) << "stopped: nothing to wait for";
  ASSERT_EQ(reader_->StateChange(kChainPlaying), 0);
  const Packet p = Next();
  ASSERT_EQ(p.result, 0);
  EXPECT_DOUBLE_EQ(p.position, 0.0);
  EXPECT_EQ(p.bytes, TrackSlice(2, 0, p.bytes.size()));
}

TEST_F(CdExtractorTest, PacketsNeedAChainAndARunningBuffer) {
  ASSERT_EQ(Open(u"cdaudio://1"), 0);
  EXPECT_TRUE(IsEntry(Next().result, kMsNotInChain));
  reader_->SetChain(chain_.Get());
  EXPECT_TRUE(IsEntry(Next().result, kMsWrongState));
  EXPECT_TRUE(IsEntry(reader_->Prepare(0), kMsWrongState));
  ASSERT_EQ(reader_->StateChange(kChainFormatDetection), 0);
  EXPECT_TRUE(IsEntry(reader_->Prepare(0), kMsWrongState));
  EXPECT_TRUE(reader_->IsBuffering());
  EXPECT_EQ(Next().result, 0);
}

TEST_F(CdExtractorTest, ADriveThatFailsMidTrackEndsWithTheReadError) {
  // A few blocks come, then the drive fails every try.
  catalog_->SetPlan({.goodReads = 4, .failWith = CdReadStatus::kDeviceError});
  MakeReader(catalog_);
  ASSERT_EQ(Open(u"cdaudio://2"), 0);
  Play();
  int32_t last = 0;
  const std::vector<uint8_t> got = Drain(&last);
  EXPECT_EQ(last, CdError(kCdErrorReadFailed));
  EXPECT_LT(last, 0);
  EXPECT_STREQ(CdErrorMessage(kCdErrorReadFailed), "cd audio extraction - read failed");
  // What came is the track's start (the probe was the first good read), no more than three
  // blocks of it.
  EXPECT_EQ(got, TrackSlice(2, 0, got.size()));
  EXPECT_LE(got.size(), static_cast<size_t>(3 * 8 * kSectorBytes));
  // The failure stays until a seek tries again.
  EXPECT_EQ(Next().result, CdError(kCdErrorReadFailed));
}

TEST_F(CdExtractorTest, ADriveThatFailsForGoodStopsAtOnce) {
  catalog_->SetPlan({.goodReads = 1, .failWith = CdReadStatus::kFailed});
  MakeReader(catalog_);
  ASSERT_EQ(Open(u"cdaudio://1"), 0);
  Play();
  int32_t last = 0;
  EXPECT_TRUE(Drain(&last).empty());
  EXPECT_EQ(last, CdError(kCdErrorReadFailed));
}

TEST_F(CdExtractorTest, PassingDriveErrorsAreRetriedWithoutLoss) {
  // Three failures in a row: the fourth try of the same block works.
  catalog_->SetPlan({.goodReads = 3, .failures = 3, .failWith = CdReadStatus::kDeviceError});
  MakeReader(catalog_);
  ASSERT_EQ(Open(u"cdaudio://2"), 0);
  Play();
  int32_t last = 0;
  EXPECT_EQ(Drain(&last), image_.TrackBytes(2));
  EXPECT_TRUE(IsEntry(last, kMsEndOfData));
}

TEST_F(CdExtractorTest, AbortAndStopFreeAPullerWaitingOnAStuckDrive) {
  Event gate(EventReset::kManual);
  catalog_->SetPlan({.goodReads = 1, .gate = &gate});
  MakeReader(catalog_);
  ASSERT_EQ(Open(u"cdaudio://2"), 0);
  Play();
  // The chain's abort event frees the waiting puller.
  int32_t result = 0;
  std::thread puller([&] { result = Next().result; });
  // A seek meanwhile neither waits for the drive nor for the waiting puller.
  EXPECT_EQ(reader_->Seek(0.5, 0, 1), 0);
  chain_->AbortEvent()->Set();
  puller.join();
  EXPECT_TRUE(IsEntry(result, kMsWrongState)) << result;
  chain_->AbortEvent()->Reset();
  // A stop frees it too while the drive still holds its read; the stop itself ends once the
  // drive lets the read go.
  std::thread puller2([&] { result = Next().result; });
  std::thread stopper([&] { reader_->StateChange(kChainStopped); });
  puller2.join();
  EXPECT_LT(result, 0);
  gate.Set();
  stopper.join();
  EXPECT_FALSE(reader_->IsBuffering());
}

TEST_F(CdExtractorTest, PropertiesTellTheTrackAndTheModule) {
  PropertyDescriptionList list;
  ASSERT_EQ(props_->Describe(&list), 0);
  const char16_t* const names[] = {u"modulename",    u"moduledescription", u"modulecopyright",
                                   u"moduleversion", u"warmuptime",        u"url",
                                   u"streamid"};
  const uint32_t flags[] = {49, 49, 49, 51, 51, 33, 66};
  ASSERT_EQ(list.Count(), 7u);
  for (uint32_t i = 0; i < 7; ++i) {
    EXPECT_EQ(list.At(i).name, TString(names[i]));
    EXPECT_EQ(list.At(i).flags, flags[i]);
  }
  TString text;
  ASSERT_EQ(props_->GetString(u"modulename", &text), 0);
  EXPECT_EQ(text, TString(u"CDExtractor"));
  ASSERT_EQ(props_->GetString(u"moduledescription", &text), 0);
  EXPECT_EQ(text, TString(u"CD digital audio reader"));
  EXPECT_EQ(props_->GetString(u"url", &text), 0);
  double v = 0;
  ASSERT_EQ(props_->GetNumber(u"warmuptime", &v), 0);
  EXPECT_EQ(v, 5.0);
  EXPECT_TRUE(IsEntry(props_->GetNumber(u"totaltime", &v), kMsWrongState));
  reader_->SetChain(chain_.Get());
  ASSERT_EQ(reader_->StateChange(kChainCued), 0);
  EXPECT_EQ(props_->GetNumber(u"totaltime", &v), kReaderNotOpen);
  ASSERT_EQ(Open(u"cdaudio://2"), 0);
  ASSERT_EQ(props_->GetNumber(u"totaltime", &v), 0);
  EXPECT_DOUBLE_EQ(v, 2.0);
  EXPECT_EQ(props_->GetNumber(u"frequency", &v), kErrNotFound);
  EXPECT_EQ(props_->SetString(u"modulename", u"x"), kErrNotFound);
  // Nothing is stored: loading settings leaves the store as it was.
  RefPtr<MPreferenceStore> store = registry_.NewPreferences();
  EXPECT_EQ(props_->LoadSettings(store.Get()), 0);
  EXPECT_EQ(props_->SaveSettings(store.Get()), 0);
}

TEST_F(CdExtractorTest, TheOutputDeliversCdAudio) {
  AudioModuleOutput* out = nullptr;
  ASSERT_EQ(reader_->GetOutput(&out, 0), 0);
  AudioFormatList formats;
  ASSERT_EQ(out->GetFormats(&formats), 0);
  ASSERT_EQ(formats.Count(), 1u);
  const AudioFormat& f = *formats.At(0);
  EXPECT_EQ(f.type, kFormatPcm);
  EXPECT_EQ(f.sampleRate, 44100u);
  EXPECT_EQ(f.channels, 2u);
  EXPECT_EQ(f.bitsPerSample, 16u);
  EXPECT_EQ(f.isSigned, 1);
  EXPECT_EQ(f.isFloat, 0);
  EXPECT_EQ(reader_->HasInput(), 0);
  AudioModuleOutput* again = nullptr;
  EXPECT_EQ(reader_->GetOutputByName(&again, u"output"), 0);
  EXPECT_EQ(again, out);
  EXPECT_EQ(reader_->GetOutput(&again, 1), kErrNotFound);
}

}  // namespace
}  // namespace vk2

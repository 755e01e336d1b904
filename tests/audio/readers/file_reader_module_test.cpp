#include <gtest/gtest.h>

#include <vector>

#include "audio/readers/common/reader_results.h"
#include "audio/readers/file/file_reader.h"
#include "foundation/util/result.h"
#include "interfaces/audio/media_chain.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/preference_store.h"
#include "platform/event.h"
#include "tests/fixtures/audio/memory_preferences.h"
#include "tests/fixtures/audio/test_registry.h"
#include "tests/support/audio_compare.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"
#include "tests/support/tools.h"

namespace vk2 {
namespace {

using test::PatternByte;
using test::PatternBytes;

struct Packet {
  int32_t result = 0;
  std::vector<uint8_t> bytes;
  uint32_t flags = 0;
  double position = -2;
};

class FileReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    reader_ = RefPtr<FileReader>(new FileReader());
    ASSERT_EQ(reader_->QueryInterface(kIID_MModuleProperties, props_.PutVoid(), 1, 0), 0);
    chain_ = RefPtr<MMediaChain>::Adopt(registry_.System()->CreateChain());
    ASSERT_TRUE(chain_);
    // A chain that never played stands stopped, with its abort event set.
    chain_->AbortEvent()->Reset();
  }
  void TearDown() override {
    props_ = nullptr;
    if (reader_) reader_->SetChain(nullptr);
  }

  std::string Url(const std::string& name, size_t bytes) {
    return "file://" + folder_.Write(name, PatternBytes(bytes));
  }
  int32_t Open(const std::string& url) { return reader_->Open(Utf16(url).c_str()); }

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
      EXPECT_TRUE(packet->format && packet->format->type == kFormatByteStream);
    }
    return p;
  }
  bool IsEntry(int32_t code, MediaSystemEntry entry) {
    return test::IsMediaEntry(registry_.Errors(), code, entry);
  }
  static void ExpectPattern(const Packet& p, int64_t from) {
    for (size_t i = 0; i < p.bytes.size(); ++i) {
      ASSERT_EQ(p.bytes[i], PatternByte(from + static_cast<int64_t>(i))) << "byte " << i;
    }
  }

  test::TestRegistry registry_;
  test::TempFolder folder_;
  RefPtr<FileReader> reader_;
  RefPtr<MModuleProperties> props_;
  RefPtr<MMediaChain> chain_;
};

TEST_F(FileReaderTest, ClaimsFileUrlsInAnyCaseAndCostsByMachine) {
  struct Case {
    const char16_t* url;
    uint32_t s1, s2;
    int32_t cost;
  };
  const Case cases[] = {
      {u"file:///music/a.wav", 100, 50, 256},
      {u"FILE:///music/a.wav", 100, 50, 256},
      {u"file://d:\\track05.cda", 100, 50, 256},
      {u"file://\\\\server\\share\\a.wav", 100, 50, 512},
      {u"file://\\\\localhost\\share\\a.wav", 100, 50, 256},
      {u"http://host/a.ogg", 0, 0, 0},
      {u"file:/a.wav", 0, 0, 0},
  };
  for (const Case& c : cases) {
    uint32_t s1 = 9, s2 = 9;
    EXPECT_EQ(reader_->CanRead(c.url, &s1, &s2), 0);
    EXPECT_EQ(s1, c.s1);
    EXPECT_EQ(s2, c.s2);
    EXPECT_EQ(reader_->GetAccessCost(c.url), c.cost);
  }
}

TEST_F(FileReaderTest, OpenCloseAndTheirFailures) {
  EXPECT_EQ(reader_->Open(u"http://host/a.wav"), kReaderWrongScheme);
  EXPECT_EQ(Open("file://" + folder_.Path() + "/missing.wav"), kReaderCannotOpen);
  // No unescaping: a %20 stays as it is.
  folder_.Write("a b.wav", PatternBytes(10));
  EXPECT_EQ(Open("file://" + folder_.Path() + "/a%20b.wav"), kReaderCannotOpen);
  int64_t v = 0;
  uint32_t count = 0;
  uint8_t b[4];
  EXPECT_EQ(reader_->Close(), kReaderNotOpen);
  EXPECT_EQ(reader_->GetSize(&v, &v), kReaderNotOpen);
  EXPECT_EQ(reader_->ReadAt(0, b, 4, &count), kReaderNotOpen);
  EXPECT_EQ(reader_->GetPosition(&v), kReaderNotOpen);
  EXPECT_EQ(reader_->SetPosition(0), kReaderNotOpen);
  ASSERT_EQ(Open("file://" + folder_.Path() + "/a b.wav"), 0);
  EXPECT_EQ(Open("file://" + folder_.Path() + "/a b.wav"), kReaderAlreadyOpen);
  int64_t total = 0, available = 0;
  EXPECT_EQ(reader_->GetSize(&total, &available), 0);
  EXPECT_EQ(total, 10);
  EXPECT_EQ(available, 10);
  EXPECT_EQ(reader_->Close(), 0);
  EXPECT_EQ(reader_->Close(), kReaderNotOpen);
}

TEST_F(FileReaderTest, OutputAndInputLookups) {
  AudioModuleOutput* byName = nullptr;
  AudioModuleOutput* byIndex = nullptr;
  EXPECT_EQ(reader_->GetOutputByName(&byName, u"output"), 0);
  EXPECT_EQ(reader_->GetOutput(&byIndex, 0), 0);
  EXPECT_EQ(byName, byIndex);
  EXPECT_EQ(reader_->GetOutput(&byIndex, 1), kErrNotFound);
  AudioModuleOutput* none = nullptr;
  EXPECT_EQ(reader_->GetOutputByName(&none, u"input"), kErrNotFound);
  AudioModuleInput* in = nullptr;
  EXPECT_EQ(reader_->GetInput(&in, 0), kErrNotFound);
  EXPECT_EQ(reader_->HasInput(), 0);
  EXPECT_EQ(reader_->HasOutput(), 1);
  AudioFormatList formats;
  ASSERT_EQ(byName->GetFormats(&formats), 0);
  ASSERT_EQ(formats.Count(), 1u);
  EXPECT_TRUE(formats.At(0)->type == kFormatByteStream);
  void* p = nullptr;
  EXPECT_EQ(reader_->QueryInterface(kIID_MFileReader, &p, 1, 0), 0);
  static_cast<MUnknown*>(p)->Release();
  EXPECT_EQ(reader_->QueryInterface(kIID_MModuleProperties, &p, 1, 0), 0);
  static_cast<MUnknown*>(p)->Release();
  EXPECT_EQ(reader_->QueryInterface(kIID_MAudioSystem, &p, 1, 0), kErrNoInterface);
  EXPECT_EQ(reader_->QueryInterface(kIID_MFileReader, nullptr, 1, 0), kErrOutOfMemory);
}

TEST_F(FileReaderTest, PacketsNeedAChainAndARightState) {
  ASSERT_EQ(Open(Url("a", 100)), 0);
  EXPECT_TRUE(IsEntry(Next().result, kMsNotInChain));
  EXPECT_TRUE(IsEntry(reader_->Prepare(1), kMsWrongState));
  reader_->StateChange(kChainFormatDetection);
  EXPECT_TRUE(IsEntry(reader_->Prepare(1), kMsWrongState));
  reader_->StateChange(kChainCued);
  EXPECT_EQ(reader_->Prepare(2), 0);
  EXPECT_TRUE(IsEntry(reader_->StateChange(9), kMsUnknownState));
}

// Direct reads and read-ahead give the same packets.
class FileReaderPacketTest : public FileReaderTest, public ::testing::WithParamInterface<bool> {
 protected:
  void Start(const std::string& url) {
    ASSERT_EQ(props_->SetInteger(u"readbufferenabled", GetParam() ? 1 : 0), 0);
    ASSERT_EQ(props_->SetInteger(u"readbufferchunk", 1000), 0);
    ASSERT_EQ(props_->SetInteger(u"readbuffersize", 8192), 0);
    ASSERT_EQ(Open(url), 0);
    reader_->SetChain(chain_.Get());
    ASSERT_EQ(reader_->StateChange(kChainCued), 0);
    ASSERT_EQ(reader_->StateChange(kChainPlaying), 0);
    EXPECT_EQ(reader_->IsReadAheadRunning(), GetParam());
  }
};

TEST_P(FileReaderPacketTest, SequentialPacketsFlagTheFirstAndTheShortLast) {
  Start(Url("a", 2500));
  Packet p = Next();
  ASSERT_EQ(p.result, 0);
  EXPECT_EQ(p.flags, kPacketFirst);
  EXPECT_EQ(p.bytes.size(), 1024u);
  EXPECT_EQ(p.position, 0.0);
  ExpectPattern(p, 0);
  p = Next();
  EXPECT_EQ(p.flags, 0u);
  EXPECT_EQ(p.position, 1024.0);
  p = Next();
  EXPECT_EQ(p.flags, kPacketLast);
  EXPECT_EQ(p.bytes.size(), 452u);
  ExpectPattern(p, 2048);
  EXPECT_TRUE(IsEntry(Next().result, kMsEndOfData));
  // Seek clears end-reached; the reader itself does not move.
  EXPECT_EQ(reader_->Seek(0.0, 0, 1), 0);
  p = Next();
  EXPECT_EQ(p.result, 0);
  EXPECT_EQ(p.bytes.size(), 0u);
  EXPECT_EQ(p.flags, kPacketLast);
}

TEST_P(FileReaderPacketTest, FileOfWholePacketsEndsWithAnEmptyLastPacket) {
  Start(Url("a", 2048));
  EXPECT_EQ(Next().bytes.size(), 1024u);
  Packet p = Next();
  EXPECT_EQ(p.bytes.size(), 1024u);
  EXPECT_EQ(p.flags, 0u);
  p = Next();
  EXPECT_EQ(p.result, 0);
  EXPECT_EQ(p.bytes.size(), 0u);
  EXPECT_EQ(p.flags, kPacketLast);
  EXPECT_TRUE(IsEntry(Next().result, kMsEndOfData));
}

TEST_P(FileReaderPacketTest, SetPositionGivesADiscontinuityAtTheNewOffset) {
  Start(Url("a", 50000));
  Next();
  ASSERT_EQ(reader_->SetPosition(30001), 0);
  int64_t pos = 0;
  EXPECT_EQ(reader_->GetPosition(&pos), 0);
  EXPECT_EQ(pos, 30001);
  Packet p = Next();
  EXPECT_EQ(p.flags, kPacketDiscontinuity);
  EXPECT_EQ(p.position, 30001.0);
  ExpectPattern(p, 30001);
  EXPECT_EQ(Next().flags, 0u);
  // Random reads leave the order alone.
  uint8_t b[8];
  uint32_t count = 0;
  EXPECT_EQ(reader_->ReadAt(49996, b, 8, &count), 0);
  EXPECT_EQ(count, 4u);
  EXPECT_EQ(b[0], PatternByte(49996));
  EXPECT_EQ(Next().position, 30001.0 + 2048);
  // Past the end: nothing more, then the end.
  ASSERT_EQ(reader_->SetPosition(60000), 0);
  p = Next();
  EXPECT_EQ(p.bytes.size(), 0u);
  EXPECT_EQ(p.flags, kPacketLast | kPacketDiscontinuity);
}

TEST_P(FileReaderPacketTest, StopRewindsAndEndsReadAhead) {
  Start(Url("a", 5000));
  Next();
  Next();
  ASSERT_EQ(reader_->StateChange(kChainStopped), 0);
  EXPECT_FALSE(reader_->IsReadAheadRunning());
  int64_t pos = -1;
  EXPECT_EQ(reader_->GetPosition(&pos), 0);
  EXPECT_EQ(pos, 0);
  ASSERT_EQ(reader_->StateChange(kChainPlaying), 0);
  EXPECT_EQ(reader_->IsReadAheadRunning(), GetParam());
  Packet p = Next();
  EXPECT_EQ(p.position, 0.0);
  ExpectPattern(p, 0);
}

INSTANTIATE_TEST_SUITE_P(Reading, FileReaderPacketTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "ReadAhead" : "Direct"; });

TEST_F(FileReaderTest, FormatDetectionReadsDirectly) {
  ASSERT_EQ(props_->SetInteger(u"readbufferenabled", 1), 0);
  ASSERT_EQ(Open(Url("a", 3000)), 0);
  reader_->SetChain(chain_.Get());
  ASSERT_EQ(reader_->StateChange(kChainFormatDetection), 0);
  EXPECT_FALSE(reader_->IsReadAheadRunning());
  EXPECT_EQ(Next().flags, kPacketFirst);
}

TEST_F(FileReaderTest, PropertiesDescribeAndLimitTheSettings) {
  PropertyDescriptionList list;
  RefPtr<MModuleProperties> props = props_;
  ASSERT_EQ(props->Describe(&list), 0);
  const std::pair<const char16_t*, uint32_t> expected[] = {
      {u"modulename", 49},        {u"moduledescription", 49}, {u"modulecopyright", 49},
      {u"moduleversion", 51},     {u"warmuptime", 51},        {u"url", 33},
      {u"readbufferenabled", 66}, {u"readbuffersize", 66},    {u"readbufferchunk", 66},
      {u"streamid", 66}};
  ASSERT_EQ(list.Count(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_TRUE(list.At(i).name.Equals(expected[i].first)) << i;
    EXPECT_EQ(list.At(i).flags, expected[i].second) << i;
  }
  TString text;
  EXPECT_EQ(props->GetString(u"modulename", &text), 0);
  EXPECT_TRUE(text.Equals(u"FileReader"));
  EXPECT_EQ(props->GetString(u"url", &text), kReaderNotOpen);
  double number = 0;
  EXPECT_EQ(props->GetNumber(u"warmuptime", &number), 0);
  EXPECT_EQ(number, 1.0);
  EXPECT_EQ(props->GetNumber(u"moduleversion", &number), 0);
  EXPECT_EQ(props->GetNumber(u"nosuch", &number), kErrNotFound);
  int32_t value = 0;
  EXPECT_EQ(props->GetInteger(u"readbuffersize", &value), 0);
  EXPECT_EQ(value, kDefaultReadBufferSize);
  EXPECT_EQ(props->SetInteger(u"readbuffersize", 8191), kReaderOutOfRange);
  EXPECT_EQ(props->SetInteger(u"readbuffersize", 32768), kReaderOutOfRange);  // below the chunk
  EXPECT_EQ(props->SetInteger(u"readbufferchunk", 0), kReaderOutOfRange);
  EXPECT_EQ(props->SetInteger(u"readbufferchunk", kDefaultReadBufferSize + 1), kReaderOutOfRange);
  EXPECT_EQ(props->SetInteger(u"readbufferchunk", 256), 0);
  EXPECT_EQ(props->SetInteger(u"readbuffersize", 8192), 0);
  EXPECT_EQ(props->SetInteger(u"readbufferenabled", 7), 0);
  EXPECT_EQ(props->GetInteger(u"readbufferenabled", &value), 0);
  EXPECT_EQ(value, 1);
  EXPECT_EQ(props->SetInteger(u"streamid", -4), 0);
  EXPECT_EQ(props->GetInteger(u"streamid", &value), 0);
  EXPECT_EQ(value, -4);
  EXPECT_EQ(props->SetString(u"modulename", u"x"), kErrNotFound);
  ASSERT_EQ(Open(Url("b", 10)), 0);
  EXPECT_EQ(props->GetString(u"url", &text), 0);
  EXPECT_TRUE(text.Equals(Utf16(folder_.Path() + "/b").c_str()));
}

TEST_F(FileReaderTest, StoredSettingsApplyTogetherWhateverTheOrder) {
  RefPtr<MModuleProperties> props = props_;
  // A small buffer with small chunks: loaded one by one, the size would be refused while the
  // chunk is still the default 65536.
  RefPtr<MPreferenceStore> store = test::MakeMemoryPreferences();
  ASSERT_EQ(store->SetInt(u"readbuffersize", 8192), 0);
  ASSERT_EQ(store->SetInt(u"readbufferchunk", 2048), 0);
  ASSERT_EQ(store->SetBool(u"readbufferenabled", true), 0);
  ASSERT_EQ(props->LoadSettings(store.Get()), 0);
  int32_t size = 0, chunk = 0, enabled = 0;
  props->GetInteger(u"readbuffersize", &size);
  props->GetInteger(u"readbufferchunk", &chunk);
  props->GetInteger(u"readbufferenabled", &enabled);
  EXPECT_EQ(size, 8192);
  EXPECT_EQ(chunk, 2048);
  EXPECT_EQ(enabled, 1);
  // The stream id is the chain's, never a setting.
  props->SetInteger(u"streamid", 42);
  RefPtr<MPreferenceStore> saved = test::MakeMemoryPreferences();
  ASSERT_EQ(props->SaveSettings(saved.Get()), 0);
  int32_t v = 0;
  EXPECT_EQ(saved->GetInt(u"readbuffersize", &v), 0);
  EXPECT_EQ(v, 8192);
  EXPECT_LT(saved->GetInt(u"streamid", &v), 0);
  // An invalid stored pair changes nothing.
  ASSERT_EQ(store->SetInt(u"readbufferchunk", 9000), 0);
  ASSERT_EQ(props->LoadSettings(store.Get()), 0);
  props->GetInteger(u"readbufferchunk", &chunk);
  EXPECT_EQ(chunk, 2048);
}

TEST_F(FileReaderTest, MissingSettingsAreWrittenFromTheCurrentValues) {
  RefPtr<MModuleProperties> props = props_;
  RefPtr<MPreferenceStore> store = test::MakeMemoryPreferences();
  ASSERT_EQ(props->LoadSettings(store.Get()), 0);
  int32_t v = 0;
  EXPECT_EQ(store->GetInt(u"readbuffersize", &v), 0);
  EXPECT_EQ(v, kDefaultReadBufferSize);
  EXPECT_EQ(store->GetInt(u"readbufferchunk", &v), 0);
  EXPECT_EQ(v, kDefaultReadBufferChunk);
}

}  // namespace
}  // namespace vk2

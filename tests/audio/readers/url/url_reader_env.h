// A URL reader attached to a chain of the test registry, read packet by packet.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio/readers/common/reader_results.h"
#include "audio/readers/common/sound_io_errors.h"
#include "audio/readers/url/url_reader.h"
#include "component/module/error_entry.h"
#include "foundation/util/result.h"
#include "interfaces/audio/media_chain.h"
#include "interfaces/ids.h"
#include "tests/fixtures/audio/test_registry.h"
#include "tests/platform/net/http_test_server.h"
#include "tests/support/audio_compare.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"
#include "tests/support/tools.h"

namespace vk2::test {

struct Packet {
  int32_t result = 0;
  std::string bytes;
  uint32_t flags = 0;
  double position = -2;
};

class UrlReaderEnv : public ::testing::Test {
 protected:
  void SetUp() override {
    reader_ = RefPtr<UrlReader>(new UrlReader());
    reader_->SetCacheFolder(folder_.Path());
    ASSERT_EQ(reader_->QueryInterface(kIID_MModuleProperties, props_.PutVoid(), 1, 0), 0);
    chain_ = RefPtr<MMediaChain>::Adopt(registry_.System()->CreateChain());
    ASSERT_TRUE(chain_);
    chain_->AbortEvent()->Reset();
    reader_->SetChain(chain_.Get());
  }
  void TearDown() override {
    if (reader_) {
      reader_->StateChange(kChainStopped);
      reader_->Close();
      reader_->SetChain(nullptr);
    }
    props_ = nullptr;
    reader_ = nullptr;
  }

  int32_t Open(const std::string& url) { return reader_->Open(Utf16(url).c_str()); }
  // Settings for a plain read: no disk cache, no prebuffer wait unless asked.
  void Configure(int32_t diskBuffer, int32_t bufferSize = 65536, double prebuffer = 0.0) {
    ASSERT_EQ(props_->SetInteger(u"diskbuffer", diskBuffer), 0);
    ASSERT_EQ(props_->SetInteger(u"buffersize", bufferSize), 0);
    ASSERT_EQ(props_->SetNumber(u"prebuffer", prebuffer), 0);
  }
  void Play() {
    ASSERT_EQ(reader_->StateChange(kChainCued), 0);
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
      p.bytes.assign(reinterpret_cast<const char*>(packet->data), packet->byteCount);
      p.flags = packet->flags;
      p.position = packet->position;
    }
    return p;
  }
  // Packets to the end of the stream: their bytes; `last` gets the packet that ended it.
  std::string Drain(Packet* last = nullptr) {
    std::string all;
    for (int guard = 0; guard < 100000; ++guard) {
      Packet p = Next();
      if (p.result < 0) {
        if (last) *last = p;
        return all;
      }
      all += p.bytes;
    }
    ADD_FAILURE() << "no end";
    return all;
  }
  bool IsEntry(int32_t code, MediaSystemEntry entry) {
    return IsMediaEntry(registry_.Errors(), code, entry);
  }
  bool IsSoundIo(int32_t code, SoundIoEntry entry) {
    return IsErrorEntry(registry_.Errors(), code, entry, kSoundIoTable);
  }
  std::string Text(const char16_t* name) {
    TString v;
    if (props_->GetString(name, &v) < 0) return "<none>";
    return Utf8(v).c_str();
  }

  TestRegistry registry_;
  TempFolder folder_;
  RefPtr<UrlReader> reader_;
  RefPtr<MModuleProperties> props_;
  RefPtr<MMediaChain> chain_;
};

}  // namespace vk2::test

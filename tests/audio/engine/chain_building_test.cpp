// Building chains: the reader by score and cost, decoders by media type and score, filters
// where both neighbours accept them, the endpoint last.
#include <gtest/gtest.h>

#include "audio/engine/audiosys/media_chain.h"
#include "tests/audio/engine/engine_env.h"

namespace vk2::test {
namespace {

using Names = std::vector<std::string>;

class ChainBuilding : public EngineEnv {
 protected:
  void SetUp() override {
    SignalSpec spec;
    spec.frames = 4410;
    AddStream(u"tone.sig", SignalFile(spec));
    AddStream(u"TONE.SIG", SignalFile(spec));
    AddStream(u"noise.raw", std::vector<uint8_t>(5000, 0x55));
  }
  // Opens `url` on a new chain ending in a capture endpoint.
  int32_t Open(const char16_t* url, int32_t limit = 0x7FFFFFFF) {
    chain = NewChain();
    endpoint = NewEndpoint(device);
    EXPECT_EQ(chain->SetEndpoint(endpoint.Get()), 0);
    return chain->Open(url, limit);
  }
  std::shared_ptr<CaptureState> device = std::make_shared<CaptureState>();
  RefPtr<MMediaChain> chain;
  RefPtr<AudioEndpoint> endpoint;
};

TEST_F(ChainBuilding, ReaderWithTheGreatestScoreProductWins) {
  struct Case {
    uint32_t a1, a2, b1, b2;
    const char* winner;
  };
  const Case cases[] = {
      {100, 50, 100, 50, "A"},   // the first of equals
      {100, 50, 100, 100, "B"},  // strictly greater replaces
      {0, 100, 1, 1, "B"},       // a product of 0 never wins
      {70, 20, 1, 1400, "A"},    // equal products
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.a1) + "x" + std::to_string(c.a2));
    auto a = AddReader("A", c.a1, c.a2);
    auto b = AddReader("B", c.b1, c.b2);
    AddDecoder("dec");
    ASSERT_EQ(Open(u"signal://tone.sig"), 0);
    EXPECT_EQ(ModuleNames(chain.Get()), (Names{c.winner, "dec", "endpoint"}));
    // Readers of the next case are added behind these: keep only theirs.
    a->prefix = u"none://";
    b->prefix = u"none://";
    chain->Close();
  }
}

TEST_F(ChainBuilding, NoReaderForTheUrl) {
  AddReader("A");
  const int32_t r = Open(u"http://example/tone.sig");
  EXPECT_TRUE(IsEntry(r, kMsNoReader)) << r;
  EXPECT_TRUE(ModuleNames(chain.Get()).empty());
}

TEST_F(ChainBuilding, ReaderAboveTheCostLimitIsNeverOpened) {
  auto reader = AddReader("A");
  reader->cost = 512;
  AddDecoder("dec");
  EXPECT_TRUE(IsEntry(Open(u"signal://tone.sig", 256), kMsTooCostly));
  EXPECT_EQ(reader->openCalls, 0);
  EXPECT_EQ(Open(u"signal://tone.sig", 512), 0);
  EXPECT_EQ(reader->openCalls, 1);
}

TEST_F(ChainBuilding, BadArgumentsAndMissingEndpoint) {
  AddReader("A");
  chain = NewChain();
  EXPECT_EQ(chain->Open(u"", 1000), -9);
  EXPECT_EQ(chain->Open(nullptr, 1000), -9);
  EXPECT_TRUE(IsEntry(chain->Open(u"signal://tone.sig", 1000), kMsNoEndpoint));
  EXPECT_EQ(chain->SetEndpoint(nullptr), -9);
  // A module with an output is no endpoint.
  auto d = AddDecoder("dec");
  RefPtr<MAudioModule> decoder = MakeSignalDecoder(d);
  EXPECT_EQ(chain->SetEndpoint(decoder.Get()), -5);
}

// Decoders whose file types name the URL come first; one of them with scores above 79 and 19
// is taken without asking the others.
TEST_F(ChainBuilding, DecoderByMediaTypeAndScore) {
  struct Case {
    uint32_t m1, m2;  // the matching decoder's scores
    uint32_t o1, o2;  // the other decoder's (no file types, added first)
    const char* winner;
    bool otherAsked;
  };
  const Case cases[] = {
      {100, 50, 100, 100, "match", false}, {80, 20, 100, 100, "match", false},
      {79, 50, 100, 100, "other", true},  // not at once; the other's product is greater
      {79, 50, 10, 10, "match", true},    // asked, but smaller
      {0, 0, 100, 100, "other", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.m1) + "," + std::to_string(c.m2));
    auto reader = AddReader("R");
    auto other = AddDecoder("other", {}, c.o1, c.o2);
    auto match = AddDecoder("match", {u"*.wav", u"*.sig"}, c.m1, c.m2);
    // An upper-case extension matches a lower-case pattern.
    ASSERT_EQ(Open(u"signal://TONE.SIG"), 0);
    EXPECT_EQ(ModuleNames(chain.Get()), (Names{"R", c.winner, "endpoint"}));
    EXPECT_EQ(other->canHandleCalls > 0, c.otherAsked);
    EXPECT_GT(match->canHandleCalls, 0);
    chain->Close();
    reader->prefix = u"none://";
    other->refuses = true;
    match->refuses = true;
  }
}

TEST_F(ChainBuilding, ProbingRewindsTheReaderForTheNextCandidate) {
  auto reader = AddReader("R");
  auto first = AddDecoder("first", {u"*.sig"}, 70, 10);
  auto second = AddDecoder("second", {u"*.sig"}, 70, 20);
  ASSERT_EQ(Open(u"signal://tone.sig"), 0);
  // Each probe read the header from the start: both saw a signal file.
  EXPECT_EQ(ModuleNames(chain.Get()), (Names{"R", "second", "endpoint"}));
  EXPECT_GE(reader->setPositionCalls, 2);
}

TEST_F(ChainBuilding, UndecodableBytesAndRefusedFormats) {
  AddReader("R");
  AddDecoder("dec");
  const int32_t noDecoder = Open(u"signal://noise.raw");
  EXPECT_TRUE(IsEntry(noDecoder, kMsNoDecoder)) << noDecoder;
  EXPECT_TRUE(ModuleNames(chain.Get()).empty());  // the chain was closed
}

TEST_F(ChainBuilding, DecodedAudioTheEndpointRefuses) {
  AddReader("R");
  auto odd = AddDecoder("odd");
  odd->forcedBits = 13;
  const int32_t r = Open(u"signal://tone.sig");
  EXPECT_TRUE(IsEntry(r, kMsEndpointRefusesFormat)) << r;
}

TEST_F(ChainBuilding, FiltersGoWhereBothNeighboursAcceptThem) {
  AddReader("R");
  AddDecoder("dec");
  auto f16 = AddFilter("f16", 16);
  auto f24 = AddFilter("f24", 24);  // fits nowhere: left out, Open still succeeds
  auto any = AddFilter("any");
  ASSERT_EQ(Open(u"signal://tone.sig"), 0);
  // Each is put just before the endpoint.
  EXPECT_EQ(ModuleNames(chain.Get()), (Names{"R", "dec", "f16", "any", "endpoint"}));
}

// A refused probe has set the filter's choice on the upstream output; the downstream module's
// own choice is given back, so the audio still arrives in the format the endpoint took.
TEST_F(ChainBuilding, RefusedFilterProbeRestoresTheUpstreamFormat) {
  device->canOpen = [](const AudioFormat& f) { return f.isFloat ? 1 : 0; };
  AddReader("R");
  auto dec = AddDecoder("dec");
  dec->offerFloat = true;
  AddFilter("f16", 16);  // takes 16-bit only; the device refuses what it would pass on
  ASSERT_EQ(Open(u"signal://tone.sig"), 0);
  EXPECT_EQ(ModuleNames(chain.Get()), (Names{"R", "dec", "endpoint"}));
  ASSERT_EQ(chain->Play(0.0), 0);
  ASSERT_TRUE(device->WaitFor([&] { return device->WrittenBytes() > 0; }));
  EXPECT_EQ(device->OpenBits(), 32u);
  EXPECT_FALSE(device->Calls().empty());
  for (const auto& call : device->Calls())
    EXPECT_NE(call, "ChangeFormat");
  chain->Close();
}

TEST_F(ChainBuilding, InsertRefusesChainsOfFewerThanTwoModules) {
  auto f = AddFilter("f");
  RefPtr<MAudioModule> filter = MakePassThroughFilter(f);
  chain = NewChain();
  EXPECT_TRUE(IsEntry(chain->Insert(filter.Get()), kMsInsertRefused));
}

TEST_F(ChainBuilding, ModulesAreConnectedAndRegisteredInOrder) {
  AddReader("R");
  AddDecoder("dec");
  ASSERT_EQ(Open(u"signal://tone.sig"), 0);
  // Every module got its chain; the chain's callback sits with the decoder (it has a registry).
  EXPECT_EQ(log->Matching("R:SetChain").size(), 1u);
  EXPECT_FALSE(log->Matching("dec:SetChain").empty());
  // Building went through format detection and back to stopped.
  EXPECT_FALSE(log->Matching("dec:StateChange(4)").empty());
  ASSERT_FALSE(log->Matching("R:StateChange").empty());
  EXPECT_EQ(log->Matching("R:StateChange").back(), "R:StateChange(1)");
  EXPECT_EQ(chain->Close(), 0);
  EXPECT_EQ(log->Matching("R:SetChain(null)").size(), 1u);
  EXPECT_EQ(chain->Close(), 0);  // an empty chain closes again
}

TEST_F(ChainBuilding, CandidatesComeFromTheRegistryWithoutDuplicates) {
  AddReader("R");
  AddDecoder("d1");
  AddDecoder("d2");
  AddFilter("f");
  RefPtr<MMediaChain> c = NewChain();
  ASSERT_TRUE(c);
  auto* chainObject = static_cast<MediaChain*>(c.Get());
  EXPECT_EQ(chainObject->ReaderCandidateCount(), 1u);
  EXPECT_EQ(chainObject->DecoderCandidateCount(), 2u);
  EXPECT_EQ(chainObject->FilterCandidateCount(), 1u);
  RefPtr<MAudioModule> d = MakeSignalDecoder(std::make_shared<DecoderConfig>());
  EXPECT_EQ(c->AddDecoder(d.Get()), 0);
  EXPECT_EQ(c->AddDecoder(d.Get()), 0);  // once only
  EXPECT_EQ(chainObject->DecoderCandidateCount(), 3u);
  EXPECT_EQ(c->ClearCandidates(), 0);
  EXPECT_EQ(chainObject->DecoderCandidateCount(), 0u);
}

}  // namespace
}  // namespace vk2::test

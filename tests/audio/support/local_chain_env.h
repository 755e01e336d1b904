// Chains built by the audio system from this area's modules, in process: the file reader, the
// WAVE and Ogg Vorbis decoders, and an endpoint on the engine's capture device.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "audio/decoders/ogg/ogg_decoder.h"
#include "audio/decoders/wave/wave_decoder.h"
#include "audio/readers/file/file_reader.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "tests/audio/engine/engine_env.h"

namespace vk2::test {

template <class T>
int32_t MakeModule(void** out) {
  auto* object = new T();
  object->AddRef();
  *out = static_cast<MAudioModule*>(object);
  return kOk;
}

class LocalChainEnv : public EngineEnv {
 protected:
  void AddFileReader() {
    Register(kCategoryStreamReaders, [](const Guid& iid, void** out) {
      if (!(iid == kIID_MStreamReader)) return kErrNoInterface;
      auto* reader = new FileReader();
      reader->AddRef();
      *out = static_cast<MStreamReader*>(reader);
      return kOk;
    });
  }
  template <class Decoder>
  void AddDecoder() {
    Register(kCategoryDecoders, [](const Guid& iid, void** out) {
      if (!(iid == kIID_MAudioModule)) return kErrNoInterface;
      return MakeModule<Decoder>(out);
    });
  }

  // Builds a chain for `url` ending in an endpoint on `device`; the result of Open.
  int32_t Build(const std::string& url) {
    chain = NewChain();
    endpoint = NewEndpoint(device);
    EXPECT_EQ(chain->SetEndpoint(endpoint.Get()), 0);
    const int32_t r = chain->Open(Utf16(url).c_str(), 100000);
    if (r == 0) {
      EXPECT_EQ(chain->RegisterCallback(&events, 1), 0);
    }
    return r;
  }
  // Plays to the end (the device hears everything at once); false when it did not end.
  bool PlayToEnd() {
    if (chain->Play(0.75) != 0) return false;
    return events.WaitFor(kEventStreamEnded);
  }
  void TearDown() override {
    if (chain) chain->Close();
    chain = nullptr;
    endpoint = nullptr;
    EngineEnv::TearDown();
  }
  // The decoder of a built chain (the module after the reader).
  RefPtr<MAudioModule> Decoder() {
    MAudioModule* m = nullptr;
    chain->NextModule(&m);
    chain->NextModule(&m);
    return RefPtr<MAudioModule>::Adopt(m);
  }
  RefPtr<MModuleInfo> DecoderInfo() {
    RefPtr<MModuleInfo> info;
    RefPtr<MAudioModule> d = Decoder();
    if (d) d->QueryInterface(kIID_MModuleInfo, info.PutVoid(), 1, 0);
    return info;
  }

  // First: it outlives the chain, whose event thread may still hold it.
  RecordingCallback events;
  std::shared_ptr<CaptureState> device = std::make_shared<CaptureState>();
  RefPtr<MMediaChain> chain;
  RefPtr<AudioEndpoint> endpoint;
};

}  // namespace vk2::test

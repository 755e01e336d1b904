// The environment most engine tests share: a test registry with fixture classes registered in
// the categories the audio system lists, and helpers to build chains and read results.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "audio/common/media_errors.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/audio/audio_system.h"
#include "interfaces/audio/chain_types.h"
#include "interfaces/audio/media_chain.h"
#include "interfaces/audio/module_properties.h"
#include "interfaces/ids.h"
#include "tests/fixtures/audio/capture_device.h"
#include "tests/fixtures/audio/fixture_modules.h"
#include "tests/fixtures/audio/recording_callback.h"
#include "tests/fixtures/audio/signal.h"
#include "tests/fixtures/audio/test_registry.h"
#include "tests/fixtures/audio/tstring_printer.h"

namespace vk2::test {

inline Guid TestClassId(uint32_t n) {
  Guid g;
  g.data1 = 0x7E570000u + n;
  g.data2 = 0x1234;
  g.data3 = 0x5678;
  return g;
}

class EngineEnv : public ::testing::Test {
 protected:
  void TearDown() override { ClearStreams(); }

  std::shared_ptr<ReaderConfig> AddReader(const std::string& name, uint32_t s1 = 100,
                                          uint32_t s2 = 50) {
    auto c = std::make_shared<ReaderConfig>();
    c->name = name;
    c->score1 = s1;
    c->score2 = s2;
    c->log = log;
    Register(kCategoryStreamReaders, [c](const Guid& iid, void** out) {
      if (!(iid == kIID_MStreamReader) && !(iid == kIID_MAudioModule)) return -15;
      *out = MakeSignalReader(c).Detach();
      return 0;
    });
    return c;
  }
  std::shared_ptr<DecoderConfig> AddDecoder(const std::string& name,
                                            std::vector<std::u16string> types = {u"*.sig"},
                                            uint32_t s1 = 100, uint32_t s2 = 50) {
    auto c = std::make_shared<DecoderConfig>();
    c->name = name;
    c->fileTypes = std::move(types);
    c->score1 = s1;
    c->score2 = s2;
    c->log = log;
    Register(kCategoryDecoders, [c](const Guid& iid, void** out) {
      if (!(iid == kIID_MAudioModule)) return -15;
      *out = MakeSignalDecoder(c).Detach();
      return 0;
    });
    return c;
  }
  std::shared_ptr<FilterConfig> AddFilter(const std::string& name, uint32_t onlyBits = 0) {
    auto c = std::make_shared<FilterConfig>();
    c->name = name;
    c->onlyBits = onlyBits;
    c->log = log;
    Register(kCategoryDspFilters, [c](const Guid& iid, void** out) {
      if (!(iid == kIID_MAudioModule)) return -15;
      *out = MakePassThroughFilter(c).Detach();
      return 0;
    });
    return c;
  }
  // An output device class: each endpoint made from it owns a new capture device on `state`.
  Guid AddDevice(const std::shared_ptr<CaptureState>& state) {
    return Register(kCategoryOutputDevices, [state](const Guid& iid, void** out) {
      if (!(iid == kIID_MAudioModule)) return -15;
      *out = static_cast<MAudioModule*>(MakeCaptureEndpoint(state).Detach());
      return 0;
    });
  }
  Guid Register(const Guid& category, ClassMaker maker) {
    const Guid id = TestClassId(++classes_);
    registry.AddClass(id, std::move(maker));
    registry.AddToCategory(category, id);
    return id;
  }

  RefPtr<MMediaChain> NewChain() {
    return RefPtr<MMediaChain>::Adopt(registry.System()->CreateChain());
  }
  RefPtr<AudioEndpoint> NewEndpoint(const std::shared_ptr<CaptureState>& state) {
    return MakeCaptureEndpoint(state);
  }

  // The fixture names of a chain's modules, first to last ("endpoint" for the endpoint).
  static std::vector<std::string> ModuleNames(MMediaChain* chain) {
    std::vector<std::string> names;
    MAudioModule* m = nullptr;
    while (chain->NextModule(&m) == 0) {
      RefPtr<MModuleInfo> info;
      TString name;
      if (m->QueryInterface(kIID_MModuleInfo, info.PutVoid(), 1, 0) == 0 &&
          info->GetString(u"fixturename", &name) == 0) {
        names.push_back(Utf8(name).c_str());
      } else {
        names.push_back(m->HasOutput() == 0 ? "endpoint" : "?");
      }
    }
    return names;
  }
  static RefPtr<MModuleProperties> Properties(MMediaChain* chain) {
    RefPtr<MModuleProperties> p;
    chain->QueryInterface(kIID_MModuleProperties, p.PutVoid(), 1, 0);
    return p;
  }
  bool IsEntry(int32_t code, MediaSystemEntry entry) {
    return IsMediaEntry(registry.Errors(), code, entry);
  }

  std::shared_ptr<CallLog> log = std::make_shared<CallLog>();
  TestRegistry registry;

 private:
  uint32_t classes_ = 0;
};

// The bytes of a signal (no header): what a listener must hear.
inline std::vector<uint8_t> SignalBytes(const SignalSpec& spec) {
  return SignalSamples(spec, 0, spec.frames);
}

}  // namespace vk2::test

// Chains of the real file reader and decoders ending in an output device of either kind, which
// plays into capture sinks on a clock running faster than real time.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "audio/decoders/mpeg/module/mpeg_decoder.h"
#include "audio/outputs/common/device_endpoint_factory.h"
#include "audio/outputs/dsound/direct_sound_output.h"
#include "audio/outputs/waveout/wave_out_output.h"
#include "platform/audio/sink/scaled_clock.h"
#include "tests/audio/playback/recording_sinks.h"
#include "tests/audio/support/local_chain_env.h"

namespace vk2::test {

enum class DeviceKind { kDirectSound, kWaveOut };

inline const char* DeviceName(DeviceKind kind) {
  return kind == DeviceKind::kDirectSound ? "DirectSound" : "WaveOut";
}

class DeviceChainEnv : public LocalChainEnv {
 protected:
  // Real time: a looping device buffer that runs dry on a busy machine plays what it holds
  // again, which a faster clock would make likely.
  static constexpr double kClockSpeed = 1.0;

  void SetUpChain() {
    AddFileReader();
    AddDecoder<WaveDecoder>();
    AddDecoder<OggVorbisDecoder>();
    AddDecoder<MpegDecoder>();
  }
  // Builds the chain for `path` on a new endpoint over a device of `kind`; the result of Open.
  int32_t BuildOn(DeviceKind kind, const std::string& path) {
    sinks = std::make_shared<RecordingSinks>(std::make_shared<ScaledClock>(kClockSpeed));
    DeviceLibrary library;
    const PcmSinkFactory factory = sinks->Factory();
    library.makeDevice = [kind, factory]() -> MOutputDevice* {
      OutputDeviceBase* device = nullptr;
      if (kind == DeviceKind::kDirectSound) {
        device = new DirectSoundOutput(factory);
      } else {
        device = new WaveOutOutput(factory);
      }
      device->AddRef();
      return device;
    };
    library.ownInterface = kIID_MAudioModule;
    void* p = nullptr;
    EXPECT_EQ(CreateDeviceEndpoint(library, kIID_MAudioModule, &p), 0);
    endpoint =
        RefPtr<AudioEndpoint>::Adopt(static_cast<AudioEndpoint*>(static_cast<MAudioModule*>(p)));
    chain = NewChain();
    EXPECT_EQ(chain->SetEndpoint(endpoint.Get()), 0);
    const int32_t r = chain->Open(Utf16("file://" + path).c_str(), 100000);
    if (r == 0) {
      EXPECT_EQ(chain->RegisterCallback(&events, 1), 0);
    }
    return r;
  }
  void TearDown() override {
    LocalChainEnv::TearDown();
    sinks = nullptr;
  }

  std::shared_ptr<RecordingSinks> sinks;
};

}  // namespace vk2::test

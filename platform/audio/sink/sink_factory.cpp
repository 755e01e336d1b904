// Picks the back end a new sink plays on.
#include <cstdlib>

#include "platform/audio/sink/alsa_sink.h"
#include "platform/audio/sink/capture_sink.h"
#include "platform/audio/sink/pcm_sink.h"
#include "platform/audio/sink/pulse_loop.h"
#include "platform/audio/sink/pulse_sink.h"
#include "platform/registry/registry_file.h"

namespace vk2 {

bool ParseSinkBackend(const std::string& name, SinkBackend& backend) {
  if (name.empty() || name == "auto") {
    backend = SinkBackend::kAuto;
  } else if (name == "pulse" || name == "pulseaudio" || name == "pipewire") {
    backend = SinkBackend::kPulse;
  } else if (name == "alsa") {
    backend = SinkBackend::kAlsa;
  } else if (name == "capture") {
    backend = SinkBackend::kCapture;
  } else {
    return false;
  }
  return true;
}

SinkBackend ConfiguredSinkBackend() {
  std::string name;
  SinkBackend backend = SinkBackend::kAuto;
  if (registry::RegReadString(registry::RootKey::kCurrentUser, "Software\\Velkora2\\Sound",
                              "backend", &name)) {
    // An unknown name falls back to the automatic choice rather than silencing the player.
    if (!ParseSinkBackend(name, backend)) backend = SinkBackend::kAuto;
  }
  return backend;
}

PcmSinkFactory DefaultPcmSinkFactory() {
  return [] { return CreatePcmSink(ConfiguredSinkBackend()); };
}

bool PulseServerAnswers(uint32_t timeoutMillis) {
  PulseLoop loop;
  std::string error;
  return loop.Connect("Velkora2", timeoutMillis, error);
}

SinkBackend ChooseSinkBackend(SinkBackend setting) {
  SinkBackend chosen = setting;
  if (const char* env = std::getenv("VK2_AUDIO_BACKEND")) {
    SinkBackend fromEnv;
    // An unknown name is ignored rather than silencing the player.
    if (ParseSinkBackend(env, fromEnv) && fromEnv != SinkBackend::kAuto) chosen = fromEnv;
  }
  if (chosen != SinkBackend::kAuto) return chosen;
  return PulseServerAnswers() ? SinkBackend::kPulse : SinkBackend::kAlsa;
}

std::unique_ptr<PcmSink> CreatePcmSink(SinkBackend setting) {
  switch (ChooseSinkBackend(setting)) {
    case SinkBackend::kCapture:
      return std::make_unique<CaptureSink>(CaptureSink::OptionsFromEnvironment());
    case SinkBackend::kAlsa:
      return std::make_unique<AlsaSink>();
    case SinkBackend::kPulse:
    case SinkBackend::kAuto:
      break;
  }
  return std::make_unique<PulseSink>();
}

}  // namespace vk2

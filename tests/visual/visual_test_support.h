// What the handler and driver tests share: the built plug-in folder, a handler over the test
// runtime, a render target, and a way to read a loaded plug-in's own diary.
#pragma once

#include <dlfcn.h>

#include <string>
#include <vector>

#include "foundation/text/tstring.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/graphics/surface.h"
#include "tests/visual/visual_fake_player.h"
#include "tests/visual/visual_test_runtime.h"
#include "visual/host/visual_host_object.h"

namespace vk2::test {

inline std::string PluginDir() {
  return VK2_VISUAL_PLUGIN_DIR;
}
inline std::string PluginPath(const std::string& relative) {
  return PluginDir() + "/" + relative;
}

// A symbol of a plug-in the host has loaded (null when it is not loaded).
template <class Fn>
Fn LoadedSymbol(const std::string& relative, const char* name) {
  void* handle = dlopen(PluginPath(relative).c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (!handle) return nullptr;
  void* symbol = dlsym(handle, name);
  dlclose(handle);
  return reinterpret_cast<Fn>(symbol);
}

inline std::string PluginLog(const std::string& relative) {
  auto log = LoadedSymbol<const char* (*)()>(relative, "PluginLog");
  return log ? log() : "<not loaded>";
}
inline void ClearPluginLog(const std::string& relative) {
  if (auto clear = LoadedSymbol<void (*)()>(relative, "ClearPluginLog")) clear();
}

struct Target {
  Target(int32_t w, int32_t h) : pixels(static_cast<size_t>(w) * h, 0) {
    view.bits = reinterpret_cast<uint8_t*>(pixels.data());
    view.width = w;
    view.height = h;
    view.strideBytes = w * 4;
  }
  uint32_t At(int32_t x, int32_t y) const {
    return pixels[static_cast<size_t>(y) * view.width + x];
  }
  std::vector<uint32_t> pixels;
  SurfaceView view;
};

// A handler over the test runtime, with a player whose chain 5 holds `frames` frames of 8-bit
// mono audio at 1000 Hz (frame n has the value n % 100 + 1) and has heard `heard` bytes.
class HostFixture {
 public:
  static constexpr uint32_t kChain = 5;

  HostFixture() : host(VisualHostObject::Make()), player(new VisualFakePlayer) {
    player->Set("currentchainid", kChain);
    player->Set("heardbytes", 0);
  }
  ~HostFixture() { host->Shutdown(); }

  void Feed(uint32_t frames) {
    MVisualAudioHistory* history = nullptr;
    host->GetAudioHistory(&history);
    if (!formatted_) history->SetFormat(kChain, 1, 1000, 8, false);
    formatted_ = true;
    std::vector<uint8_t> bytes(frames);
    for (uint32_t i = 0; i < frames; ++i)
      bytes[i] = static_cast<uint8_t>(128 + (fed_ + i) % 100 + 1);
    history->Append(kChain, bytes.data(), frames);
    fed_ += frames;
  }
  void Hear(int32_t bytes) { player->Set("heardbytes", bytes); }

  RefPtr<MVisual> ByName(const char16_t* name) {
    RefPtr<MVisual> visual;
    host->GetVisualByName(name, visual.Put());
    return visual;
  }
  RefPtr<MVisual> ById(uint32_t id) {
    RefPtr<MVisual> visual;
    host->GetVisualById(id, visual.Put());
    return visual;
  }
  // The id of the entry of a file (its name before it is first attached), or 0.
  uint32_t IdOfFile(const std::string& relative) {
    RefPtr<MVisual> v = ByName(Utf16(PluginPath(relative)).c_str());
    return v ? v->GetId() : 0;
  }

  VisualTestRuntime runtime;
  RefPtr<VisualHostObject> host;
  RefPtr<VisualFakePlayer> player;

 private:
  bool formatted_ = false;
  uint32_t fed_ = 0;
};

}  // namespace vk2::test

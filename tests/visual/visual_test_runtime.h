// The runtime as the visual host meets it, in process: the test registry's services, plus a
// registrar that loads a module file and lets it register (as the runtime does, keeping the
// file loaded), a class enumerator that knows which file registered each class and tells its
// listeners of changes, and the handler's own class for post effects.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "audio/common/audio_runtime.h"
#include "foundation/util/guid.h"
#include "tests/fixtures/audio/test_registry.h"

namespace vk2::test {

class VisualTestRuntime final : public AudioRuntimeHook {
 public:
  VisualTestRuntime();
  ~VisualTestRuntime();

  int32_t CreateInstance(const Guid& classId, const Guid& iid, void** out) override;
  TestRegistry& Registry() { return registry_; }
  // Registration calls seen (module files registered).
  int RegisteredFiles();
  // Adds a post-effect class that refuses MVisualPostEffect (the walk must step over it).
  void AddRefusingPostEffectClass(const Guid& classId);

  struct ClassRecord {
    Guid classId;
    std::u16string file;
  };
  struct State;

 private:
  TestRegistry registry_;
  AudioRuntimeHook* previous_ = nullptr;
  std::shared_ptr<State> state_;
};

}  // namespace vk2::test

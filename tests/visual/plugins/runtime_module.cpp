// A runtime visual module in a plug-in file: it registers one class in the visual-module
// category and serves it through its own MIFactory. Its renderer paints the image blue, and
// throws when the test asks (ThrowOnDraw), to show that C++ exceptions are caught too.
#include <atomic>
#include <mutex>
#include <new>
#include <stdexcept>
#include <string>

#include "component/object/com_object.h"
#include "foundation/util/ref_ptr.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/class_factory.h"
#include "interfaces/runtime/registrar.h"
#include "interfaces/visual/visual_module.h"

#define EXPORT extern "C" __attribute__((visibility("default")))

namespace {

using namespace vk2;

constexpr Guid kTestModuleClass = MakeGuid("5E0B7C2A-41D3-4F6B-9A8E-0C1D2E3F4A5B");

std::mutex gLogLock;
std::string gLog;
std::atomic<bool> gThrowOnDraw{false};
std::atomic<bool> gNeedsRedraw{true};

void Note(const std::string& what) {
  std::lock_guard<std::mutex> lock(gLogLock);
  gLog += what + ";";
}

class TestRenderer final : public ComObject<TestRenderer, SilentFace<MVisualModuleRenderer>> {
 public:
  void Draw(const SurfaceView* image) override {
    if (gThrowOnDraw) throw std::runtime_error("draw failed");
    for (int32_t y = 0; y < image->height; ++y) {
      for (int32_t x = 0; x < image->width; ++x)
        image->Argb(y)[x] = 0x000000FFu;
    }
    Note("draw");
  }
};

class TestModule final : public ComObject<TestModule, Face<MVisualModule, kIID_MVisualModule>> {
 public:
  void SetHost(MVisualModuleHost* host) override {
    Note(host ? "host" : "nohost");
    if (host) host->SetName(u"Runtime Test Visual");
  }
  bool AcceptsMode(int32_t mode) override {
    Note("accepts " + std::to_string(mode));
    return mode == 1;
  }
  MVisualModuleRenderer* CreateRenderer(int32_t mode, VisualRenderSettings*) override {
    Note("renderer " + std::to_string(mode));
    return RefPtr<TestRenderer>(new (std::nothrow) TestRenderer).Detach();
  }
  void Start() override { Note("start"); }
  bool NeedsRedraw() override { return gNeedsRedraw; }
  void Stop() override { Note("stop"); }
};

class TestFactory final : public ComObject<TestFactory, SilentFace<MClassFactory>> {
 public:
  int32_t CreateInstance(const Guid& iid, void** out, MUnknown* outer) override {
    if (!out) return kErrMissingArg;
    *out = nullptr;
    if (outer || !(iid == kIID_MVisualModule)) return kErrNoInterface;
    *out = static_cast<MVisualModule*>(RefPtr<TestModule>(new (std::nothrow) TestModule).Detach());
    return *out ? kOk : kErrOutOfMemory;
  }
};

}  // namespace

EXPORT int32_t DLLAttach(int32_t) {
  return 1;
}

EXPORT int32_t MIFactory(const Guid* classId, void** out) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  if (!classId || !(*classId == kTestModuleClass)) return kErrNoInterface;
  *out = static_cast<MClassFactory*>(RefPtr<TestFactory>(new (std::nothrow) TestFactory).Detach());
  return kOk;
}

EXPORT int32_t RegisterORU(int32_t mode, MRegistrar* registrar, uintptr_t context) {
  if (registrar->RegisterClass(mode, kTestModuleClass, context, u"Runtime Test Visual") < 0 ||
      registrar->AddToCategory(mode, kCategoryVisualModules, kTestModuleClass,
                               u"Runtime Test Visual") < 0) {
    return -1;
  }
  return 0;
}

EXPORT const char* RuntimeModuleLog() {
  std::lock_guard<std::mutex> lock(gLogLock);
  static std::string copy;
  copy = gLog;
  return copy.c_str();
}

// Whether the module says it has a new frame (it does unless told otherwise).
EXPORT void SetNeedsRedraw(int on) {
  gNeedsRedraw = on != 0;
}

EXPORT void ThrowOnDraw(int on) {
  gThrowOnDraw = on != 0;
}

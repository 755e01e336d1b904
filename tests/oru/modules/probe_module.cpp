#include "tests/oru/modules/probe_module.h"

#include <new>

#include "component/module/runtime_loader.h"
#include "component/module/thread_value_list.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/class_enumerator.h"
#include "interfaces/runtime/console.h"

namespace vk2::test {

std::atomic<int32_t> g_liveObjects{0};
std::atomic<int32_t> g_factoryRequests{0};
std::atomic<int32_t> g_membersSeenAtAttach{-1};

namespace {

class Probe final : public MTestProbe {
 public:
  Probe() { g_liveObjects.fetch_add(1); }

  int32_t QueryInterface(const Guid& iid, void** out, uint32_t addRef, uint32_t) override {
    *out = nullptr;
    if (!GuidEquals(iid, kIID_MTestProbe)) return kErrNoInterface;
    *out = static_cast<MTestProbe*>(this);
    if (addRef) AddRef();
    return 0;
  }
  uint32_t AddRef() override { return count_.fetch_add(1) + 1; }
  uint32_t Release() override {
    uint32_t left = count_.fetch_sub(1) - 1;
    if (left == 0) delete this;
    return left;
  }

  int32_t AttachCount() override { return ModuleAttachCount(); }
  const void* FoundationAddress() override {
    return reinterpret_cast<const void*>(&ModuleAttachCount);
  }
  int32_t FactoryRequests() override { return g_factoryRequests.load(); }
  int32_t LiveObjects() override { return g_liveObjects.load(); }
  int32_t MembersSeenAtAttach() override { return g_membersSeenAtAttach.load(); }
  int32_t HoldThreadValue() override {
    MUnknown* value = ModuleThreadValues(0).GetOrCreate([]() -> MUnknown* {
      void* p = nullptr;
      return CreateProbe(kIID_MTestProbe, &p, nullptr) == 0 ? static_cast<MUnknown*>(p) : nullptr;
    });
    return value ? 0 : -1;
  }

 private:
  ~Probe() { g_liveObjects.fetch_sub(1); }
  std::atomic<uint32_t> count_{0};
};

}  // namespace

int32_t CreateProbe(const Guid& iid, void** out, MUnknown* outer) {
  if (outer) return kErrNoInterface;
  auto* probe = new (std::nothrow) Probe;
  if (!probe) return kErrOutOfMemory;
  probe->AddRef();
  int32_t r = probe->QueryInterface(iid, out, 1, 0);
  probe->Release();
  return r;
}

bool ProbeFirstAttach() {
  if (auto console = CreateRuntimeObject<MConsole>(kServiceClass, kIID_MConsole)) {
    console->Write(kConsoleInfo, u"test module attached", 1);
  }
  if (auto classes =
          CreateRuntimeObject<MClassEnumerator>(kRuntimeRootClass, kIID_MClassEnumerator)) {
    uint32_t count = 0;
    if (classes->GetCategoryCount(kTestCategory, &count) == 0) {
      g_membersSeenAtAttach = static_cast<int32_t>(count);
    }
  }
  return true;
}

}  // namespace vk2::test

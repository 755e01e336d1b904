// The shared body of the test modules: a probe class and module-wide counters.
#pragma once

#include <atomic>

#include "component/module/module_glue.h"
#include "tests/oru/modules/test_module_api.h"

namespace vk2::test {

extern std::atomic<int32_t> g_liveObjects;
extern std::atomic<int32_t> g_factoryRequests;
extern std::atomic<int32_t> g_membersSeenAtAttach;

int32_t CreateProbe(const Guid& iid, void** out, MUnknown* outer);
// Calls back into the runtime from inside the attach: writes to the console and counts the
// test category's members.
bool ProbeFirstAttach();

}  // namespace vk2::test

// The module's exports, counting MIFactory calls.
#define VK2_TEST_MODULE_ENTRY_POINTS(definition)                                                  \
  extern "C" __attribute__((visibility("default"))) int32_t DLLAttach(int32_t reason) {           \
    return ::vk2::ModuleDllAttach(definition, reason);                                            \
  }                                                                                               \
  extern "C" __attribute__((visibility("default"))) int32_t MIFactory(const ::vk2::Guid* classId, \
                                                                      void** out) {               \
    ::vk2::test::g_factoryRequests.fetch_add(1);                                                  \
    return ::vk2::ModuleMIFactory(definition, classId, out);                                      \
  }                                                                                               \
  extern "C" __attribute__((visibility("default"))) int32_t RegisterORU(                          \
      int32_t mode, ::vk2::MRegistrar* registrar, uintptr_t context) {                            \
    return ::vk2::ModuleRegisterOru(definition, mode, registrar, context);                        \
  }

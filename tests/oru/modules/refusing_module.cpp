// Test module "vk2test_refusing": its first attach refuses, as a module whose set-up fails.
#include "tests/oru/modules/probe_module.h"

namespace vk2::test {
namespace {

bool Refuse() {
  return false;
}

const ModuleClass kClasses[] = {{kBetaProbeClass, u"Never", &CreateProbe}};
const ModuleDefinition kModule{kClasses, {}, &Refuse, nullptr};

}  // namespace
}  // namespace vk2::test

VK2_TEST_MODULE_ENTRY_POINTS(vk2::test::kModule)

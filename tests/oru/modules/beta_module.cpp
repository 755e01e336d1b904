// Test module "vk2test_beta": one probe class, also in the test category.
#include "tests/oru/modules/probe_module.h"

namespace vk2::test {
namespace {

const ModuleClass kClasses[] = {{kBetaProbeClass, u"Beta probe", &CreateProbe}};
const ModuleCategoryMember kMembers[] = {{kTestCategory, kBetaProbeClass, u"Beta probe"}};
const ModuleDefinition kModule{kClasses, kMembers, nullptr, nullptr};

}  // namespace
}  // namespace vk2::test

VK2_TEST_MODULE_ENTRY_POINTS(vk2::test::kModule)

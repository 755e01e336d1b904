// Test module "vk2test_alpha": a probe, an aggregatable part, and both in the test category
// (the part first, so registration order differs from the class table's).
#include <new>

#include "component/object/aggregation.h"
#include "foundation/util/result.h"
#include "tests/oru/modules/probe_module.h"

namespace vk2::test {
namespace {

class Part final : public Aggregatable<Part, Face<MTestPart, kIID_MTestPart>> {
 public:
  explicit Part(MUnknown* outer) : Aggregatable(outer) { g_liveObjects.fetch_add(1); }

  int32_t Value() override { return 42; }

 private:
  ~Part() override { g_liveObjects.fetch_sub(1); }
};

int32_t CreatePart(const Guid& iid, void** out, MUnknown* outer) {
  auto* part = new (std::nothrow) Part(outer);
  if (!part) return kErrOutOfMemory;
  return part->HandOut(iid, out);
}

const ModuleClass kClasses[] = {
    {kAlphaProbeClass, u"Alpha probe", &CreateProbe},
    {kAlphaPartClass, u"Alpha part", &CreatePart},
};
const ModuleCategoryMember kMembers[] = {
    {kTestCategory, kAlphaPartClass, u"Alpha part"},
    {kTestCategory, kAlphaProbeClass, u"Alpha probe"},
};
const ModuleDefinition kModule{kClasses, kMembers, &ProbeFirstAttach, nullptr};

}  // namespace
}  // namespace vk2::test

VK2_TEST_MODULE_ENTRY_POINTS(vk2::test::kModule)

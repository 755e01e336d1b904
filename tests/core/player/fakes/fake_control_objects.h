// Control objects and module settings seen from the player: a class enumerator serving control
// object classes, control objects that log what the player does with them, and a module
// catalogue whose modules keep one number property.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "component/object/com_object.h"
#include "interfaces/core/control_object.h"
#include "interfaces/core/player.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/class_enumerator.h"

namespace vk2::test {

// Shared by the objects of one test: what happened, in order.
struct ControlLog {
  std::mutex mutex;
  std::vector<std::string> lines;
  void Add(std::string line) {
    std::lock_guard lock(mutex);
    lines.push_back(std::move(line));
  }
  std::vector<std::string> Lines() {
    std::lock_guard lock(mutex);
    return lines;
  }
};

// Serves `count` control object classes ("control0", "control1", ...) in the category.
class FakeControlClasses final
    : public ComObject<FakeControlClasses, Face<MClassEnumerator, kIID_MClassEnumerator>> {
 public:
  FakeControlClasses(ControlLog* log, uint32_t count) : log_(log), count_(count) {}
  static Guid ClassId(uint32_t i) {
    Guid g = MakeGuid("7E57C0DE-0000-4000-8000-000000000000");
    g.data1 += i;
    return g;
  }

  int32_t AddRemoveChangeListener(MRegistryChangeListener*, int32_t) override { return 0; }
  int32_t GetClassModule(const Guid&, TString*) override { return -5; }
  int32_t GetClassName(const Guid&, TString*) override { return -5; }
  int32_t CreateInstance(const Guid& classId, const Guid& iid, void** out, MUnknown*) override;
  int32_t GetCategoryCount(const Guid& category, uint32_t* count) override {
    *count = category == kCategoryControlObjects ? count_ : 0;
    return 0;
  }
  int32_t GetCategoryEntry(const Guid& category, uint32_t index, Guid* member, TString*) override {
    if (!(category == kCategoryControlObjects) || index >= count_) return -5;
    *member = ClassId(index);
    return 0;
  }

 private:
  ControlLog* log_;
  uint32_t count_;
  uint32_t made_ = 0;
};

// A module with one stored number, "gain": its settings go to and come from its section.
class FakeCatalogue final : public MPlayerModuleCatalogue {
 public:
  explicit FakeCatalogue(ControlLog* log) : log_(log) {}
  int32_t ListModules(std::vector<TString>* names) override;
  int32_t AddRemoveListener(MModuleListListener* listener, int32_t add) override;
  int32_t GetModuleInstance(const char16_t* module, const char16_t* key, MPreferenceStore* settings,
                            MUnknown** instance) override;

 private:
  ControlLog* log_;
};

}  // namespace vk2::test

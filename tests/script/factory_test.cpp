// What tessel's factories hand out, the native object base's aggregation, and the limits that
// keep values bounded.
#include "component/script/script_factory.h"
#include "component/script/script_report.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/base_object.h"
#include "script/engine/run_limits.h"
#include "script/native/native_object_base.h"
#include "script/object/script_object.h"
#include "script/runtime/tessel_factory.h"
#include "tests/script/script_fixture.h"

namespace vk2::test {
namespace {

TEST_F(ScriptTest, MainFactoryHandsOutScriptObjectsByInterfaceId) {
  void* out = nullptr;
  ASSERT_EQ(CreateModuleInstance(kIID_MScriptEngine, nullptr, &out), kOk);
  EXPECT_EQ(out, static_cast<MScriptEngine*>(Engine()));
  void* again = nullptr;
  ASSERT_EQ(CreateModuleInstance(kIID_MScriptEngine, nullptr, &again), kOk);
  EXPECT_EQ(again, out);  // the singleton, one reference per request
  static_cast<MScriptEngine*>(out)->Release();
  static_cast<MScriptEngine*>(again)->Release();

  struct Case {
    Guid iid;
    int32_t kind;
  } cases[] = {{kIID_ScriptDataEntity, kScriptKindData},
               {kIID_MScriptMemberRegistry, kScriptKindObject},
               {kIID_NativeFunction, kScriptKindFunction}};
  for (const Case& c : cases) {
    void* made = nullptr;
    ASSERT_EQ(CreateModuleInstance(c.iid, nullptr, &made), kOk);
    // Always the MScriptObject side, whatever id asked for it.
    auto* object = static_cast<MScriptObject*>(made);
    EXPECT_EQ(object->GetKind(), c.kind);
    void* self = nullptr;
    EXPECT_EQ(object->QueryInterface(kIID_MScriptObject, &self, 0, 0), kOk);
    EXPECT_EQ(self, made);
    EXPECT_EQ(object->Release(), 0u);
  }
  for (const Guid& iid :
       {kIID_MScriptObject, kIID_MInterfaceLoader, kIID_MMarkupUtility, kIID_MFontObject,
        kScrollBarClass, kScrollBarAltClass, kScrollBarStyleClass, kIID_MBaseObject}) {
    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(CreateModuleInstance(iid, nullptr, &none), kErrNoInterface);
    EXPECT_EQ(none, nullptr);
  }
  EXPECT_EQ(CreateModuleInstance(kIID_MScriptObjectInner, nullptr, &out), kErrOutOfMemory);
  EXPECT_EQ(out, nullptr);
}

// Every kind answers by the common rule: -3 for a null result pointer, -15 with a null result for
// an id it does not serve, and a reference only when the low byte of the flag is set.
TEST_F(ScriptTest, EveryScriptKindAnswersByTheCommonRule) {
  struct Case {
    Guid made;     // the id the factory is asked for
    Guid served;   // a second id the kind serves
    Guid foreign;  // an id it does not serve
  } cases[] = {{kIID_ScriptDataEntity, kIID_ScriptDataEntity, kIID_NativeFunction},
               {kIID_MScriptMemberRegistry, kIID_MScriptMemberRegistry, kIID_ScriptDataEntity},
               {kIID_NativeFunction, kIID_NativeFunction, kIID_MScriptMemberRegistry}};
  for (const Case& c : cases) {
    void* made = nullptr;
    ASSERT_EQ(CreateModuleInstance(c.made, nullptr, &made), kOk);
    auto* object = static_cast<MScriptObject*>(made);
    for (const Guid& iid : {kIID_MScriptObject, c.served, c.foreign}) {
      EXPECT_EQ(object->QueryInterface(iid, nullptr, 1, 0), kErrOutOfMemory);
    }
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(object->QueryInterface(c.foreign, &out, 1, 0), kErrNoInterface);
    EXPECT_EQ(out, nullptr);
    struct Flag {
      uint32_t addRef;
      bool counts;
    } flags[] = {{0, false}, {1, true}, {0x100, false}, {0x1FF, true}};
    for (const Flag& f : flags) {
      for (const Guid& iid : {kIID_MScriptObject, c.served}) {
        ASSERT_EQ(object->QueryInterface(iid, &out, f.addRef, 0), kOk);
        ASSERT_NE(out, nullptr);
        object->AddRef();
        EXPECT_EQ(object->Release(), f.counts ? 2u : 1u) << std::hex << f.addRef;
        if (f.counts) static_cast<MUnknown*>(out)->Release();
      }
    }
    EXPECT_EQ(object->Release(), 0u);
  }
}

TEST_F(ScriptTest, NativeFunctionAnswersItsTwoInterfaces) {
  void* made = nullptr;
  ASSERT_EQ(CreateModuleInstance(kIID_NativeFunction, nullptr, &made), kOk);
  auto* function = static_cast<MScriptObject*>(made);
  void* setup = nullptr;
  ASSERT_EQ(function->QueryInterface(kIID_NativeFunction, &setup, 1, 0), kOk);
  EXPECT_EQ(setup, function->GetMemberRegistry());
  void* none = nullptr;
  EXPECT_EQ(function->QueryInterface(kIID_ScriptDataEntity, &none, 1, 0), kErrNoInterface);
  static_cast<MNativeFunctionSetup*>(setup)->Release();
  EXPECT_EQ(function->Release(), 0u);
}

// A native object of another module: it aggregates a script object made through the factory.
class Gadget final : public NativeObjectBase {
 public:
  static RefPtr<Gadget> Make() {
    RefPtr<Gadget> gadget(new Gadget());
    gadget->AttachScriptObject(u"gadget", u"Gadget", 0x10000);
    return gadget;
  }
  static int alive;

 private:
  Gadget() { ++alive; }
  ~Gadget() override { --alive; }
};
int Gadget::alive = 0;

TEST_F(ScriptTest, NativeObjectBaseAggregatesItsScriptObject) {
  {
    RefPtr<Gadget> gadget = Gadget::Make();
    ASSERT_NE(gadget->Script(), nullptr);
    void* found = nullptr;
    ASSERT_EQ(gadget->QueryInterface(kIID_MBaseObject, &found, 0, 0), kOk);
    EXPECT_EQ(found, static_cast<MBaseObject*>(gadget.Get()));
    ASSERT_EQ(gadget->QueryInterface(kIID_MScriptObject, &found, 0, 0), kOk);
    EXPECT_EQ(found, gadget->Script());
    // The script object's own QueryInterface, AddRef and Release go to the outer object.
    void* outer = nullptr;
    ASSERT_EQ(gadget->Script()->QueryInterface(kIID_MBaseObject, &outer, 1, 0), kOk);
    EXPECT_EQ(outer, static_cast<MBaseObject*>(gadget.Get()));
    static_cast<MBaseObject*>(outer)->Release();
    // The common answer: -15 for an id nobody serves (or nothing below the provider), with a
    // null result; -3 for a null result pointer, whether or not the id is served.
    EXPECT_EQ(gadget->QueryInterfaceAfter(kIID_MScriptObject, &found, 0, &found), kErrNoInterface);
    EXPECT_EQ(found, nullptr);
    found = gadget.Get();
    EXPECT_EQ(gadget->QueryInterfaceAfter(kIID_MScriptObject, &found, 0, gadget->Script()),
              kErrNoInterface);  // nothing below the one part
    EXPECT_EQ(found, nullptr);
    EXPECT_EQ(gadget->QueryInterface(kIID_ScriptDataEntity, &found, 0, 0), kErrNoInterface);
    EXPECT_EQ(gadget->QueryInterface(kIID_MBaseObject, nullptr, 1, 0), kErrOutOfMemory);
    EXPECT_EQ(gadget->QueryInterface(kIID_ScriptDataEntity, nullptr, 1, 0), kErrOutOfMemory);
    EXPECT_EQ(gadget->AddPart(nullptr), kErrFailed);
    // Held as a child, the gadget stays alive through its script object's references.
    RefPtr<MScriptObject> holder = MakeObject("holder");
    static_cast<MScriptMemberRegistry*>(holder->GetMemberRegistry())->AddChild(gadget->Script());
    MScriptObject* script = gadget->Script();
    gadget = nullptr;
    EXPECT_EQ(Gadget::alive, 1);
    EXPECT_EQ(Value("return (gadget._ObjectName());", holder.Get()), "Gadget");
    static_cast<MScriptMemberRegistry*>(holder->GetMemberRegistry())->RemoveChild(script);
  }
  EXPECT_EQ(Gadget::alive, 0);
}

TEST_F(ScriptTest, ValuesStopGrowingAtTheirLimits) {
  SetScriptSizeLimits(64, 100);
  EXPECT_EQ(FirstError("$s = \"0123456789\"; while (1) { $s |= $s; }"), "Text too long.");
  EXPECT_EQ(FirstError("$s = \"0123456789\"; while (1) { $s = $s | $s; }"), "Text too long.");
  EXPECT_EQ(FirstError("$a = {1}; while (1) { $a = $a | $a; }"), "Array too large.");
  SetScriptSizeLimits(kDefaultMaxArrayMembers, kDefaultMaxTextLength);
  SetScriptStepLimit(100);
  EXPECT_EQ(FirstError("while (1) { }"), "Script took too many steps");
  SetScriptLimits(ScriptLimits{});
}

}  // namespace
}  // namespace vk2::test

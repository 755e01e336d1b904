#include "script/runtime/script_module.h"

#include <atomic>
#include <mutex>

#include "component/script/script_factory.h"
#include "platform/clock.h"
#include "script/lang/token_cache.h"
#include "script/module_globals.h"
#include "script/native/console_object.h"
#include "script/native/system_object.h"
#include "script/object/builtins.h"
#include "script/object/script_data_object.h"
#include "script/object/script_object.h"
#include "script/runtime/tessel_factory.h"

namespace vk2 {
namespace {

struct ModuleState {
  std::mutex lock;
  ScriptModuleConfig config;
  std::atomic<ScriptEngine*> engine{nullptr};
  std::atomic<MScriptObject*> objectBase{nullptr};
  std::atomic<MScriptObject*> dataBase{nullptr};
  std::atomic<MScriptObject*> trueValue{nullptr};
  std::atomic<MScriptObject*> falseValue{nullptr};
  RefPtr<SystemObject> system;
  RefPtr<MathObject> math;
  RefPtr<ConsoleObject> console;
};

ModuleState& State() {
  // A plain static, so that unloading the module frees it (Shutdown has emptied it by then).
  static ModuleState state;
  return state;
}

MScriptObject* MakeBase(const char16_t* className, MScriptObject* base) {
  RefPtr<ScriptObject> object = ScriptObject::Make();
  object->SetBase(base);
  object->SetVersion(0x10000);
  object->SetClassName(className);
  return object.Detach();
}

MScriptObject* MakeTruth(const char16_t* text) {
  RefPtr<ScriptDataObject> value = ScriptDataObject::MakeText(text);
  value->SetReadOnly(true);
  return value.Detach();
}

uint32_t ClockSeed() {
  // Milliseconds of the system clock, so UIDs differ from run to run.
  return static_cast<uint32_t>(SystemClock().NowMs());
}

void AddGlobalObject(ScriptEngine* engine, NativeObjectBase* object) {
  if (!object) return;
  object->Script()->RegisterWithEngine(engine);
  engine->AddGlobal(static_cast<MBaseObject*>(object), nullptr);
}

void RemoveGlobalObject(ScriptEngine* engine, NativeObjectBase* object) {
  if (!object) return;
  TString name;
  object->Script()->GetName(&name);
  engine->RemoveGlobal(name);
  object->Script()->UnregisterFromEngine(engine);
}

}  // namespace

MScriptEngine* ModuleEngine() {
  return State().engine.load(std::memory_order_acquire);
}
MScriptObject* SharedObjectBase() {
  return State().objectBase.load(std::memory_order_acquire);
}
MScriptObject* SharedDataBase() {
  return State().dataBase.load(std::memory_order_acquire);
}
MScriptObject* SharedTrueValue() {
  return State().trueValue.load(std::memory_order_acquire);
}
MScriptObject* SharedFalseValue() {
  return State().falseValue.load(std::memory_order_acquire);
}

void ScriptModule::Configure(const ScriptModuleConfig& config) {
  ModuleState& state = State();
  std::lock_guard<std::mutex> hold(state.lock);
  state.config = config;
  SetScriptLimits(config.limits);
}

ScriptEngine* ScriptModule::ExistingEngine() {
  return State().engine.load();
}

ScriptEngine* ScriptModule::Engine() {
  ModuleState& state = State();
  if (ScriptEngine* engine = state.engine.load(std::memory_order_acquire)) return engine;
  std::lock_guard<std::mutex> hold(state.lock);
  if (ScriptEngine* engine = state.engine.load()) return engine;

  // Inside this module objects are made by its own constructors.
  SetScriptInstanceCreator(&CreateModuleInstance);
  // The shared bases come first, so every object made afterwards (the truth values and the
  // engine's global root among them) starts with its base.
  MScriptObject* objectBase = MakeBase(u"ScriptObject base", nullptr);
  state.objectBase.store(objectBase);
  MScriptObject* dataBase = MakeBase(u"ScriptDataEntity base", objectBase);
  state.dataBase.store(dataBase);
  AddObjectBuiltins(static_cast<MScriptMemberRegistry*>(objectBase->GetMemberRegistry()));
  AddDataBuiltins(static_cast<MScriptMemberRegistry*>(dataBase->GetMemberRegistry()));
  state.trueValue.store(MakeTruth(u"1"));
  state.falseValue.store(MakeTruth(u"0"));

  const ScriptModuleConfig& config = state.config;
  std::shared_ptr<ScriptConsole> console =
      config.makeConsole ? config.makeConsole() : config.console;
  RefPtr<ScriptEngine> engine =
      ScriptEngine::Make(console, config.uidSeed ? config.uidSeed : ClockSeed());
  state.engine.store(engine.Get(), std::memory_order_release);

  state.system = SystemObject::Make(engine.Get(), config.timerWorker);
  AddGlobalObject(engine.Get(), state.system.Get());
  state.math = MathObject::Make();
  AddGlobalObject(engine.Get(), state.math.Get());
  state.console = ConsoleObject::Make(console);
  AddGlobalObject(engine.Get(), state.console.Get());
  return engine.Detach();
}

TimerObject* ScriptModule::Timer() {
  ModuleState& state = State();
  std::lock_guard<std::mutex> hold(state.lock);
  return state.system ? state.system->Timer() : nullptr;
}

void ScriptModule::Shutdown() {
  ModuleState& state = State();
  std::lock_guard<std::mutex> hold(state.lock);
  ScriptEngine* engine = state.engine.load();
  if (!engine) return;
  // No timer script may run while the objects are taken apart.
  if (state.system && state.system->Timer()) state.system->Timer()->Stop();
  RemoveGlobalObject(engine, state.console.Get());
  RemoveGlobalObject(engine, state.system.Get());
  RemoveGlobalObject(engine, state.math.Get());
  state.console = nullptr;
  state.system = nullptr;
  state.math = nullptr;
  engine->ReleaseAllObjects();
  state.engine.store(nullptr);
  engine->Release();
  for (auto* slot : {&state.objectBase, &state.dataBase}) {
    if (MScriptObject* base = slot->exchange(nullptr)) {
      static_cast<MScriptMemberRegistry*>(base->GetMemberRegistry())->RemoveAllChildren();
      base->Release();
    }
  }
  for (auto* slot : {&state.trueValue, &state.falseValue}) {
    if (MScriptObject* value = slot->exchange(nullptr)) value->Release();
  }
  ClearTokenCache();
  ReleaseThreadValueBlocks();
  SetScriptInstanceCreator(nullptr);
}

}  // namespace vk2

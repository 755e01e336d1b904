// Two threads run scripts over the same objects while a third changes the object tree and a
// timer worker fires; every script sees whole values and the counts add up.
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "component/script/script_binding_table.h"
#include "script/object/script_data_object.h"
#include "script/object/script_object.h"
#include "tests/script/script_fixture.h"

namespace vk2::test {
namespace {

TEST(ScriptThreadsTest, ScriptsOnSharedObjectsFromSeveralThreads) {
  auto console = std::make_shared<RecordingConsole>();
  ScriptModuleConfig config;
  config.console = console;
  config.timerWorker = true;
  ScriptModule::Configure(config);
  ScriptEngine* engine = ScriptModule::Engine();
  RefPtr<ScriptObject> shared = ScriptObject::Make();
  shared->SetName(u"shared");
  shared->RegisterWithEngine(nullptr);
  engine->AddGlobal(static_cast<MScriptMemberRegistry*>(shared.Get()), nullptr);
  ASSERT_EQ(engine->Run(u"::shared.n = 0; ::shared.text = \"\"; ::shared.list = {0};"
                        u"::shared.bump = \"::shared.n++; ::shared.text |= \\\"x\\\";\";",
                        nullptr, nullptr, nullptr, nullptr),
            0);
  ASSERT_EQ(engine->Run(u"::system.timer.SetTimer(\"t\", 1, \"::shared.ticks = 1;\");", nullptr,
                        shared.Get(), nullptr, nullptr),
            0);
  constexpr int kRuns = 300;
  std::atomic<int> failures{0};
  auto worker = [&] {
    for (int i = 0; i < kRuns; ++i) {
      RefPtr<MScriptObject> result;
      int32_t status = engine->Run(
          u"::shared.bump(); ::shared.list = ::shared.list | {1};"
          u"$size = ::shared.list.ArraySize();"
          u"if ($size > 50) { ::shared.list = {0}; } return ($size);",
          result.Put(), nullptr, nullptr, nullptr);
      if (status != 0) ++failures;
    }
  };
  std::atomic<bool> stop{false};
  // Another module's thread changes children of the shared object, without the interpreter.
  std::thread tree([&] {
    while (!stop.load()) {
      RefPtr<ScriptObject> child = ScriptObject::Make();
      child->SetName(u"child");
      shared->AddChild(child.Get());
      shared->RemoveChildByName(u"child");
    }
  });
  std::thread a(worker);
  std::thread b(worker);
  a.join();
  b.join();
  stop = true;
  tree.join();
  EXPECT_EQ(failures.load(), 0) << console->All();
  RefPtr<MScriptObject> result;
  ASSERT_EQ(engine->Run(u"return ({::shared.n, ::shared.text.IsScalar()});", result.Put(), nullptr,
                        nullptr, nullptr),
            0);
  EXPECT_EQ(Canonical(result.Get()), "{600, true}");
  engine->RemoveGlobal(u"shared");
  shared->UnregisterFromEngine(nullptr);
  ScriptModule::Shutdown();
  ScriptModule::Configure(ScriptModuleConfig{});
}

TEST(ScriptThreadsTest, BindingsFiredFromAnotherThreadRunUnderTheInterpreterLock) {
  auto console = std::make_shared<RecordingConsole>();
  ScriptModuleConfig config;
  config.console = console;
  config.timerWorker = false;
  ScriptModule::Configure(config);
  ScriptEngine* engine = ScriptModule::Engine();
  RefPtr<ScriptObject> target = ScriptObject::Make();
  target->SetName(u"target");
  target->RegisterWithEngine(nullptr);
  TString uid;
  target->GetUid(&uid);
  ASSERT_EQ(engine->Run(u"count = 0;", nullptr, target.Get(), nullptr, nullptr), 0);
  ScriptBindingTable table;
  table.Update(u"Tick", uid, u"count++;", true, engine);
  std::thread events([&] {
    for (int i = 0; i < 200; ++i)
      table.Fire(u"Tick", nullptr);
  });
  for (int i = 0; i < 200; ++i) {
    engine->Run(u"count = count + 0;", nullptr, target.Get(), nullptr, nullptr);
  }
  events.join();
  RefPtr<MScriptObject> result;
  ASSERT_EQ(engine->Run(u"return (count);", result.Put(), target.Get(), nullptr, nullptr), 0);
  EXPECT_EQ(Canonical(result.Get()), "200");
  table.Clear();
  target->UnregisterFromEngine(nullptr);
  ScriptModule::Shutdown();
  ScriptModule::Configure(ScriptModuleConfig{});
}

}  // namespace
}  // namespace vk2::test

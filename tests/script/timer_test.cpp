// Timers on a fake clock and event bindings with their "params".
#include <chrono>
#include <thread>

#include "component/script/script_binding_table.h"
#include "component/script/script_report.h"
#include "platform/clock.h"
#include "script/native/timer_object.h"
#include "script/object/script_data_object.h"
#include "script/object/script_object.h"
#include "tests/script/script_fixture.h"

namespace vk2::test {
namespace {

class TimerTest : public ScriptTest {
 protected:
  void SetUp() override {
    ScriptTest::SetUp();
    log_ = MakeObject("log");
    Engine()->AddGlobal(static_cast<MUnknown*>(log_.Get()), nullptr);
    ASSERT_EQ(Value("::log.t = \"\";"), "");
    timer_ = ScriptModule::Timer();
    ASSERT_NE(timer_, nullptr);
  }
  void TearDown() override {
    Engine()->RemoveGlobal(u"log");
    log_ = nullptr;
    ScriptTest::TearDown();
  }
  std::string Log() { return Value("return (::log.t);"); }
  void Advance(uint32_t ms) {
    clock_.Advance(ms);
    timer_->RunDueTimers();
  }

  RefPtr<MScriptObject> log_;
  TimerObject* timer_ = nullptr;
};

TEST_F(TimerTest, TimerRunsEveryIntervalOnItsObject) {
  RefPtr<MScriptObject> obj = MakeObject("obj");
  ASSERT_EQ(
      Value("::system.timer.SetTimer(\"tick\", 100, \"::log.t |= this._Name();\");", obj.Get()),
      "");
  EXPECT_EQ(timer_->TimerCount(), 1u);
  Advance(99);
  EXPECT_EQ(Log(), "");
  Advance(1);
  EXPECT_EQ(Log(), "obj");
  Advance(100);
  Advance(50);
  EXPECT_EQ(Log(), "objobj");
  EXPECT_EQ(timer_->RunDueTimers(), 50);
  ASSERT_EQ(Value("::system.timer.UnsetTimer(\"tick\", this);", obj.Get()), "");
  Advance(1000);
  EXPECT_EQ(Log(), "objobj");
  EXPECT_EQ(timer_->TimerCount(), 0u);
  EXPECT_EQ(timer_->RunDueTimers(), -1);
}

TEST_F(TimerTest, SettingATimerAgainReplacesIt) {
  RefPtr<MScriptObject> obj = MakeObject("obj");
  Value("::system.timer.SetTimer(\"t\", 100, \"::log.t |= 1;\", this);", obj.Get());
  Value("::system.timer.SetTimer(\"t\", 100, \"::log.t |= 2;\", this);", obj.Get());
  EXPECT_EQ(timer_->TimerCount(), 1u);
  Advance(100);
  EXPECT_EQ(Log(), "2");
}

TEST_F(TimerTest, TimersDueTogetherFireInTheOrderSet) {
  RefPtr<MScriptObject> obj = MakeObject("obj");
  Value(
      "$t = ::system.timer; $t.SetTimer(\"b\", 50, \"::log.t |= \\\"b\\\";\");"
      "$t.SetTimer(\"a\", 50, \"::log.t |= \\\"a\\\";\");"
      "$t.SetTimer(\"c\", 20, \"::log.t |= \\\"c\\\";\");",
      obj.Get());
  Advance(50);
  EXPECT_EQ(Log(), "cba");
}

TEST_F(TimerTest, TimersOfOtherObjectsWithTheSameNameStaySeparate) {
  RefPtr<MScriptObject> one = MakeObject("one");
  RefPtr<MScriptObject> two = MakeObject("two");
  Value("::system.timer.SetTimer(\"t\", 10, \"::log.t |= this._Name();\");", one.Get());
  Value("::system.timer.SetTimer(\"t\", 30, \"::log.t |= this._Name();\");", two.Get());
  Advance(10);
  Advance(10);
  Advance(10);
  // At 30 both are due; "two" was queued first, "one" came back behind it at 20.
  EXPECT_EQ(Log(), "oneonetwoone");
}

TEST_F(TimerTest, TimerOfAGoneObjectIsDropped) {
  RefPtr<MScriptObject> obj = MakeObject("obj");
  Value("::system.timer.SetTimer(\"t\", 10, \"::log.t |= 1;\");", obj.Get());
  EXPECT_EQ(timer_->Bindings().Count(), 1u);
  obj->UnregisterFromEngine(nullptr);
  Advance(10);
  EXPECT_EQ(Log(), "");
  EXPECT_EQ(timer_->TimerCount(), 0u);
}

TEST_F(TimerTest, TimerSetWhereNoObjectRunsFiresWithNone) {
  // An init script runs on no object; its timers still fire, every interval, until unset.
  ASSERT_EQ(Value("::system.timer.SetTimer(\"boot\", 10, \"::log.t |= 1;\");"), "");
  Advance(10);
  EXPECT_EQ(Log(), "1");
  Advance(10);
  EXPECT_EQ(Log(), "11");
  EXPECT_EQ(timer_->TimerCount(), 1u);
  ASSERT_EQ(Value("::system.timer.UnsetTimer(\"boot\", \"\");"), "");
  Advance(10);
  EXPECT_EQ(Log(), "11");
  EXPECT_EQ(timer_->TimerCount(), 0u);
}

TEST_F(TimerTest, TimerScriptMayChangeTheTimers) {
  RefPtr<MScriptObject> obj = MakeObject("obj");
  // The running timer re-sets itself and adds another; the walk is not disturbed.
  Value(
      "::system.timer.SetTimer(\"t\", 10, \"::log.t |= 1; "
      "::system.timer.SetTimer(\\\"t\\\", 10, \\\"::log.t |= 2;\\\"); "
      "::system.timer.SetTimer(\\\"u\\\", 5, \\\"::log.t |= 3;\\\");\");",
      obj.Get());
  Advance(10);
  EXPECT_EQ(Log(), "1");
  EXPECT_EQ(timer_->TimerCount(), 2u);
  Advance(5);
  Advance(5);
  EXPECT_EQ(Log(), "1323");
}

TEST_F(TimerTest, BadTimerArgumentsAreRefused) {
  RefPtr<MScriptObject> obj = MakeObject("obj");
  EXPECT_EQ(FirstError("::system.timer.SetTimer(\"t\", -1, \"x;\");", obj.Get()),
            "Function call SetTimer failed");
  EXPECT_EQ(FirstError("::system.timer.SetTimer(\"t\", 2147483648, \"x;\");", obj.Get()),
            "Function call SetTimer failed");
  EXPECT_NE(console_->All().find("SetTimer: Timer interval must be between 0 and 2147483647 ms."),
            std::string::npos);
  EXPECT_EQ(FirstError("::system.timer.SetTimer(\"\", 10, \"x;\");", obj.Get()),
            "Function call SetTimer failed");
  EXPECT_NE(console_->All().find("SetTimer: A timer needs a name."), std::string::npos);
  console_->Clear();
  EXPECT_EQ(Run("::system.timer.UnsetTimer(\"t\");", obj.Get()), -9);
  EXPECT_EQ(console_->Lines()[0].text, "UnsetTimer: Invalid Parameters. See Help()\n");
  EXPECT_EQ(timer_->TimerCount(), 0u);
  // An interval of 0 keeps no running timer: it is dropped when it comes due.
  Value("::system.timer.SetTimer(\"z\", 0, \"::log.t |= 0;\");", obj.Get());
  Advance(0);
  EXPECT_EQ(Log(), "");
  EXPECT_EQ(timer_->TimerCount(), 0u);
  EXPECT_EQ(FirstError("::system.x = 1;"),
            "No child object found named <x> or object is read-only");
}

TEST_F(TimerTest, ClockWrapAroundIsHarmless) {
  RefPtr<MScriptObject> obj = MakeObject("obj");
  clock_.Advance(0xFFFFFFF0u - TickCount());
  Value("::system.timer.SetTimer(\"t\", 0x20, \"::log.t |= 1;\");", obj.Get());
  Advance(0x1F);
  EXPECT_EQ(Log(), "");
  Advance(1);
  EXPECT_EQ(Log(), "1");
}

// ---- Bindings ---------------------------------------------------------------------------------

TEST_F(TimerTest, BindingsFireWithParamsAndDropGoneTargets) {
  RefPtr<MScriptObject> obj = MakeObject("obj");
  RefPtr<MScriptObject> gone = MakeObject("gone");
  TString uid, goneUid;
  obj->GetUid(&uid);
  gone->GetUid(&goneUid);
  ScriptBindingTable table;
  table.Update(u"Playing", uid,
               u"::log.t |= this._Name() | $params.ArraySize() | $params[0] | $params[1];", true,
               Engine());
  table.Update(u"", uid, u"::log.t |= \"*\";", true, Engine());
  table.Update(u"Playing", goneUid, u"::log.t |= \"x\";", true, Engine());
  gone->UnregisterFromEngine(nullptr);
  RefPtr<ScriptDataObject> argument = ScriptDataObject::MakeText(u"arg");
  EXPECT_TRUE(table.Fire(u"Playing", argument.Get()));
  EXPECT_EQ(Log(), "obj2Playingarg*");
  EXPECT_EQ(table.Count(), 2u);
  // Keys compare with case when firing.
  EXPECT_TRUE(table.Fire(u"playing", nullptr));
  EXPECT_EQ(Log(), "obj2Playingarg**");
  // Removal ignores case of key and target.
  std::string lowered = Narrow(uid);
  lowered[0] = '#';
  TString lower = Utf16(lowered);
  EXPECT_TRUE(table.Update(u"PLAYING", lower, TString(), false, nullptr));
  EXPECT_FALSE(table.Update(u"PLAYING", lower, TString(), false, nullptr));
  EXPECT_EQ(table.Count(), 1u);
}

TEST_F(TimerTest, BindingScriptMayRemoveBindingsDuringAFire) {
  RefPtr<MScriptObject> obj = MakeObject("obj");
  TString uid;
  obj->GetUid(&uid);
  auto* table = new ScriptBindingTable();
  RefPtr<ScriptObject> holder = ScriptObject::Make();
  holder->SetName(u"holder");
  // A native function lets the script remove the second binding while the first runs.
  struct Ctx {
    ScriptBindingTable* table;
    TString uid;
  } ctx{table, uid};
  holder->AddFunction(
      u"drop", u"", false,
      [](HandlerCall& call) -> int32_t {
        auto* c = reinterpret_cast<Ctx*>(call.handlerData);
        c->table->Update(u"e", c->uid, TString(), false, nullptr);
        return 0;
      },
      holder.Get(), reinterpret_cast<uintptr_t>(&ctx), 0);
  Engine()->AddGlobal(static_cast<MScriptMemberRegistry*>(holder.Get()), nullptr);
  table->Update(u"e", uid, u"::log.t |= 1; ::holder.drop();", true, Engine());
  table->Update(u"e", uid, u"::log.t |= 2;", true, Engine());
  table->Fire(u"e", nullptr);
  EXPECT_EQ(Log(), "1");
  EXPECT_EQ(table->Count(), 0u);
  delete table;
  Engine()->RemoveGlobal(u"holder");
}

TEST(TimerWorkerTest, WorkerThreadRunsTimersAsTheClockMoves) {
  FakeClock clock(5000);
  ScopedClock installed(clock);
  auto console = std::make_shared<RecordingConsole>();
  ScriptModuleConfig config;
  config.console = console;
  config.timerWorker = true;
  ScriptModule::Configure(config);
  ScriptEngine* engine = ScriptModule::Engine();
  RefPtr<ScriptObject> obj = ScriptObject::Make();
  obj->SetName(u"obj");
  obj->RegisterWithEngine(nullptr);
  ASSERT_EQ(engine->Run(u"n = 0; ::system.timer.SetTimer(\"t\", 100, \"n++;\");", nullptr,
                        obj.Get(), nullptr, nullptr),
            0);
  auto count = [&] {
    RefPtr<MScriptObject> result;
    engine->Run(u"return (n);", result.Put(), obj.Get(), nullptr, nullptr);
    return Canonical(result.Get());
  };
  for (int pass = 1; pass <= 3; ++pass) {
    // The worker sleeps until the next due time; moving the clock there wakes it.
    ASSERT_TRUE(clock.WaitForSleepers(1));
    EXPECT_EQ(count(), std::to_string(pass - 1));
    clock.Advance(100);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (count() != std::to_string(pass) && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(count(), std::to_string(pass));
  }
  ScriptModule::Shutdown();
  ScriptModule::Configure(ScriptModuleConfig{});
  EXPECT_EQ(console->All(), "");
}

}  // namespace
}  // namespace vk2::test

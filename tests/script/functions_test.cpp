// Script functions, native functions, recursion and its limit, and the faults the interpreter
// guards against (self-containing copies, shared truth values, deep nesting).
#include <pthread.h>

#include <string>

#include "component/script/script_report.h"
#include "script/object/script_data_object.h"
#include "script/object/script_object.h"
#include "tests/script/script_fixture.h"

namespace vk2::test {
namespace {

TEST_F(ScriptTest, ScriptFunctionsRecurseAndRunOnTheirObject) {
  RefPtr<MScriptObject> obj = MakeObject("obj");
  EXPECT_EQ(Value("sq = \"return ($params[0] * $params[0]);\";"
                  "fact = \"if ($params[0] <= 1) { return (1); } "
                  "return ($params[0] * fact($params[0] - 1));\";"
                  "return ({sq(7), fact(5), fact(10), fact(13), fact(18)});",
                  obj.Get()),
            "{49, 120, 3628800, 6227020800, 6402373705728000}");
}

TEST_F(ScriptTest, FunctionsSeeParamsAndTheirObject) {
  RefPtr<MScriptObject> obj = MakeObject("obj");
  RefPtr<MScriptObject> child = MakeObject("child", obj.Get());
  EXPECT_EQ(Value("child.f = \"return (this._Name() | $params.ArraySize() | $params[1]);\";"
                  "return (child.f(1, \"two\", {3}));",
                  obj.Get()),
            "child3two");
  // A function reached through "$" runs on the script's this object.
  EXPECT_EQ(Value("$f = \"return (this._Name());\"; return ($f());", obj.Get()), "obj");
  // An empty data item called as a function gives an empty value.
  EXPECT_EQ(Value("$f = \"\"; return ($f());", obj.Get()), "");
}

TEST_F(ScriptTest, CalleesShareTheCallersLocals) {
  // Frames chain to the caller's, so a function reads and writes the caller's "$" names.
  RefPtr<MScriptObject> obj = MakeObject("obj");
  EXPECT_EQ(Value("g = \"$seen = $outer; $outer = 2;\"; $outer = 1; g(); return ({$outer, $seen});",
                  obj.Get()),
            "{2, }");
}

TEST_F(ScriptTest, ArgumentsArePassedByReference) {
  RefPtr<MScriptObject> obj = MakeObject("obj");
  EXPECT_EQ(Value("inc = \"$params[0] = $params[0] + 1;\"; $n = 1; inc($n); inc($n); return ($n);",
                  obj.Get()),
            "3");
}

TEST_F(ScriptTest, SharedTruthValuesStayUnchangedThroughParameters) {
  RefPtr<MScriptObject> obj = MakeObject("obj");
  EXPECT_EQ(Value("f = \"$params[0] = 0; $params[0]++;\"; f(1 == 1); f(1 == 2); "
                  "return ({1 == 1, 1 == 2});",
                  obj.Get()),
            "{1, 0}");
  EXPECT_EQ(console_->All(), "");
}

TEST_F(ScriptTest, BareNamesAreFoundUpTheParentChainAndCreatedOnlyByAssignment) {
  RefPtr<MScriptObject> top = MakeObject("top");
  RefPtr<MScriptObject> mid = MakeObject("mid", top.Get());
  RefPtr<MScriptObject> leaf = MakeObject("leaf", mid.Get());
  EXPECT_EQ(Value("top.v = 5; return (v | top._Name() | mid._Name() | leaf._Name());", leaf.Get()),
            "5topmidleaf");
  EXPECT_EQ(
      Value("w = 1; return (leaf.DoesChildExist(\"w\") | top.DoesChildExist(\"w\"));", leaf.Get()),
      "10");
  EXPECT_EQ(Value("return (parent._Name() | this.parent.parent._Name());", leaf.Get()), "midtop");
}

TEST_F(ScriptTest, ObjectsStoredInValuesBecomeTheirUid) {
  RefPtr<MScriptObject> obj = MakeObject("obj");
  TString uid;
  obj->GetUid(&uid);
  EXPECT_EQ(Value("$o = this; return ($o);", obj.Get()), Narrow(uid));
  // The UID text acts for the object: its members and built-ins are reached through it.
  EXPECT_EQ(Value("$o = this; $o.x = 4; return (x | $o._Name());", obj.Get()), "4obj");
  EXPECT_EQ(Value("return (" + Narrow(uid) + "._Name());"), "obj");
  EXPECT_EQ(Value("$f = ::console.write; $f(\"hi\"); return ($f == ::console.write);"), "0");
}

TEST_F(ScriptTest, ArrayLiteralsDoNotRenameTheirElements) {
  RefPtr<MScriptObject> obj = MakeObject("obj");
  EXPECT_EQ(
      Value("$a = 1; $b = {k: $a, ::math}; return ({$b, $a._Name(), ::math._Name()});", obj.Get())
          .substr(0, 10),
      "{{k: 1, #0");
  EXPECT_EQ(Value("$a = 1; $b = {k: $a}; return ($a._Name());", obj.Get()), "a");
  EXPECT_EQ(
      Value("$a = 1; 5; $b = {k: $a, 2}; return ($a._Name() | $b[0] | $b[\"k\"]);", obj.Get()),
      "a11");
  // Literals are shared by every run of a text, so an array never takes them in place.
  EXPECT_EQ(Value("$r = \"\"; for ($i in 1 to 2) { $a = {x: 7}; $a[0] = $i; $r |= $a[0]; } "
                  "return ($r);",
                  obj.Get()),
            "12");
  EXPECT_EQ(Value("f = \"$params[0][0] = 9; return ($params[0]);\"; return (f({1}));", obj.Get()),
            "{9}");
}

TEST_F(ScriptTest, RecursionStopsAtTheGuardLimit) {
  RefPtr<MScriptObject> obj = MakeObject("obj");
  console_->Clear();
  EXPECT_EQ(Run("deep = \"deep();\"; deep();", obj.Get()), -9);
  std::vector<RecordingConsole::Line> lines = console_->Lines();
  ASSERT_GT(lines.size(), 100u);
  EXPECT_NE(lines[0].text.find("Script recursed too deep"), std::string::npos);
  size_t calledFrom = 0;
  for (const auto& line : lines)
    calledFrom += line.text.rfind("Called from : ", 0) == 0;
  EXPECT_EQ(calledFrom, lines.size() - 1);
  // Two levels per call (the run and its statement sequence) out of 301: the 150th nested
  // call fails, and every run above it, the outermost included, adds its line.
  EXPECT_EQ(lines.size(), 151u);
  // The depth is balanced again afterwards.
  EXPECT_EQ(Value("return (1);"), "1");
}

TEST_F(ScriptTest, RecursionDepthCountsEveryRunAndSequence) {
  RefPtr<MScriptObject> obj = MakeObject("obj");
  // A call from inside a block takes three levels (run, sequence, block): 95 calls fit, 105
  // do not.
  EXPECT_EQ(Value("d = \"if ($params[0] > 0) { return (d($params[0] - 1) + 1); } return (0);\";"
                  "return (d(95));",
                  obj.Get()),
            "95");
  EXPECT_EQ(Run("d(105);", obj.Get()), -9);
}

TEST_F(ScriptTest, FortyNestedBlocksRun) {
  std::string script;
  for (int i = 0; i < 40; ++i)
    script += "if (1) { ";
  script += "$x = 7; ";
  for (int i = 0; i < 40; ++i)
    script += "} ";
  script += "return ($x);";
  EXPECT_EQ(Value(script), "7");
}

TEST_F(ScriptTest, DeepExpressionsAreRefused) {
  std::string deep(100000, '(');
  deep = "$x = " + deep + "1" + std::string(100000, ')') + ";";
  EXPECT_EQ(FirstError(deep), "Expression nested too deep");
  std::string arrays = "$x = " + std::string(50000, '{') + "1" + std::string(50000, '}') + ";";
  EXPECT_EQ(FirstError(arrays), "Expression nested too deep");
  std::string fine = "return (" + std::string(200, '(') + "1" + std::string(200, ')') + ");";
  EXPECT_EQ(Value(fine), "1");
}

TEST_F(ScriptTest, DeeplyNestedValuesAreBoundedNotOverflowed) {
  // Each pass wraps the value once more; copying beyond the depth bound is refused cleanly,
  // and releasing the deepest value does not recurse.
  EXPECT_EQ(FirstError("$a = 1; for ($i in 1 to 300) { $a = {$a}; }"), "Error in assignment.");
  EXPECT_NE(console_->All().find("Value nested too deep"), std::string::npos);
  EXPECT_EQ(Value("$a = 1; for ($i in 1 to 200) { $a = {$a}; } return ($a.ArraySize());"), "1");
}

void* RunDeepOnThread(void* arg) {
  auto* test = static_cast<std::pair<ScriptEngine*, int32_t>*>(arg);
  RefPtr<ScriptObject> obj = ScriptObject::Make();
  obj->SetName(u"obj");
  test->second =
      test->first->Run(u"deep = \"deep();\"; deep();", nullptr, obj.Get(), nullptr, nullptr);
  return nullptr;
}

TEST_F(ScriptTest, RecursionLimitHoldsOnASecondaryThreadWithAnOrdinaryStack) {
  std::pair<ScriptEngine*, int32_t> test{Engine(), 0};
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  pthread_attr_setstacksize(&attr, 8u << 20);
  pthread_t thread;
  ASSERT_EQ(pthread_create(&thread, &attr, RunDeepOnThread, &test), 0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attr);
  EXPECT_EQ(test.second, -9);
  EXPECT_NE(console_->All().find("Script recursed too deep"), std::string::npos);
}

// ---- Native functions ------------------------------------------------------------------------

int32_t Echo(HandlerCall& call) {
  ScriptDataEntity* args = AsDataEntity(call.params);
  ScriptDataEntity* result = AsDataEntity(call.result);
  TString name;
  if (call.object) call.object->GetName(&name);
  TString text = name;
  text.AppendPrintf(u":%u:%u", args ? args->ArraySize() : 0u,
                    static_cast<uint32_t>(call.handlerTag));
  result->SetValue(text);
  return static_cast<int32_t>(call.handlerData);
}

int32_t SetsErrorText(HandlerCall& call) {
  call.errorText = u"went wrong";
  return -4;
}

int32_t ReplacesResult(HandlerCall& call) {
  RefPtr<ScriptDataObject> other = ScriptDataObject::MakeText(u"replaced");
  SetCallResult(call, other.Get());
  return 0;
}

TEST_F(ScriptTest, NativeFunctionsGetTheirCallRecord) {
  RefPtr<MScriptObject> app = MakeObject("app");
  RefPtr<ScriptObject> owner = ScriptObject::Make();
  owner->SetName(u"owner");
  ASSERT_TRUE(owner->AddFunction(u"echo", u"Echo help", false, Echo, owner.Get(), 0, 7));
  ASSERT_TRUE(owner->AddFunction(u"loose", u"", false, Echo, nullptr, 0, 1));
  ASSERT_TRUE(owner->AddFunction(u"bad", u"", false, Echo, owner.Get(), 3, 0));
  ASSERT_TRUE(owner->AddFunction(u"err", u"", false, SetsErrorText, owner.Get(), 0, 0));
  ASSERT_TRUE(owner->AddFunction(u"swap", u"", false, ReplacesResult, owner.Get(), 0, 0));
  // Registering after the functions are added registers them too, so values can refer to them.
  ASSERT_TRUE(owner->RegisterWithEngine(nullptr));
  static_cast<MScriptMemberRegistry*>(app->GetMemberRegistry())->AddChild(owner.Get());
  RefPtr<MScriptObject> other = MakeObject("other", app.Get());
  EXPECT_EQ(Value("return (owner.echo(1, 2));", other.Get()), "owner:2:7");
  // Without an attached object the function works on its caller.
  EXPECT_EQ(Value("return (owner.loose());", other.Get()), "owner:0:1");
  EXPECT_EQ(Value("return (owner.loose(1));", owner.Get()), "owner:1:1");
  // A value holding a function's UID is text: calling it runs that text, whose value is the
  // function itself (as its UID), not a call of the function.
  TString uid;
  RefPtr<MScriptObject> loose;
  ASSERT_TRUE(owner->FindMember(u"loose", loose.Put(), false));
  loose->GetUid(&uid);
  EXPECT_EQ(Value("other.f = owner.loose; return (other.f());", other.Get()), Narrow(uid));
  EXPECT_EQ(Value("return (owner.swap());", other.Get()), "replaced");
  EXPECT_EQ(Value("return (owner.echo.Help() | owner.echo._ObjectName());", other.Get()),
            "Echo help");
  console_->Clear();
  EXPECT_EQ(Run("owner.err();", other.Get()), -9);
  EXPECT_EQ(console_->Lines()[0].text, "err: went wrong\n");
  EXPECT_EQ(FirstError("owner.bad();", other.Get()), "Function call bad failed");
  EXPECT_EQ(FirstError("owner.echo = 1;", other.Get()), "Error in assignment.");
  EXPECT_NE(
      console_->All().find("echo: Unable to assign a value to an internally implemented function!"),
      std::string::npos);
}

TEST_F(ScriptTest, FunctionOfAGoneObjectRefusesToRun) {
  RefPtr<MScriptObject> owner = MakeObject("owner");
  auto* registry = static_cast<MScriptMemberRegistry*>(owner->GetMemberRegistry());
  registry->AddFunction(u"echo", u"", false, Echo, owner.Get(), 0, 0);
  RefPtr<MScriptObject> function;
  ASSERT_TRUE(owner->FindMember(u"echo", function.Put(), false));
  owner->UnregisterFromEngine(nullptr);
  owner = nullptr;  // the function's parent is cleared as the owner goes
  RefPtr<MScriptObject> caller = MakeObject("caller");
  console_->Clear();
  RefPtr<MScriptObject> result;
  EXPECT_FALSE(function->Call(result.Put(), Engine(), 0, caller.Get(), nullptr));
  EXPECT_EQ(console_->All(), "echo: Attatched object no longer exists.\n");
}

}  // namespace
}  // namespace vk2::test

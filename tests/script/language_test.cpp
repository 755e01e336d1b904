// Scripts run end to end, with their values: arithmetic and number printing, truth, every
// statement form, arrays and members, functions and recursion.
#include "script/engine/run_limits.h"
#include "tests/script/script_fixture.h"

namespace vk2::test {
namespace {

struct ValueCase {
  const char* script;
  const char* value;
};

class ValueTableTest : public ScriptTest, public ::testing::WithParamInterface<ValueCase> {};

TEST_P(ValueTableTest, GivesValue) {
  const ValueCase& c = GetParam();
  EXPECT_EQ(Value(c.script), c.value) << c.script;
}

// Arithmetic, precedence and the printing of numbers.
INSTANTIATE_TEST_SUITE_P(
    Arithmetic, ValueTableTest,
    ::testing::Values(
        ValueCase{"return (1 + 2 * 3);", "7"}, ValueCase{"return (2 * 3 + 1);", "7"},
        ValueCase{"return (10 - 2 - 3);", "5"}, ValueCase{"return (-2 * 3);", "-6"},
        ValueCase{"return (-2 + 3);", "1"}, ValueCase{"return (0.1 + 0.2);", "0.3"},
        ValueCase{"return (10 / 4);", "2.5"}, ValueCase{"return (1000000 * 10);", "10000000"},
        ValueCase{"return (0.000001 * 1);", "0"}, ValueCase{"return (7 % 3);", "1"},
        ValueCase{"return (-7 % 3);", "-1"}, ValueCase{"return (7.9 % 2.9);", "1"},
        ValueCase{"return (0x10 + 1);", "17"}, ValueCase{"return (\"0x10\" + 1);", "17"},
        ValueCase{"return (1 | 2);", "12"}, ValueCase{"return (1 < 2 == 1);", "1"},
        ValueCase{"return (!5);", "0"}, ValueCase{"return (!!5);", "5"},
        ValueCase{"return (-(-3));", "3"}, ValueCase{"return (- -3);", "3"},
        ValueCase{"return (true == (1 == 1));", "0"}, ValueCase{"return (1e300 * 1e300);", "INF"},
        ValueCase{"return (1 / 3);", "0.33333"}, ValueCase{"return (2 / 3 * 3000000);", "2000010"},
        ValueCase{"return (2000000.5 * 1);", "2e+006"},
        ValueCase{"return (1234567.5 * 1);", "1.23457e+006"},
        ValueCase{"return (-0.000001 * 1);", "0"}, ValueCase{"return (0 - 0.000001);", "-0"},
        ValueCase{"return (-(0));", "0"},
        // Integers print exactly up to 2^53, so counters and positions keep their value.
        ValueCase{"$x = 1000000; $x = $x + 1; return ($x);", "1000001"},
        ValueCase{"return (9007199254740991 + 0);", "9007199254740991"},
        ValueCase{"return (9007199254740992 + 0);", "9.0072e+015"},
        ValueCase{"$m = 0 - 1; return ((0 - 2147483648) % $m);", "0"},
        ValueCase{"return (3000000000 % 7);", "1"}, ValueCase{"return (10 gt 9);", "1"},
        ValueCase{"return (\"10\" < \"9a\");", "1"}, ValueCase{"return (\"B\" lt \"a\");", "1"},
        ValueCase{"return (10 == 10.0);", "1"}, ValueCase{"return (1 gte 2);", "0"},
        ValueCase{"return (2 lte 2);", "1"}, ValueCase{"return (1 != 2);", "1"},
        ValueCase{"return (1 and 0);", "0"}, ValueCase{"return (1 xor 0);", "1"},
        ValueCase{"return (1 xor 1);", "0"}, ValueCase{"return (0 or 2);", "1"},
        ValueCase{"return (\"a\" | \"\" | \"b\");", "ab"},
        ValueCase{"return (\"tab\\there\\n\");", "tab\there\n"},
        ValueCase{"return (\"quote \\\" inside\");", "quote \" inside"}, ValueCase{"return;", ""},
        ValueCase{"", "<null>"}, ValueCase{"1; 2; 3", "3"}, ValueCase{"if (1) { 5; }", ""},
        ValueCase{";;;", ""}));

// Arrays, keys and the data built-ins.
INSTANTIATE_TEST_SUITE_P(
    Arrays, ValueTableTest,
    ::testing::Values(
        ValueCase{"$a = {x: 1, \"y z\": 2, 3};"
                  "return ({$a[\"x\"], $a[\"Y Z\"], $a[2], $a.ArraySize(), "
                  "$a.IsValidIndex(\"X\"), {1, 2} + {10, 20}, {a: 1} | {b: 2}, "
                  "{1, 2} == {1, 2}, {1, 2} < {1, 3}});",
                  "{1, 2, 3, 3, false, {11, 22}, {a: 1, b: 2}, 1, 0}"},
        ValueCase{"return ({1, {2, 3}} * {2, {3, 4}});", "{2, {6, 12}}"},
        ValueCase{"return ({1} | {2});", "{1, 2}"}, ValueCase{"return (\"\" | {2});", "{2}"},
        ValueCase{"$a = {1, 2, 3}; return ($a[1]);", "2"},
        ValueCase{"$a = {x: 5}; return ($a[\"0\"]);", "5"},
        ValueCase{"$a = {1, 2}; return ($a.IsValidIndex(1) | $a.IsValidIndex(2));", "truefalse"},
        ValueCase{"$a = {b: 1}; return ($a.IsValidIndex(\"b\") | $a.IsValidIndex(\"B\"));",
                  "truefalse"},
        ValueCase{"return ({1}.IsArray() | \"x\".IsScalar() | \"\".ArraySize());", "truetrue0"},
        ValueCase{"return ({a: {b: {c: 7}}}[\"a\"][\"b\"][\"c\"]);", "7"},
        ValueCase{"return ({1, 2} == {1});", "0"}, ValueCase{"return ({1, 2} != {2, 1});", "1"},
        ValueCase{"return ({a: 1, b: 2} == {b: 2, a: 1});", "1"},
        ValueCase{"return (\"\" == {1, 2});", "0"}, ValueCase{"return ({1, 2} == \"\");", "0"},
        ValueCase{"return (\"a\" > {1});", "0"}, ValueCase{"return ({1} >= {1});", "1"},
        ValueCase{"$a = {1}; $b = $a; $b[0] = 2; return ({$a, $b});", "{{1}, {2}}"},
        ValueCase{"$a = 1; $b = {k: $a}; $b[0] = 9; return ({$a, $b});", "{1, {k: 9}}"},
        // Copying a value into itself (directly or through an element) builds a copy first.
        ValueCase{"$a = {1}; $a = {$a}; return ($a);", "{{1}}"},
        ValueCase{"$a = {1, 2}; $a[0] = $a; return ($a);", "{{1, 2}, 2}"},
        ValueCase{"$a = {1, 2}; foreach ($a in $a) { } return ($a);", "1"}));

// Truth, loops, increments.
INSTANTIATE_TEST_SUITE_P(
    Statements, ValueTableTest,
    ::testing::Values(
        ValueCase{"$r = \"\";"
                  "foreach ($v in {\"\", \"0\", \"0.0\", \"0x0\", \"false\", \"FALSE\", \"abc\", "
                  "\"1\", {1}}) {"
                  "  if ($v) { $r = $r | \"T\"; } else { $r = $r | \"F\"; }"
                  "}"
                  "return ($r);",
                  "FFFFFTTTT"},
        ValueCase{"$out = \"\";"
                  "for ($i in 1 to 3) { $out = $out | $i; }"
                  "for ($i in 3 to 1) { $out = $out | \"x\"; }"
                  "for ($i in 0 to 1 step 0.5) { $out = $out | \";\" | $i; }"
                  "$n = 0;"
                  "while ($n < 3) { $n++; }"
                  "return ($out | \"/\" | $n);",
                  "123;0;0.5;1/3"},
        ValueCase{"$x = 5; $y = $x++; $z = ++$x; ++++$x; return ({$x, $y, $z});", "{9, 5, 7}"},
        ValueCase{"$x = 5; $x--; --$x; return ($x);", "3"},
        ValueCase{"$x = 2; $x += 3; $x *= 4; $x -= 1; $x /= 2; $x %= 4; return ($x);", "1"},
        ValueCase{"$s = \"a\"; $s |= \"b\"; $s |= $s; return ($s);", "abab"},
        ValueCase{"$a = {1, 2}; $a += {10, 20}; return ($a);", "{11, 22}"},
        ValueCase{"$x = $y = 3; return ($x + $y);", "6"},
        ValueCase{"$a = 0 and nosuch; $b = 1 or nosuch;"
                  "if (0) { nosuch(); $q = 1 / 0; } else { $c = \"ok\"; }"
                  "return ({$a, $b, $c});",
                  "{0, 1, ok}"},
        ValueCase{"if (0) { $r = 1; } else if (0) { $r = 2; } else if (1) { $r = 3; } "
                  "else { $r = 4; } return ($r);",
                  "3"},
        ValueCase{"if (1) { $r = 1; } else if (1) { $r = 2; } return ($r);", "1"},
        ValueCase{"$n = 0; foreach ($v in \"\") { $n++; } return ($n);", "0"},
        ValueCase{"$n = 0; while (0) { $n++; } return ($n);", "0"},
        ValueCase{"$t = 0; foreach ($v in {1, 2, 3}) { $t += $v; } return ($t);", "6"},
        ValueCase{"for ($i in 1 to 3) { if ($i == 2) { return ($i * 10); } } return (0);", "20"},
        ValueCase{"$n = 0; while (1) { $n++; if ($n == 4) { return ($n); } }", "4"},
        ValueCase{"foreach ($v in {1, 2}) { foreach ($w in {3, 4}) { return ($v | $w); } }", "13"},
        ValueCase{"for ($i in 5 to 1 step -1) { return (1); } return (2);", "2"},
        ValueCase{"$u; return ($u);", ""},
        ValueCase{"$x = 1; if ($x) { $x = 2; } $x = $x + 1; return ($x);", "3"},
        ValueCase{"// comment\n/* block\ncomment */ return (1);", "1"}));

// Globals: math and console.
INSTANTIATE_TEST_SUITE_P(
    Globals, ValueTableTest,
    ::testing::Values(
        ValueCase{"return (::math.Truncate(3.789));", "3"},
        ValueCase{"return (::math.Truncate(3.789, 2));", "3.78"},
        ValueCase{"return (::math.Truncate(-2.5));", "-2"},
        ValueCase{"return (::math.Truncate(123.456789, 4));", "123.457"},
        ValueCase{"return (::math.Truncate(1e10));", "10000000000"},
        ValueCase{"return (::math.Truncate(1e6, 4));", "1000000"},
        ValueCase{"return (::math.Truncate(2.5, 4000000000));", "2.5"},
        ValueCase{"return (::math.Power(2, 10));", "1024"},
        ValueCase{"return (::math.Log(10, 1000));", "3"},
        ValueCase{"return (::math.Log(0, 0));", "NaN"},
        ValueCase{"return (::math.Power(0, -1));", "INF"},
        ValueCase{"return (:console._Name() | ::system.timer._Name());", "consoletimer"},
        ValueCase{"return (::math._ObjectName() | \" \" | ::math._Version());",
                  "Script Math Object 10000"},
        ValueCase{"return (::console.enabledisklogging(0));", "disabled"},
        ValueCase{"return (::console.enabledisklogging());", "disabled"},
        ValueCase{"return (::console.enabledisklogging(\"yes\"));", "enabled"},
        ValueCase{"return (::math.Funcs());", "{Log, Power, Truncate}"},
        ValueCase{"return (::system.Children());", "{timer}"},
        ValueCase{"return (::system.DoesChildExist(\"timer\") | "
                  "::system.DoesChildExist(\"Help\") | ::system.DoesChildExist(\"x\"));",
                  "110"},
        ValueCase{"return (::math.Truncate.Help());",
                  "Truncates a floating point value to an integer value, or if an optional "
                  "parameter is given, this many decimal places."}));

}  // namespace
}  // namespace vk2::test

namespace vk2::test {
namespace {

// Expressions that raise when evaluated; parsed in skip mode they must do nothing.
class SkipModeTest : public ScriptTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(SkipModeTest, NeverEvaluatedExpressionsRaiseNothing) {
  std::string expression = GetParam();
  EXPECT_EQ(Value("if (0) { " + expression + "; } return (1);"), "1") << expression;
  EXPECT_EQ(Value("$x = 0 and (" + expression + "); return ($x);"), "0") << expression;
  EXPECT_EQ(Value("$x = 1 or (" + expression + "); return ($x);"), "1") << expression;
  EXPECT_EQ(Value("while (0) { " + expression + "; } return (2);"), "2") << expression;
  EXPECT_EQ(Value("if (1) { } else if (" + expression + ") { } return (3);"), "3") << expression;
}

INSTANTIATE_TEST_SUITE_P(Expressions, SkipModeTest,
                         ::testing::Values("nosuch", "nosuch()", "1 / 0", "1 % 0", "{1} + 1",
                                           "\"a\" - 1", "!{1}", "-\"a\"", "::nosuch", "::nosuch.x",
                                           "this", "parent", "this.x.y", "$a[5]", "\"ab\"[0]",
                                           "$u.nosuch", "{1} | \"a\"", "::math.Power(\"a\")",
                                           "::console.write(\"never\")", "$v = 1 / 0", "$v += {1}",
                                           "$v++ + 1 / 0", "nosuch = 1", "{a: 1 / 0}", "1 == 1 / 0",
                                           "$v.parent.parent"));

TEST_F(ScriptTest, LocalsNeverReachTheBuiltIns) {
  // "$" names stop before the shared base objects, so a local may take a built-in's name.
  EXPECT_EQ(Value("$Help = 1; $All = 2; return ($Help + $All);"), "3");
  EXPECT_EQ(Value("return ($Members);"), "");
}

TEST_F(ScriptTest, ConsoleWriteReachesTheConsoleAtLevelThree) {
  console_->Clear();
  ASSERT_EQ(Value("::console.write(\"hi\"); ::console.write();"), "");
  std::vector<RecordingConsole::Line> lines = console_->Lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].level, 3);
  EXPECT_EQ(lines[0].text, "hi");
  EXPECT_EQ(lines[1].text, "");
  ASSERT_EQ(Value("::console.enabledisklogging(1);"), "enabled");
  EXPECT_TRUE(console_->diskLogging);
  EXPECT_EQ(FirstError("::system.x = 1;"),
            "No child object found named <x> or object is read-only");
}

// "$a |= x" appends in place; it must give what "$a = $a | x" gives, errors included, and a
// refused append leaves the array as it was.
TEST_F(ScriptTest, AppendInPlaceMatchesTheGeneralConcatenation) {
  RefPtr<MScriptObject> obj = MakeObject("obj");
  struct Case {
    const char* left;
    const char* right;
  } cases[] = {
      {"\"\"", "{1}"},
      {"{1, 2}", "{3}"},
      {"{a: 1}", "{b: 2, c: {3, 4}}"},
      {"{a: 1, 2}", "{3, a: 4}"},
      {"{1}", "\"x\""},
      {"\"x\"", "{1}"},
      {"\"ab\"", "\"cd\""},
      {"{1, 2}", "x"},  // the array itself
      {"{1, {2}}", "{x}"},
      {"{1}", "::math"},
  };
  for (const Case& c : cases) {
    const std::string set = std::string("x = ") + c.left + "; ";
    const std::string inPlace = set + "x |= " + c.right + "; return (x);";
    const std::string general = set + "x = x | " + c.right + "; return (x);";
    SCOPED_TRACE(inPlace);
    std::string inPlaceValue, generalValue;
    console_->Clear();
    int32_t inPlaceStatus = Run(inPlace, obj.Get(), &inPlaceValue);
    std::string inPlaceReport = console_->All();
    console_->Clear();
    int32_t generalStatus = Run(general, obj.Get(), &generalValue);
    std::string generalReport = console_->All();
    EXPECT_EQ(inPlaceStatus, generalStatus);
    if (inPlaceStatus == 0) {
      EXPECT_EQ(inPlaceValue, generalValue);
    } else {
      // The same error text; only the marked script differs.
      auto message = [](const std::string& report) {
        size_t tab = report.find("\n\t");
        return report.substr(tab, report.find("\nError occured in:") - tab);
      };
      EXPECT_EQ(message(inPlaceReport), message(generalReport));
      std::string afterFailure = Value("return (x);", obj.Get());
      EXPECT_EQ(afterFailure, Value(set + "return (x);", obj.Get()));
    }
  }
  // Members are copied in: changing the source later leaves the array alone, and an array
  // passed to a function grows where the caller holds it.
  EXPECT_EQ(Value("$b = {1}; $a = \"\"; $a |= $b; $b[0] = 5; return ($a | $b);"), "{1, 5}");
  EXPECT_EQ(Value("f = \"$params[0] |= {2};\"; x = {1}; f(x); f(x); return (x);", obj.Get()),
            "{1, 2, 2}");
  SetScriptSizeLimits(3, kDefaultMaxTextLength);
  EXPECT_EQ(FirstError("x = {1, 2}; x |= {3, 4};", obj.Get()), "Array too large.");
  EXPECT_EQ(Value("return (x);", obj.Get()), "{1, 2}");
}

}  // namespace
}  // namespace vk2::test

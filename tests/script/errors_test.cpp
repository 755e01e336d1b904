// Scripts that fail: the first error text, the report's marker and layout, and the
// "Called from" lines of enclosing script functions.
#include "tests/script/script_fixture.h"

namespace vk2::test {
namespace {

struct ErrorCase {
  const char* script;
  const char* error;
  bool withObject;  // this = a plain object "obj"; otherwise this = none
};

class ErrorTableTest : public ScriptTest, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(ErrorTableTest, ReportsError) {
  const ErrorCase& c = GetParam();
  RefPtr<MScriptObject> obj = MakeObject("obj");
  EXPECT_EQ(FirstError(c.script, c.withObject ? obj.Get() : nullptr), c.error) << c.script;
}

INSTANTIATE_TEST_SUITE_P(
    Syntax, ErrorTableTest,
    ::testing::Values(
        ErrorCase{"a = 1 b = 2", "Semicolons must seperate statements.", true},
        ErrorCase{"return 5;", "Missing semicolon after return statement.", false},
        ErrorCase{"return (5;", "Missing close parenthesis in return statement.", false},
        ErrorCase{"$x = 2 * -3;", "I don't know what to do with this token! - -", false},
        ErrorCase{"$x = {};", "I don't know what to do with this token! - }", false},
        ErrorCase{"$x = {1 2};",
                  "Arrays elements must be separated with commas and end with curly braces.",
                  false},
        ErrorCase{"if (1) $x = 1;", "If blocks require curly braces.", false},
        ErrorCase{"if 1 { }", "Missing parenthesis after if.", false},
        ErrorCase{"if (1 { }", "Unmatched parenthesis in if statement.", false},
        ErrorCase{"if (1) { } else $x = 1;", "Else blocks require curly braces.", false},
        ErrorCase{"if (1) { } else if 1 { }", "Missing parenthesis after else if.", false},
        ErrorCase{"if (1) { } else if (1 { }", "Unmatched parenthesis in else if statement.",
                  false},
        ErrorCase{"if (1) { } else if (1) $x;", "Else-if blocks require curly braces.", false},
        ErrorCase{"if (0) { $x = ; }", "I don't know what to do with this token! - ;", false},
        ErrorCase{"foreach ($x in 5) { }", "ForEach only applies to arrays.", false},
        ErrorCase{"foreach $x in {1}) { }", "Missing parenthesis in foreach statement.", false},
        ErrorCase{"foreach (x in {1}) { }", "Missing local variable in foreach statement.", false},
        ErrorCase{"foreach ($x {1}) { }", "Missing keyworkd 'in' in foreach statement.", false},
        ErrorCase{"foreach ($x in {1} { }", "Mismatched parentheses in foreach statement.", false},
        ErrorCase{"foreach ($x in {1}) $x;", "ForEach blocks require curly braces.", false},
        ErrorCase{"foreach ($x in ::math) { }",
                  "Strange ForEach error - loop variable must be a data value", false},
        ErrorCase{"while 1 { }", "Missing parenthesis in While statement.", false},
        ErrorCase{"while (0 { }", "Mismatched parentheses in While statement.", false},
        ErrorCase{"while (0) $x;", "While blocks require curly braces.", false},
        ErrorCase{"while (1) { ", "Missing } in block!", false},
        ErrorCase{"while (0) { # }", "Some kind of bad token or something.", false},
        ErrorCase{"for ($i in \"a\" to 3) { }", "For loop start must evaluate to a numeric result.",
                  false},
        ErrorCase{"for ($i in 1 3) { }", "Missing 'to' keyword in for loop.", false},
        ErrorCase{"for ($i in 1 to {1}) { }", "For loop end must evaluate to a numeric result.",
                  false},
        ErrorCase{"for ($i in 1 to 3 step \"x\") { }",
                  "For loop step must evaluate to a numeric result.", false},
        ErrorCase{"for ($i in 1 to 3 { }", "Mismatched parentheses in for statement.", false},
        ErrorCase{"for ($i in 1 to 3) $i;", "For blocks require curly braces.", false},
        ErrorCase{"for ($i in 1 to 10 step 0) { }",
                  "For loop step must move the counter toward the end", false},
        ErrorCase{"for ($i in 1 to 10 step -1) { }",
                  "For loop step must move the counter toward the end", false},
        ErrorCase{"for ($i in 1e20 to 2e20) { }",
                  "For loop step must move the counter toward the end", false},
        ErrorCase{"$x = (1;", "Mismatched parenthesis.", false},
        ErrorCase{"$x = ::math.Power(1;",
                  "Mismatched parentheses, or missing comma between parameters.", false},
        ErrorCase{"$x = {1}[0;", "Unmatched open bracket in array index.", false},
        ErrorCase{"$x = #12345;",
                  "I don't know what to do with this token! - Improper UID "
                  "symbol '#12345'",
                  false},
        ErrorCase{"/* open", "I don't know what to do with this token! - Unterminated comment.",
                  false},
        ErrorCase{"$x = \"open;",
                  "I don't know what to do with this token! - Unterminated \"literal\" - "
                  "\"\"open;\"",
                  false},
        ErrorCase{"$x = $;",
                  "I don't know what to do with this token! - $ must be followed by "
                  "a number or letter",
                  false},
        ErrorCase{"$x = & 2;",
                  "I don't know what to do with this token! - Unrecognized "
                  "symbol '&'",
                  false},
        ErrorCase{"$x = :: 5;", "The :: symbol may only be followed by a valid object name.",
                  false},
        ErrorCase{"}", "Unmatched } in script.", false},
        ErrorCase{"$x = 1; } $y = 2;", "Unmatched } in script.", false}));

INSTANTIATE_TEST_SUITE_P(
    Values, ErrorTableTest,
    ::testing::Values(
        ErrorCase{"$x = 1 / 0;", "Divide by zero.", false},
        ErrorCase{"$x = 1 % 0.5;", "Mod by zero.", false},
        ErrorCase{"$x = \"abc\" + 1;", "Can only add numeric values.", false},
        ErrorCase{"$x = \"\" + 1;", "Can only add numeric values.", false},
        ErrorCase{"$x = 1e-5;", "Can only subtract numeric values.", false},
        ErrorCase{"$x = {1} + 1;", "Cannot add arrays and scalars", false},
        ErrorCase{"$x = 1 + {1};", "Can only add numeric values.", false},
        ErrorCase{"$x = {1, 2} + {1};", "Can only add arrays of the same size.", false},
        ErrorCase{"$x = {1} - 1;", "Cannot subtract arrays and scalars", false},
        ErrorCase{"$x = {1} * {1, 2};", "Can only multiply arrays of the same size.", false},
        ErrorCase{"$x = \"a\" / 2;", "Can only divide numeric values.", false},
        ErrorCase{"$x = {1} % 2;", "Cannot mod arrays and scalars", false},
        ErrorCase{"$x = {a: 1} | {a: 2};", "Array concatenation will make two members named a",
                  false},
        ErrorCase{"$x = \"a\" | {2};", "Cannot concatenate arrays and scalars", false},
        ErrorCase{"$x = {1} | \"a\";", "Cannot concatenate arrays and scalars", false},
        ErrorCase{"$x = ::math + 1;", "Can only add data values.", false},
        ErrorCase{"$x = 1 - ::math;", "Can only subtract data values.", false},
        ErrorCase{"$x = ::math | 1;", "Can only concaternate data values.", false},
        ErrorCase{"$x = ::math * 1;", "Can only multiply data values.", false},
        ErrorCase{"$x = 1 / ::math;", "Can only divide data values.", false},
        ErrorCase{"$x = ::math % 1;", "Can only mod data values.", false},
        ErrorCase{"$x = !{1};", "Cannot negate arrays", false},
        ErrorCase{"$x = !::math;", "Can only negate values", false},
        ErrorCase{"$x = -{1};", "Cannot invert arrays", false},
        ErrorCase{"$x = -::math;", "Can only invert values", false},
        ErrorCase{"$x = -\"a\";", "Can only invert the sign of numeric values!", false},
        ErrorCase{"$x = 5 ++ 3;", "Unable to postincrement non lValue", false},
        ErrorCase{"$x = ++5;", "Unable to preincrement non lValue", false},
        ErrorCase{"++$x = 5;", "Unable to preincrement non lValue", false},
        ErrorCase{"5 = 3;", "lValue required for assignment.", false},
        ErrorCase{"(1) += 3;", "lValue required for += operation", false},
        ErrorCase{"\"a\" |= 3;", "lValue required for += operation", false},
        ErrorCase{"$x = {1}; $x[5] = 2;", "Invalid index. Array is:\n{\n  1}", false},
        ErrorCase{"$x = \"ab\"; $y = $x[0];", "Unable to index non-array. Contents are:\nab",
                  false},
        ErrorCase{"$x = {1}; $y = $x[{0}];", "Unable to use array to index array.", false},
        ErrorCase{"$x = 1; $x.y;", "No child object found named <y>", false},
        ErrorCase{"::math.q = 1;", "No child object found named <q> or object is read-only", false},
        ErrorCase{"$x = 1; $x.\"a\";", "Child names must be valid identifiers.", false},
        ErrorCase{"$y = {1}[0].parent;", "Item <> does not have a parent!", false},
        ErrorCase{"::math.Power = 1;", "Error in assignment.", false},
        ErrorCase{"::math = 1;", "Error in assignment.", false},
        ErrorCase{"$x = ::nosuch;", "No global object named <nosuch> exists.", false},
        ErrorCase{"y;", "Child referenced without child context.", false},
        ErrorCase{"y;", "No object named <y> was found, and we can't create one.", true},
        ErrorCase{"this;", "Cannot get this without a object context.", false},
        ErrorCase{"parent;", "Parent of what?", false},
        ErrorCase{"parent;", "Item <obj> does not have a parent!", true},
        ErrorCase{"$x = ::math.Power(\"a\", 2);", "Function call Power failed", false},
        ErrorCase{"::math();", "Function call math failed", false},
        ErrorCase{"$x = ((((((((((1));", "Mismatched parenthesis.", false}));

TEST_F(ScriptTest, InvalidParametersAreReportedOnceBeforeTheFailedCall) {
  console_->Clear();
  EXPECT_EQ(Run("::math.Power(\"a\");", nullptr), -9);
  std::vector<RecordingConsole::Line> lines = console_->Lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].level, 7);
  EXPECT_EQ(lines[0].text, "Power: Invalid Parameters. See Help()\n");
  EXPECT_NE(lines[1].text.find("Function call Power failed"), std::string::npos);
}

TEST_F(ScriptTest, ErrorReportMarksThePositionAndNamesTheOwner) {
  RefPtr<MScriptObject> p = MakeObject("p");
  RefPtr<MScriptObject> f;
  ASSERT_TRUE(p->FindMember(u"f", f.Put(), true));
  TString uid;
  p->GetUid(&uid);
  console_->Clear();
  EXPECT_EQ(Engine()->Run(u"$a = 1;\n$b = $a + \"z\";", nullptr, nullptr, nullptr, f.Get()), -9);
  std::vector<RecordingConsole::Line> lines = console_->Lines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].level, 7);
  EXPECT_EQ(lines[0].text,
            "Error in script: \n$a = 1;\n   $b = $a + \"z\";<--- (!!!!)\n\tCan only add numeric "
            "values.\nError occured in:p.f() -- " +
                Narrow(uid) + "\n");
}

TEST_F(ScriptTest, ErrorMarkerFollowsTheTokenBeingLookedAt) {
  console_->Clear();
  // The additive loop has read "2" and looks at ";" (the seventh token) when it raises.
  EXPECT_EQ(Run("$x = { 1 } + 2 ; $y = 3;", nullptr), -9);
  std::string all = console_->All();
  EXPECT_NE(all.find("$x = { 1 } + 2 ;<--- (!!!!) $y = 3;"), std::string::npos) << all;
}

// A block that does not run is passed over to its matching brace: nested blocks and array
// braces inside it, and the errors (with their marker) of a block left open.
TEST_F(ScriptTest, BlocksPassedOverEndAtTheirMatchingBrace) {
  struct Case {
    const char* script;
    const char* marked;  // the report's marked text; null: the script succeeds with `value`
    const char* value;
  } cases[] = {
      {"while (0) { $x = 1; ", "while (0) { $x = 1; <--- (!!!!)", nullptr},
      {"while (0) { { } $x = 1;", "while (0) { { } $x = 1;<--- (!!!!)", nullptr},
      {"while (0) { { # } }", "while (0) { { #<--- (!!!!) } }", nullptr},
      {"for ($i in 1 to 0) { $y = {1, {2}}; } $z = 3; } $w = 4;",
       "for ($i in 1 to 0) { $y = {1, {2}}; } $z = 3; }<--- (!!!!) $w = 4;", nullptr},
      {"foreach ($x in {1}) { while (0) { if (1) { $a = {2}; } } } return ($x);", nullptr, "1"},
      {"$n = 0; for ($i in 1 to 3) { while ($n < $i) { $n++; } $s = {1}; } return ($n);", nullptr,
       "3"},
      {"if (0) { while (0) { } } else { for ($i in 2 to 1) { } } return (5);", nullptr, "5"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script);
    if (!c.marked) {
      EXPECT_EQ(Value(c.script), c.value);
      continue;
    }
    console_->Clear();
    EXPECT_EQ(Run(c.script, nullptr), -9);
    std::vector<RecordingConsole::Line> lines = console_->Lines();
    ASSERT_EQ(lines.size(), 1u);
    const std::string& text = lines[0].text;
    const std::string head = "Error in script: \n";
    ASSERT_EQ(text.rfind(head, 0), 0u) << text;
    EXPECT_EQ(text.substr(head.size(), text.find("\n\t") - head.size()), c.marked);
  }
}

TEST(MarkScriptTextTest, IndentsLinesByBracketDepthAndDropsTabs) {
  // The depth counts the characters already copied, so "}" still has its block's indent.
  EXPECT_EQ(Narrow(MarkScriptText(u"if (1) {\n\tx;\n}\ny", 14)),
            "if (1) {\n      x;\n      }<--- (!!!!)\n   y");
  // A negative depth gives no indent.
  EXPECT_EQ(Narrow(MarkScriptText(u")\na", 0)), "<--- (!!!!))\na");
}

TEST_F(ScriptTest, NestedFailuresGiveOneErrorAndACalledFromLinePerScript) {
  RefPtr<MScriptObject> obj = MakeObject("obj");
  console_->Clear();
  EXPECT_EQ(Run("inner = \"$x = 1 / 0;\"; outer = \"inner(2, {3});\"; outer(1);", obj.Get()), -9);
  std::vector<RecordingConsole::Line> lines = console_->Lines();
  ASSERT_EQ(lines.size(), 3u) << console_->All();
  EXPECT_EQ(lines[0].text.rfind("Error in script: ", 0), 0u);
  EXPECT_NE(lines[0].text.find("Divide by zero."), std::string::npos);
  EXPECT_NE(lines[0].text.find("Error occured in:obj.inner(2,{\n  3})"), std::string::npos)
      << lines[0].text;
  EXPECT_EQ(lines[1].text.rfind("Called from : obj.outer(1) -- #", 0), 0u) << lines[1].text;
  EXPECT_EQ(lines[2].text, "Called from : unnamed script()\n");
}

TEST_F(ScriptTest, ErrorsLeaveTheRecursionDepthBalanced) {
  // Each failed run must give back its guard levels; otherwise scripts on this thread would
  // start failing after a few hundred errors.
  for (int i = 0; i < 400; ++i)
    ASSERT_EQ(Run("$x = 1 / 0;", nullptr), -9);
  EXPECT_EQ(Value("return (1);"), "1");
}

}  // namespace
}  // namespace vk2::test

#include "component/script/unpack_script_args.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <span>
#include <string>
#include <vector>

namespace vk2 {
namespace {

// Call arguments for tests: each a single text or an array of texts.
class TestArgs final : public ScriptArgList {
 public:
  struct Item {
    bool array = false;
    std::vector<std::u16string> texts;
  };
  TestArgs(std::initializer_list<Item> items) : items_(items) {}

  uint32_t Count() const override { return static_cast<uint32_t>(items_.size()); }
  int32_t ArrayLength(uint32_t i) const override {
    return items_[i].array ? static_cast<int32_t>(items_[i].texts.size()) : -1;
  }
  TString ItemText(uint32_t i) const override { return TString(items_[i].texts[0].c_str()); }
  TString ElementText(uint32_t i, uint32_t j) const override {
    return TString(items_[i].texts[j].c_str());
  }

 private:
  std::vector<Item> items_;
};

TestArgs::Item V(std::u16string text) {
  return {false, {std::move(text)}};
}
TestArgs::Item Arr(std::initializer_list<std::u16string> texts) {
  return {true, texts};
}

TEST(UnpackScriptArgsTest, ArgumentCountAgainstRequiredAndOptional) {
  struct Case {
    TestArgs args;
    int32_t result;
    const char16_t* text;
    int32_t number;
  };
  const Case cases[] = {
      {TestArgs{}, 0, u"default", -1},  // no arguments: 0, whatever the format requires
      {TestArgs{V(u"a")}, 1, u"a", -1},
      {TestArgs{V(u"a"), V(u"12")}, 2, u"a", 12},
      {TestArgs{V(u"a"), V(u"12"), V(u"x")}, -1, u"default", -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.Count());
    TString text = u"default";
    int32_t number = -1;
    EXPECT_EQ(UnpackScriptArgs(c.args, u"Wi", &text, &number), c.result);
    EXPECT_EQ(text, TString(c.text));
    EXPECT_EQ(number, c.number);
  }
  // Fewer arguments than required fail; none at all still succeed.
  TString a = u"keep", b = u"keep";
  EXPECT_EQ(UnpackScriptArgs(TestArgs{V(u"x")}, u"WW", &a, &b), -1);
  EXPECT_EQ(UnpackScriptArgs(TestArgs{}, u"WWW3I", &a, &b, &b, static_cast<int32_t(*)[3]>(nullptr)),
            -1);  // a null output is the caller's fault, even without arguments
  EXPECT_EQ(UnpackScriptArgs(TestArgs{}, u"WW", &a, &b), 0);
  EXPECT_EQ(a, TString(u"keep"));
}

TEST(UnpackScriptArgsTest, BooleanText) {
  struct Case {
    const char16_t* text;
    int32_t result;
    bool value;
  };
  const Case cases[] = {
      {u"FALSE", 1, false}, {u"false", 1, false}, {u"fAlSe", 1, false},
      {u"0", 1, false},     {u"no", 1, true},     {u"1", 1, true},
      {u"00", 1, true},     {u" false", 1, true}, {u"", -1, true},  // fails, output untouched
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Utf8(c.text).c_str());
    bool value = true;
    EXPECT_EQ(UnpackScriptArgs(TestArgs{V(c.text)}, u"B", &value), c.result);
    EXPECT_EQ(value, c.value);
  }
}

TEST(UnpackScriptArgsTest, NumberConversions) {
  struct Case {
    const char16_t* text;
    int32_t i;  // -99: fails
    int64_t u;  // -99: fails
    double d;   // NaN: fails
  };
  const double kFails = std::numeric_limits<double>::quiet_NaN();
  const Case cases[] = {
      {u"42", 42, 42, 42.0},
      {u"-7", -7, 4294967289, -7.0},
      {u"0x1F", 31, 31, 31.0},
      {u"12abc", 12, 12, 12.0},  // a number at the front is enough
      {u"1.5", 1, 1, 1.5},       //
      {u"1,5", 1, 1, 1.0},       // no locale: the comma ends the number
      {u"99999999999", 2147483647, 4294967295, 99999999999.0},  // 32-bit saturation
      {u"-99999999999", -2147483647 - 1, 4294967295, -99999999999.0},
      {u"-2.5e3", -2, 4294967294, -2500.0},
      {u"abc", -99, -99, kFails},
      {u"", -99, -99, kFails},
      {u"inf", -99, -99, kFails},
      {u"nan", -99, -99, kFails},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Utf8(c.text).c_str());
    int32_t i = -99;
    uint32_t u = 12345;
    double d = -1;
    const TestArgs args{V(c.text)};
    EXPECT_EQ(UnpackScriptArgs(args, u"I", &i), c.i == -99 ? -1 : 1);
    EXPECT_EQ(i, c.i);
    EXPECT_EQ(UnpackScriptArgs(args, u"U", &u), c.u == -99 ? -1 : 1);
    EXPECT_EQ(u, c.u == -99 ? 12345u : static_cast<uint32_t>(c.u));
    EXPECT_EQ(UnpackScriptArgs(args, u"D", &d), std::isnan(c.d) ? -1 : 1);
    EXPECT_EQ(d, std::isnan(c.d) ? -1 : c.d);
  }
}

TEST(UnpackScriptArgsTest, ArraysOfExactlyTheCount) {
  std::array<int32_t, 3> out{-1, -1, -1};
  EXPECT_EQ(UnpackScriptArgs(TestArgs{V(u"5")}, u"3I", &out), -1);
  EXPECT_EQ(UnpackScriptArgs(TestArgs{Arr({u"1", u"2"})}, u"3I", &out), -1);
  EXPECT_EQ(UnpackScriptArgs(TestArgs{Arr({u"1", u"2", u"3", u"4"})}, u"3I", &out), -1);
  EXPECT_EQ(out, (std::array<int32_t, 3>{-1, -1, -1}));
  EXPECT_EQ(UnpackScriptArgs(TestArgs{Arr({u"1", u"2", u"3"})}, u"3I", &out), 1);
  EXPECT_EQ(out, (std::array<int32_t, 3>{1, 2, 3}));  // element j into output j

  // Walked from the last element: a failure in the middle leaves the later ones written.
  int32_t raw[3] = {-1, -1, -1};
  EXPECT_EQ(UnpackScriptArgs(TestArgs{Arr({u"7", u"bad", u"9"})}, u"3I", &raw), -1);
  EXPECT_EQ(raw[0], -1);
  EXPECT_EQ(raw[1], -1);
  EXPECT_EQ(raw[2], 9);

  double rect[4] = {};
  std::vector<uint32_t> flags(2, 0);
  EXPECT_EQ(UnpackScriptArgs(TestArgs{Arr({u"0", u"0.5", u"10", u"1e2"}), Arr({u"0x10", u"3"})},
                             u"4D2u", &rect, std::span<uint32_t>(flags)),
            2);
  EXPECT_EQ(rect[3], 100.0);
  EXPECT_EQ(flags, (std::vector<uint32_t>{16, 3}));
  // A run-time span shorter than the count is refused before anything is converted.
  std::vector<uint32_t> small(1, 0);
  EXPECT_EQ(UnpackScriptArgs(TestArgs{Arr({u"1", u"2"})}, u"2U", std::span<uint32_t>(small)), -1);

  // Single-valued letters refuse arrays; counted ones refuse single values.
  TString s = u"keep";
  EXPECT_EQ(UnpackScriptArgs(TestArgs{Arr({u"a"})}, u"W", &s), -1);
  int32_t one = 0;
  EXPECT_EQ(UnpackScriptArgs(TestArgs{Arr({u"4"})}, u"I", &one), -1);
  EXPECT_EQ(s, TString(u"keep"));
  EXPECT_EQ(one, 0);
}

TEST(UnpackScriptArgsTest, NameTablesTakeTheLaterRowIgnoringCase) {
  static const NamedValue kModes[] = {{u"off", 0}, {u"track", 1}, {u"list", 2}, {u"Track", 7}};
  NamedItemArray built;
  for (const NamedValue& row : kModes)
    built.Append({row.value, TString(row.name)});

  struct Case {
    const char16_t* text;
    int32_t result;
    int32_t value;
  };
  const Case cases[] = {
      {u"track", 1, 7}, {u"TRACK", 1, 7}, {u"list", 1, 2}, {u"shuffle", -1, -5}, {u"", -1, -5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Utf8(c.text).c_str());
    int32_t fromRows = -5;
    int32_t fromBuilt = -5;
    int32_t fromSpan = -5;
    const TestArgs args{V(c.text)};
    EXPECT_EQ(UnpackScriptArgs(args, u"T", &kModes, &fromRows), c.result);
    EXPECT_EQ(UnpackScriptArgs(args, u"T", &built, &fromBuilt), c.result);
    EXPECT_EQ(UnpackScriptArgs(args, u"T", std::span<const NamedValue>(kModes), &fromSpan),
              c.result);
    EXPECT_EQ(fromRows, c.value);
    EXPECT_EQ(fromBuilt, c.value);
    EXPECT_EQ(fromSpan, c.value);
  }
  int32_t pair[2] = {};
  EXPECT_EQ(UnpackScriptArgs(TestArgs{Arr({u"off", u"list"})}, u"2T", &kModes, &pair), 1);
  EXPECT_EQ(pair[0], 0);
  EXPECT_EQ(pair[1], 2);
}

TEST(UnpackScriptArgsTest, TextGuidAndNarrowOutputs) {
  TString name;
  NarrowString narrow;
  Guid id;
  EXPECT_EQ(UnpackScriptArgs(TestArgs{V(u"caf\u00e9"), V(u"caf\u00e9"),
                                      V(u"{f316b898-717e-451e-8518-79714110b00f}")},
                             u"WAM", &name, &narrow, &id),
            3);
  EXPECT_EQ(name, TString(u"caf\u00e9"));
  EXPECT_EQ(narrow.view(), "caf\xc3\xa9");
  EXPECT_EQ(id, MakeGuid("F316B898-717E-451E-8518-79714110B00F"));
  EXPECT_EQ(UnpackScriptArgs(TestArgs{V(u"F316B898-717E-451E-8518-79714110B00F")}, u"M", &id), 1);
  Guid untouched;
  EXPECT_EQ(UnpackScriptArgs(TestArgs{V(u"{F316B898}")}, u"M", &untouched), -1);
  EXPECT_EQ(untouched, Guid{});
}

TEST(UnpackScriptArgsTest, EarlierOutputsKeepTheirValuesAfterAFailure) {
  TString first = u"old";
  int32_t second = 4;
  double third = 2;
  EXPECT_EQ(
      UnpackScriptArgs(TestArgs{V(u"new"), V(u"x"), V(u"1")}, u"WID", &first, &second, &third), -1);
  EXPECT_EQ(first, TString(u"new"));
  EXPECT_EQ(second, 4);
  EXPECT_EQ(third, 2);
}

// The shared check, as the typed front end runs it at compile time (strict) and the core at run
// time.
using K = ScriptArgKind;
constexpr bool Matches(const char16_t* format, std::initializer_list<K> kinds,
                       std::initializer_list<uint32_t> sizes, bool strict = true) {
  return script_args_detail::OutputsMatch(format, kinds.begin(), sizes.begin(),
                                          static_cast<uint32_t>(kinds.size()), strict);
}
constexpr uint32_t kAny = script_args_detail::kUnknownSize;
static_assert(Matches(u"Wi", {K::kText, K::kInt32}, {1, 1}));
static_assert(!Matches(u"Wi", {K::kText, K::kDouble}, {1, 1}));
static_assert(!Matches(u"Wi", {K::kText}, {1}));
static_assert(!Matches(u"Wi", {K::kText, K::kInt32, K::kInt32}, {1, 1, 1}));
static_assert(Matches(u"3I", {K::kInt32}, {3}));
static_assert(!Matches(u"3I", {K::kInt32}, {2}));
static_assert(Matches(u"3I", {K::kInt32}, {kAny}));
static_assert(!Matches(u"2W", {K::kText}, {1}));
static_assert(Matches(u"Tt", {K::kNameRows, K::kInt32, K::kNameTable, K::kInt32}, {4, 1, 1, 1}));
static_assert(!Matches(u"T", {K::kInt32, K::kInt32}, {1, 1}));
static_assert(!Matches(u"W;", {K::kText}, {1}));                // text after the signature
static_assert(Matches(u"W;", {K::kText}, {1}, false));          // ignored at run time
static_assert(!Matches(u"iW", {K::kInt32, K::kText}, {1, 1}));  // required after optional
static_assert(!Matches(u"0I", {K::kInt32}, {1}));
static_assert(!Matches(u"99999I", {K::kInt32}, {kAny}));

TEST(UnpackScriptArgsSlotsTest, RunTimeCheckRefusesOutputsThatDisagree) {
  int32_t number = 3;
  TString text;
  const ScriptArgSlot numberSlot{K::kInt32, &number, 1};
  const ScriptArgSlot textSlot{K::kText, &text, 1};
  const ScriptArgSlot wrongOrder[] = {numberSlot, textSlot};
  const ScriptArgSlot right[] = {textSlot, numberSlot};
  const TestArgs none{};
  const TestArgs two{V(u"a"), V(u"5")};
  EXPECT_EQ(UnpackScriptArgsSlots(none, u"Wi", wrongOrder, 2), -1);
  EXPECT_EQ(UnpackScriptArgsSlots(two, u"Wi", wrongOrder, 2), -1);
  EXPECT_EQ(UnpackScriptArgsSlots(two, u"Wi", right, 1), -1);
  EXPECT_EQ(UnpackScriptArgsSlots(two, nullptr, right, 2), -1);
  EXPECT_EQ(number, 3);
  EXPECT_EQ(UnpackScriptArgsSlots(two, u"Wi", right, 2), 2);
  EXPECT_EQ(number, 5);
  // Formats the typed front end refuses still follow the walk: text after the signature is
  // ignored, and an optional letter before a required one ends the signature.
  EXPECT_EQ(UnpackScriptArgsSlots(two, u"Wi;x", right, 2), 2);
  const ScriptArgSlot optionalFirst[] = {numberSlot};
  EXPECT_EQ(UnpackScriptArgsSlots(TestArgs{V(u"8")}, u"iW", optionalFirst, 1), 1);
  EXPECT_EQ(number, 8);
}

}  // namespace
}  // namespace vk2

// Script objects, their member registry and the data item interface, used as other modules
// use them: children, lookups, enumerations, help, class names, read-only, bases, UIDs.
#include <cmath>

#include "component/script/script_report.h"
#include "component/script/script_text.h"
#include "interfaces/ids.h"
#include "script/engine/run_limits.h"
#include "script/object/script_data_object.h"
#include "script/object/script_object.h"
#include "tests/script/script_fixture.h"

namespace vk2::test {
namespace {

MScriptMemberRegistry* Registry(MScriptObject* object) {
  return static_cast<MScriptMemberRegistry*>(object->GetMemberRegistry());
}

RefPtr<MScriptObject> Named(const char16_t* name, const char16_t* value = u"") {
  RefPtr<ScriptDataObject> item = ScriptDataObject::MakeText(value);
  item->SetName(name);
  return RefPtr<MScriptObject>(item.Get());
}

std::string Joined(const ScriptNameList& names) {
  std::string out;
  for (const TString& name : names) {
    if (!out.empty()) out += ',';
    out += Narrow(name);
  }
  return out;
}

TEST_F(ScriptTest, FindMemberCreatesDataItemsUnlessReadOnly) {
  RefPtr<ScriptObject> object = ScriptObject::Make();
  RefPtr<MScriptObject> found;
  EXPECT_FALSE(object->FindMember(u"x", found.Put(), false));
  EXPECT_EQ(found, nullptr);
  ASSERT_TRUE(object->FindMember(u"x", found.Put(), true));
  EXPECT_EQ(found->GetKind(), kScriptKindData);
  RefPtr<MScriptObject> parent;
  ASSERT_TRUE(found->GetParent(parent.Put()));
  EXPECT_EQ(parent.Get(), static_cast<MScriptObject*>(object.Get()));
  RefPtr<MScriptObject> again;
  ASSERT_TRUE(object->FindChild(u"x", again.Put()));
  EXPECT_EQ(again, found);
  // Names compare with case.
  EXPECT_FALSE(object->FindChild(u"X", again.Put()));
  object->SetReadOnly(true);
  EXPECT_TRUE(object->IsReadOnly());
  EXPECT_FALSE(object->FindMember(u"y", again.Put(), true));
  // Built-ins answer through the shared base.
  ASSERT_TRUE(object->FindMember(u"Help", again.Put(), false));
  EXPECT_EQ(again->GetKind(), kScriptKindFunction);
}

TEST_F(ScriptTest, DuplicateChildrenWarnAndTheFirstKeepsTheName) {
  RefPtr<ScriptObject> object = ScriptObject::Make();
  RefPtr<MScriptObject> first = Named(u"a", u"1");
  RefPtr<MScriptObject> second = Named(u"a", u"2");
  EXPECT_TRUE(object->AddChild(first.Get()));
  console_->Clear();
  EXPECT_TRUE(object->AddChild(second.Get()));
  ASSERT_EQ(console_->Lines().size(), 1u);
  EXPECT_EQ(console_->Lines()[0].level, 6);
  EXPECT_EQ(console_->Lines()[0].text, "Duplicate Script Children named a\n");
  RefPtr<MScriptObject> found;
  ASSERT_TRUE(object->FindChild(u"a", found.Put()));
  EXPECT_EQ(found, first);
  // A child without a name is refused quietly.
  console_->Clear();
  EXPECT_FALSE(object->AddChild(Named(u"").Get()));
  EXPECT_EQ(console_->All(), "");
  // After the first goes, the second is in the array but not reachable by name.
  EXPECT_TRUE(object->RemoveChild(first.Get()));
  EXPECT_FALSE(object->FindChild(u"a", found.Put()));
  EXPECT_TRUE(object->UpdateChildName(second.Get(), true));
  EXPECT_TRUE(object->FindChild(u"a", found.Put()));
  EXPECT_FALSE(object->UpdateChildName(Named(u"z").Get(), true));
}

TEST_F(ScriptTest, RemovingChildrenClearsTheirParent) {
  RefPtr<ScriptObject> object = ScriptObject::Make();
  object->SetName(u"obj");
  RefPtr<MScriptObject> child = Named(u"c");
  object->AddChild(child.Get());
  console_->Clear();
  EXPECT_FALSE(object->RemoveChildByName(u"nope"));
  EXPECT_EQ(console_->All(), "obj: Attempt to remove non-existant child <nope>\n");
  EXPECT_TRUE(object->RemoveChildByName(u"c"));
  RefPtr<MScriptObject> parent;
  EXPECT_FALSE(child->GetParent(parent.Put()));
  object->AddChild(Named(u"a").Get());
  object->AddChild(Named(u"b").Get());
  EXPECT_TRUE(object->RemoveAllChildren());
  EXPECT_FALSE(object->RemoveAllChildren());
  object->SetReadOnly(true);
  console_->Clear();
  EXPECT_FALSE(object->AddChild(Named(u"d").Get()));
  EXPECT_EQ(console_->All(), "obj: Unable to modify non-writable array!\n");
}

TEST_F(ScriptTest, ParentsThatGoAwayLeaveNoDanglingPointer) {
  RefPtr<MScriptObject> child = Named(u"c");
  {
    RefPtr<ScriptObject> object = ScriptObject::Make();
    object->AddChild(child.Get());
    RefPtr<MScriptObject> parent;
    EXPECT_TRUE(child->GetParent(parent.Put()));
  }
  RefPtr<MScriptObject> parent;
  EXPECT_FALSE(child->GetParent(parent.Put()));
}

TEST_F(ScriptTest, EnumerationsSortEachGroupIgnoringCase) {
  RefPtr<ScriptObject> object = ScriptObject::Make();
  object->AddChild(Named(u"b").Get());
  object->AddChild(Named(u"A").Get());
  RefPtr<ScriptObject> sub = ScriptObject::Make();
  sub->SetName(u"Sub");
  object->AddChild(sub.Get());
  ScriptNameList names;
  object->EnumerateNames(&names, kScriptKindData, false);
  EXPECT_EQ(Joined(names), "A,b");
  ScriptNameList all;
  object->EnumerateNames(&all, kScriptKindAll, true);
  EXPECT_EQ(Joined(all),
            "_Name,_ObjectName,_Version,All,BroadcastScript,Children,DoesChildExist,Funcs,Help,"
            "Members,A,b,Sub");
  ScriptObjectList children;
  object->EnumerateChildren(&children, kScriptKindObject, false);
  ASSERT_EQ(children.Count(), 1u);
  EXPECT_EQ(children[0], static_cast<MScriptObject*>(sub.Get()));
  for (MScriptObject* child : children)
    child->Release();
  RefPtr<MScriptObject> obj = MakeObject("obj");
  EXPECT_EQ(Value("x = 1; B = {1}; $l = this.Members(); $e = this.Children(); "
                  "$n = 0; foreach ($c in $e) { $n++; } return ({$l, $n});",
                  obj.Get()),
            "{{B, x}, 0}");
}

TEST_F(ScriptTest, HelpClassNamesAndVersions) {
  RefPtr<ScriptObject> object = ScriptObject::Make();
  object->SetClassName(u"A");
  object->SetClassName(u"B");
  TString text;
  object->GetClassName(&text);
  EXPECT_EQ(Narrow(text), "A->B");
  object->SetVersion(0x20301);
  EXPECT_EQ(object->GetVersion(), 0x20301u);
  object->SetHelp(u"helpful", false);
  object->Help(&text);
  EXPECT_EQ(Narrow(text), "helpful");
  object->SetHelp(u"hidden", true);
  console_->Clear();
  object->Help(&text);
  EXPECT_EQ(Narrow(text), "");
  EXPECT_EQ(console_->All(), "Help system.: Help system is not yet internationalized\n");
  EXPECT_TRUE(object->SetOwnerValue(77));
  EXPECT_EQ(object->GetOwnerValue(), 77u);
  object->SetName(u"n");
  object->Describe(&text, false, 0);
  EXPECT_EQ(Narrow(text), "(n - Object:<A->B> @ #NULL)");
  // A data item has its own class name and ignores version and class changes.
  RefPtr<ScriptDataObject> item = ScriptDataObject::Make();
  item->SetClassName(u"X");
  item->SetVersion(5);
  item->GetClassName(&text);
  EXPECT_EQ(Narrow(text), "ScriptDataObject");
  EXPECT_EQ(item->GetVersion(), 0u);
}

TEST_F(ScriptTest, PlainObjectsCannotBeCalledOrAssigned) {
  RefPtr<ScriptObject> object = ScriptObject::Make();
  object->SetName(u"o");
  console_->Clear();
  RefPtr<MScriptObject> result;
  EXPECT_FALSE(object->Call(result.Put(), Engine(), 0, nullptr, nullptr));
  EXPECT_FALSE(object->Assign(Named(u"v").Get(), false));
  EXPECT_EQ(console_->All(),
            "o: This is neither a compiled-in function nor a script.\n"
            "o: Unable to assign data to complex objects.\n");
}

TEST_F(ScriptTest, BaseChainsRefuseCycles) {
  RefPtr<ScriptObject> a = ScriptObject::Make();
  RefPtr<ScriptObject> b = ScriptObject::Make();
  EXPECT_TRUE(b->SetBase(a.Get()));
  EXPECT_FALSE(a->SetBase(b.Get()));
  EXPECT_FALSE(a->SetBase(a.Get()));
  // A lookup that misses everywhere still ends.
  RefPtr<MScriptObject> found;
  EXPECT_FALSE(b->FindMember(u"none", found.Put(), false));
  a->SetReadOnly(true);
  EXPECT_FALSE(a->SetBase(nullptr));
}

TEST_F(ScriptTest, RegistrationHandsOutUidsAndFindsObjectsBack) {
  Engine()->SetUidCounter(0xFFFFFFFF);
  RefPtr<ScriptObject> a = ScriptObject::Make();
  RefPtr<ScriptObject> b = ScriptObject::Make();
  RefPtr<ScriptObject> c = ScriptObject::Make();
  TString uid;
  a->GetUid(&uid);
  EXPECT_EQ(Narrow(uid), "#NULL");
  ASSERT_TRUE(a->RegisterWithEngine(nullptr));
  ASSERT_TRUE(b->RegisterWithEngine(nullptr));
  a->GetUid(&uid);
  EXPECT_EQ(Narrow(uid), "#FFFFFFFF");
  b->GetUid(&uid);
  EXPECT_EQ(Narrow(uid), "#00000001");  // 0 is never handed out
  // Registering again keeps the first UID.
  EXPECT_FALSE(a->RegisterWithEngine(nullptr));
  a->GetUid(&uid);
  EXPECT_EQ(Narrow(uid), "#FFFFFFFF");
  ASSERT_TRUE(c->RegisterWithEngine(nullptr));
  c->GetUid(&uid);
  EXPECT_EQ(Narrow(uid), "#00000002");
  RefPtr<MScriptObject> found;
  EXPECT_TRUE(Engine()->FindObject(u"#ffffffff", found.Put()));
  EXPECT_EQ(found.Get(), static_cast<MScriptObject*>(a.Get()));
  for (const char16_t* bad : {u"#NULL", u"", u"FFFFFFFF", u"#0", u"#"}) {
    RefPtr<MScriptObject> none;
    EXPECT_FALSE(Engine()->FindObject(bad, none.Put())) << Narrow(bad);
  }
  EXPECT_TRUE(Engine()->UnregisterObject(a.Get()));
  EXPECT_FALSE(Engine()->UnregisterObject(a.Get()));
  EXPECT_FALSE(Engine()->FindObject(u"#FFFFFFFF", found.Put()));
  EXPECT_FALSE(Engine()->RegisterObject(nullptr, &uid));
  EXPECT_FALSE(Engine()->UnregisterObject(nullptr));
}

TEST(UidTextTest, ParsesAsStrtoulInBase16) {
  EXPECT_EQ(ParseUidText(u"#0000ABCD"), 0xABCDu);
  EXPECT_EQ(ParseUidText(u"#0000abcd"), 0xABCDu);
  EXPECT_EQ(ParseUidText(u"# 1a"), 0x1Au);
  EXPECT_EQ(ParseUidText(u"#-1"), 0xFFFFFFFFu);
  EXPECT_EQ(ParseUidText(u"#123456789"), 0xFFFFFFFFu);
  EXPECT_EQ(ParseUidText(u"#NULL"), 0u);
  EXPECT_EQ(ParseUidText(u"1234"), 0u);
  EXPECT_EQ(ParseUidText(nullptr), 0u);
  EXPECT_EQ(Narrow(FormatUidText(0xAB)), "#000000AB");
}

TEST(IdentifierTest, AsciiLettersDigitsAndUnderscore) {
  EXPECT_TRUE(IsValidIdentifier(u"_a1"));
  EXPECT_FALSE(IsValidIdentifier(u"1a"));
  EXPECT_FALSE(IsValidIdentifier(u""));
  EXPECT_FALSE(IsValidIdentifier(nullptr));
  EXPECT_FALSE(IsValidIdentifier(u"caf\u00e9"));
  EXPECT_TRUE(IsValidIdentifierNarrow("x_Y"));
  EXPECT_FALSE(IsValidIdentifierNarrow("x-y"));
  EXPECT_TRUE(IsWhiteSpaceChar(u'\r'));
  EXPECT_FALSE(IsWhiteSpaceChar(u'\v'));
}

TEST(NumberTextTest, IntegersPrintExactlyAndOthersAsG) {
  struct Case {
    double value;
    const char* text;
  } cases[] = {{0, "0"},
               {-0.0, "0"},
               {42, "42"},
               {-7, "-7"},
               {4294967296.0, "4294967296"},
               {9007199254740991.0, "9007199254740991"},
               {9007199254740992.0, "9.0072e+015"},
               {0.5, "0.5"},
               {0.1 + 0.2, "0.3"},
               {1e-7, "0"},
               {-1e-7, "-0"},
               {1234567.5, "1.23457e+006"},
               {1e300 * 1e300, "INF"},
               {-(1e300 * 1e300), "-INF"}};
  for (const Case& c : cases)
    EXPECT_EQ(Narrow(NumberToText(c.value)), c.text) << c.value;
  double nan = std::nan("");
  EXPECT_EQ(Narrow(NumberToText(nan)), "NaN");
  EXPECT_EQ(Narrow(IntToString(-2147483647 - 1)), "-2147483648");
}

// ---- The data item interface ------------------------------------------------------------------

TEST_F(ScriptTest, FreshDataItemIsAnEmptyScalar) {
  RefPtr<ScriptDataObject> item = ScriptDataObject::Make();
  EXPECT_TRUE(item->IsScalar());
  EXPECT_FALSE(item->IsArray());
  EXPECT_EQ(item->ArraySize(), 0u);
  TString text;
  item->Describe(&text, false, 0);
  EXPECT_EQ(Narrow(text), "\"\"");
  EXPECT_EQ(item->GetMemberRegistry(), static_cast<ScriptDataEntity*>(item.Get()));
  EXPECT_EQ(item->GetScriptObject(), static_cast<MScriptObject*>(item.Get()));
  void* out = nullptr;
  EXPECT_EQ(item->QueryInterface(kIID_ScriptDataEntity, &out, 0, 0), 0);
  EXPECT_EQ(out, static_cast<ScriptDataEntity*>(item.Get()));
  EXPECT_EQ(item->QueryInterface(kIID_MScriptMemberRegistry, &out, 0, 0), -15);
  EXPECT_EQ(out, nullptr);
}

TEST_F(ScriptTest, DataItemGrowsByIndexAndFindsMembersByName) {
  RefPtr<ScriptDataObject> item = ScriptDataObject::MakeText(u"gone");
  ASSERT_NE(item->AppendNew(), nullptr);
  EXPECT_EQ(Narrow(item->Text()), "");
  MScriptObject* third = item->GetMemberOrCreate(u"2", true);
  ASSERT_NE(third, nullptr);
  EXPECT_EQ(item->ArraySize(), 3u);
  EXPECT_EQ(item->GetAt(2), third);
  EXPECT_EQ(item->GetAt(3), nullptr);
  // "12abc" addresses element 12; "0x1F" element 31.
  EXPECT_NE(item->GetMemberOrCreate(u"12abc", true), nullptr);
  EXPECT_EQ(item->ArraySize(), 13u);
  EXPECT_NE(item->GetMemberOrCreate(u"0x1F", true), nullptr);
  EXPECT_EQ(item->ArraySize(), 32u);
  MScriptObject* named = item->GetMemberOrCreate(u"Key", true);
  ASSERT_NE(named, nullptr);
  EXPECT_EQ(item->GetMember(u"KEY"), named);  // by name, ignoring case
  EXPECT_TRUE(item->IsValidIndex(u"Key"));
  EXPECT_FALSE(item->IsValidIndex(u"key"));  // case counts here
  EXPECT_TRUE(item->IsValidIndex(u"32"));
  EXPECT_FALSE(item->IsValidIndex(u"33"));
  console_->Clear();
  EXPECT_EQ(item->GetMember(u"none"), nullptr);
  EXPECT_EQ(console_->All(), ": No array value named <none>.\n");
}

TEST_F(ScriptTest, DataItemRefusesRunawayGrowth) {
  RefPtr<ScriptDataObject> item = ScriptDataObject::Make();
  item->SetName(u"big");
  console_->Clear();
  EXPECT_EQ(item->GetAtOrCreate(0xFFFFFFFF, true), nullptr);
  EXPECT_EQ(item->GetAtOrCreate(70000, true), nullptr);
  EXPECT_EQ(item->ArraySize(), 0u);
  EXPECT_NE(console_->All().find("big: Cannot add member 4294967295"), std::string::npos);
  EXPECT_NE(item->GetAtOrCreate(1000, true), nullptr);
  EXPECT_EQ(item->ArraySize(), 1001u);
  EXPECT_FALSE(item->SetArraySize(MaxArrayMembers() + 1));
  EXPECT_TRUE(item->SetArraySize(2));
  EXPECT_EQ(item->ArraySize(), 2u);
}

TEST_F(ScriptTest, DataItemScalarAndArrayRules) {
  RefPtr<ScriptDataObject> item = ScriptDataObject::Make();
  item->SetName(u"d");
  console_->Clear();
  EXPECT_EQ(item->GetMember(u"x"), nullptr);
  EXPECT_EQ(console_->All(), "d: Attempt to index non-array.\n");
  EXPECT_FALSE(item->Append(nullptr));
  EXPECT_FALSE(item->Append(item.Get()));  // never inside itself
  RefPtr<MScriptObject> member = Named(u"m", u"v");
  EXPECT_TRUE(item->Append(member.Get()));
  EXPECT_EQ(item->GetAt(0), member.Get());  // appended by reference
  EXPECT_TRUE(item->SetValue(u"text"));
  EXPECT_TRUE(item->IsScalar());
  item->SetReadOnly(true);
  console_->Clear();
  EXPECT_FALSE(item->SetValue(u"x"));
  EXPECT_FALSE(item->SetArraySize(1));
  EXPECT_EQ(item->AppendNew(), nullptr);
  EXPECT_FALSE(item->Append(member.Get()));
  EXPECT_FALSE(item->Assign(member.Get(), false));
  EXPECT_EQ(console_->All(),
            "d: Data item is not writable.\n"
            "d: Unable to modify non-writable array!\n"
            "d: Unable to modify non-writable array!\n"
            "d: Unable to modify non-writable array!\n"
            "d: Unable to assign value to read-only object\n");
  // Clearing nothing is no write: a read-only scalar takes a null assignment quietly.
  console_->Clear();
  EXPECT_TRUE(item->Assign(nullptr, false));
  EXPECT_EQ(console_->All(), "");
}

TEST_F(ScriptTest, AssignCopiesSharesOrRefers) {
  RefPtr<ScriptDataObject> source = ScriptDataObject::Make();
  AddArrayMember(source.Get(), u"1", u"a");
  AddArrayMember(source.Get(), u"2", TString());
  RefPtr<ScriptDataObject> copy = ScriptDataObject::Make();
  ASSERT_TRUE(copy->Assign(source.Get(), false));
  EXPECT_EQ(Canonical(copy.Get()), "{a: 1, 2}");
  EXPECT_NE(copy->GetAt(0), source->GetAt(0));
  RefPtr<ScriptDataObject> shared = ScriptDataObject::Make();
  ASSERT_TRUE(shared->Assign(source.Get(), true));
  EXPECT_EQ(shared->GetAt(0), source->GetAt(0));
  // An object assigned to an item leaves its UID text there.
  RefPtr<MScriptObject> obj = MakeObject("obj");
  TString uid;
  obj->GetUid(&uid);
  ASSERT_TRUE(copy->Assign(obj.Get(), false));
  EXPECT_EQ(Narrow(copy->Text()), Narrow(uid));
  RefPtr<MScriptObject> resolved;
  copy->Resolve(resolved.Put());
  EXPECT_EQ(resolved, obj);
  // A null assignment turns objects in an array into their UID texts and keeps the value.
  RefPtr<ScriptDataObject> list = ScriptDataObject::Make();
  list->Append(obj.Get());
  ASSERT_TRUE(list->Assign(nullptr, false));
  EXPECT_EQ(Canonical(list.Get()), "{obj: " + Narrow(uid) + "}");
}

TEST_F(ScriptTest, DescribeFollowsItsTable) {
  RefPtr<ScriptDataObject> item = ScriptDataObject::Make();
  AddArrayMember(item.Get(), u"1", u"a");
  MScriptObject* inner = item->AppendNew();
  AddArrayMember(inner, u"2", TString());
  AddArrayMember(inner, u"3", u"b");
  TString text;
  item->Describe(&text, false, 0);
  EXPECT_EQ(Narrow(text), "{  a:\"1\",\n  {    \"2\",     b:\"3\"}\n}");
  item->Describe(&text, true, 0);
  EXPECT_EQ(Narrow(text), "{\n  a: 1,   {\n    2,\n    b: 3\n}}");
}

TEST_F(ScriptTest, ValueHoldingItsOwnUidDoesNotLoopOnLookup) {
  RefPtr<ScriptDataObject> a = ScriptDataObject::Make();
  RefPtr<ScriptDataObject> b = ScriptDataObject::Make();
  ASSERT_TRUE(a->RegisterWithEngine(nullptr));
  ASSERT_TRUE(b->RegisterWithEngine(nullptr));
  TString uidA, uidB;
  a->GetUid(&uidA);
  b->GetUid(&uidB);
  a->SetValue(uidA);
  RefPtr<MScriptObject> found;
  EXPECT_FALSE(a->FindMember(u"x", found.Put(), false));
  a->SetValue(uidB);
  b->SetValue(uidA);
  EXPECT_FALSE(a->FindMember(u"x", found.Put(), false));
  EXPECT_TRUE(a->FindMember(u"ArraySize", found.Put(), false));
  a->UnregisterFromEngine(nullptr);
  b->UnregisterFromEngine(nullptr);
}

TEST_F(ScriptTest, GlobalsAreAddedAlongPaths) {
  RefPtr<ScriptObject> object = ScriptObject::Make();
  object->SetName(u"leaf");
  EXPECT_TRUE(Engine()->AddGlobal(static_cast<MScriptMemberRegistry*>(object.Get()), u"a.b."));
  EXPECT_EQ(Value("return (::a.b.leaf._Name());"), "leaf");
  RefPtr<ScriptObject> other = ScriptObject::Make();
  other->SetName(u"other");
  EXPECT_TRUE(Engine()->AddGlobal(static_cast<MScriptMemberRegistry*>(other.Get()), u"a.b"));
  EXPECT_EQ(Value("return (::a.other._Name());"), "other");
  EXPECT_TRUE(Engine()->RemoveGlobal(u"a"));
  EXPECT_FALSE(Engine()->AddGlobal(nullptr, nullptr));
  EXPECT_TRUE(Engine()->IsValidName(u"a_1"));
  EXPECT_FALSE(Engine()->IsValidName(u"1a"));
}

TEST_F(ScriptTest, WriteConsoleMapsLevels) {
  console_->Clear();
  Engine()->WriteConsole(0, u"e");
  Engine()->WriteConsole(1, u"w");
  Engine()->WriteConsole(3, u"i");
  std::vector<RecordingConsole::Line> lines = console_->Lines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].level, 7);
  EXPECT_EQ(lines[1].level, 6);
  EXPECT_EQ(lines[2].level, 3);
  EXPECT_EQ(Engine()->QueryInterface(kIID_MScriptEngine, nullptr, 1, 0), -15);
}

TEST_F(ScriptTest, RunLeavesTheResultSlotAloneForAnEmptyScript) {
  MScriptObject* slot = Named(u"kept").Detach();
  MScriptObject* before = slot;
  EXPECT_EQ(Engine()->Run(TString(), &slot, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(slot, before);
  // A script with a value replaces (and releases) what the slot held.
  EXPECT_EQ(Engine()->Run(u"return (5);", &slot, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(Canonical(slot), "5");
  slot->Release();
}

TEST_F(ScriptTest, BroadcastRunsOnEveryDescendantOnce) {
  RefPtr<MScriptObject> top = MakeObject("top");
  RefPtr<MScriptObject> a = MakeObject("a", top.Get());
  RefPtr<MScriptObject> b = MakeObject("b", top.Get());
  RefPtr<MScriptObject> c = MakeObject("c", a.Get());
  // A cycle through AddChild must not make the walk run for ever.
  Registry(c.Get())->AddChild(top.Get());
  RefPtr<MScriptObject> log = MakeObject("log");
  EXPECT_EQ(Engine()->AddGlobal(static_cast<MUnknown*>(log.Get()), nullptr), true);
  EXPECT_EQ(Value("::log.t = \"\"; top.BroadcastScript(\"::log.t |= this._Name();\"); "
                  "return (::log.t);",
                  top.Get()),
            "topbac");
  Registry(c.Get())->RemoveChild(top.Get());
  Engine()->RemoveGlobal(u"log");
}

}  // namespace
}  // namespace vk2::test

// The visual control object as scripts and visual windows meet it: a real script engine with
// `visuals` under a player object, the handler over the built plug-in folder, recording windows,
// and group state in an in-memory preference tree.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/util/guid_text.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "tests/script/script_fixture.h"
#include "tests/visual/visual_test_support.h"
#include "visual/control/visual_control.h"

namespace vk2::test {
namespace {

// A visual window as a group drives it: records what it is told.
class RecordingWindow final : public MVisualGroupWindow {
 public:
  int32_t SetVisual(uint32_t id) override {
    visual = id;
    ++setCalls;
    return kOk;
  }
  uint32_t GetVisualId() override { return visual; }
  int32_t SendFilterMessage(const char16_t* message, int32_t argument) override {
    messages.push_back(Narrow(TString(message)) + ":" + std::to_string(argument));
    return kOk;
  }
  int32_t EnablePostEffect(const Guid& classId, MVisualPostEffect* effect) override {
    auto it = std::find(effects.begin(), effects.end(), classId);
    if (effect && it == effects.end()) effects.push_back(classId);
    if (!effect && it != effects.end()) effects.erase(it);
    return kOk;
  }
  void GetPostEffects(std::vector<Guid>* classIds) override { *classIds = effects; }

  uint32_t visual = 0;
  int setCalls = 0;
  std::vector<std::string> messages;
  std::vector<Guid> effects;
};

class CountingListener final : public MVisualGroupListener {
 public:
  void OnGroupChange(const char16_t* group, int32_t added) override {
    calls.push_back(Narrow(TString(group)) + (added ? "+" : "-"));
  }
  std::vector<std::string> calls;
};

// As scripts see factory ids: the text of the id without braces.
std::string IdText(const Guid& id) {
  const std::string text = Narrow(FormatGuidText(id));
  return text.substr(1, text.size() - 2);
}
const std::string kEffectId = IdText(kVisualHandlerClass);
constexpr Guid kUnknownEffect = MakeGuid("01234567-89AB-CDEF-0123-456789ABCDEF");

class VisualControlTest : public ScriptTest {
 protected:
  void SetUp() override {
    ScriptTest::SetUp();
    player = MakeObject("player");
    section = f.runtime.Registry().NewPreferences();
    ASSERT_EQ(section->OpenSection(u"velkora/gui/visualcontrol", 1), 0);
    control = VisualControl::Make(f.host.Get(), section.Get());
    ASSERT_TRUE(control);
    ASSERT_EQ(control->AttachTo(reinterpret_cast<uintptr_t>(player.Get())), kOk);
  }
  void TearDown() override {
    control->Script()->UnregisterFromEngine(nullptr);
    control = nullptr;
    player = nullptr;
    ScriptTest::TearDown();
  }
  void LoadAll() { ASSERT_EQ(f.host->AddFiles(Utf16(PluginPath("*.vvp")).c_str()), kOk); }
  std::vector<uint32_t> Ids() {
    std::vector<uint32_t> ids;
    for (uint32_t id = f.host->GetNextId(0); id; id = f.host->GetNextId(id))
      ids.push_back(id);
    return ids;
  }

  // The value of a call on `visuals`, or the error text it reported.
  std::string Call(const std::string& call) {
    console_->Clear();
    std::string value;
    if (Run("return (this.visuals." + call + ");", player.Get(), &value) == 0) return value;
    const std::string all = console_->All();
    if (all.find("Invalid Parameters") != std::string::npos) return "Invalid Parameters";
    const size_t colon = all.find(": ");
    return colon == std::string::npos ? all
                                      : all.substr(colon + 2, all.find('\n', colon) - colon - 2);
  }
  RefPtr<MPreferenceStore> Stored(const char16_t* group) {
    RefPtr<MPreferenceStore> s = f.runtime.Registry().NewPreferences();
    s->OpenSection(TString::Format(u"velkora/gui/visualcontrol/%s", group).c_str(), 1);
    return s;
  }
  std::string StoredVisual(const char16_t* group) {
    TString name;
    Stored(group)->GetString(u"VisualName", &name);
    return Narrow(name);
  }
  size_t GroupCount() {
    std::vector<TString> names;
    control->GetGroupNames(&names);
    return names.size();
  }

  HostFixture f;
  RefPtr<MScriptObject> player;
  RefPtr<MPreferenceStore> section;
  RefPtr<VisualControl> control;
};

TEST_F(VisualControlTest, ListsAndDescribesTheLoadedVisuals) {
  EXPECT_EQ(Call("GetVisualList()"), "");
  ASSERT_EQ(Call("LoadVisual(\"" + PluginPath("g1_recorder.vvp") + "\")"), "");
  ASSERT_EQ(Call("LoadVisual(\"" + PluginPath("nested/g1_plain.vvp") + "\")"), "");
  EXPECT_EQ(Call("GetVisualList()"), "{1, 2}");
  const std::string recorder = PluginPath("g1_recorder.vvp");
  EXPECT_EQ(Call("GetVisualInfo(1)"),
            "{id: 1, name: " + recorder + ", author: unknown, version: 1}");
  EXPECT_EQ(
      Value("$l = this.visuals.GetVisualInfoList(); return ($l[1]);", player.Get()),
      "{id: 2, name: " + PluginPath("nested/g1_plain.vvp") + ", author: unknown, version: 1}");
  struct Case {
    std::string call;
    std::string answer;
  };
  const Case failures[] = {
      {"GetVisualInfo(9)", "Invalid ID"},
      {"GetVisualList(1)", "Invalid Parameters"},
      {"GetVisualInfo()", "Invalid Parameters"},
      {"UnloadVisual(\"77\")", "Invalid ID"},
      {"UnloadVisual(\"nowhere.vvp\")", "Invalid ID"},
      {"LoadVisual()", "Invalid Parameters"},
  };
  for (const Case& c : failures)
    EXPECT_EQ(Call(c.call), c.answer) << c.call;
}

TEST_F(VisualControlTest, UnloadVisualReadsDigitsAsAnIdAndOtherTextAsAFileName) {
  LoadAll();
  const uint32_t probe = f.IdOfFile("g1_probe.vvp");
  std::vector<uint32_t> others;
  for (uint32_t id : Ids()) {
    if (id != probe) others.push_back(id);
  }
  ASSERT_GE(others.size(), 2u);
  // "0x2" and "2" both name the visual with id 2; letters first name a file.
  EXPECT_EQ(Call("UnloadVisual(\"0x" + std::to_string(others[0]) + "\")"), "");
  EXPECT_EQ(f.ById(others[0]), nullptr);
  EXPECT_EQ(Call("UnloadVisual(\"" + PluginPath("g1_probe.vvp") + "\")"), "");
  EXPECT_EQ(f.ById(probe), nullptr);
  EXPECT_EQ(Call("UnloadVisual(\"" + std::to_string(others[1]) + "\")"), "");
  EXPECT_EQ(f.ById(others[1]), nullptr);
  EXPECT_EQ(Call("UnloadVisual(\"" + std::to_string(others[1]) + "\")"), "Invalid ID");
}

TEST_F(VisualControlTest, SteppingWrapsAroundAndFollowsEveryWindowOfTheGroup) {
  LoadAll();
  const std::vector<uint32_t> ids = Ids();
  RecordingWindow a;
  RecordingWindow b;
  ASSERT_EQ(control->JoinGroup(&a, u"main"), kOk);
  EXPECT_EQ(a.visual, ids.front()) << "a window showing nothing gets the host's first visual";
  ASSERT_EQ(control->JoinGroup(&b, u"main"), kOk);
  EXPECT_EQ(b.visual, ids.front());

  EXPECT_EQ(Call("GroupPrevVisual(\"main\")"), "");
  EXPECT_EQ(a.visual, ids.back()) << "previous of the first wraps to the last";
  EXPECT_EQ(Call("GroupNextVisual(\"main\")"), "");
  EXPECT_EQ(b.visual, ids.front()) << "next of the last wraps to the first";
  EXPECT_EQ(Call("GroupSetVisual(\"main\", " + std::to_string(ids[2]) + ")"), "");
  EXPECT_EQ(a.visual, ids[2]);
  EXPECT_EQ(b.visual, ids[2]);
  EXPECT_EQ(Call("GroupSetVisual(\"main\", 999)"), "");
  EXPECT_EQ(a.visual, ids[2]) << "an unknown id leaves the group as it was";
  EXPECT_EQ(Call("GroupSetVisual(\"main\")"), "Invalid Parameters");

  control->LeaveGroup(&a, u"main");
  control->LeaveGroup(&b, u"main");
  EXPECT_EQ(GroupCount(), 0u);
  TString name;
  f.ById(ids[2])->GetName(&name);
  EXPECT_EQ(StoredVisual(u"main"), Narrow(name)) << "the last window out stores the group";

  // The group forms again around a new window with its stored visual.
  RecordingWindow c;
  control->JoinGroup(&c, u"main");
  EXPECT_EQ(c.visual, ids[2]);
  control->LeaveGroup(&c, u"main");
}

TEST_F(VisualControlTest, WithOneVisualOrNoneSteppingChangesNothing) {
  RecordingWindow a;
  control->JoinGroup(&a, u"g");
  EXPECT_EQ(Call("GroupNextVisual(\"g\")"), "");
  EXPECT_EQ(a.visual, 0u);
  ASSERT_EQ(f.host->AddFile(Utf16(PluginPath("g1_recorder.vvp"))), kOk);
  EXPECT_EQ(Call("GroupNextVisual(\"g\")"), "");
  EXPECT_EQ(a.visual, 1u);
  const int calls = a.setCalls;
  EXPECT_EQ(Call("GroupNextVisual(\"g\")"), "");
  EXPECT_EQ(Call("GroupPrevVisual(\"g\")"), "");
  EXPECT_EQ(a.setCalls, calls) << "the only visual is not set again";
  control->LeaveGroup(&a, u"g");
}

TEST_F(VisualControlTest, AGroupWithNoWindowIsChangedInTheStoreAndLeavesNoGroup) {
  LoadAll();
  const std::vector<uint32_t> ids = Ids();
  EXPECT_EQ(Call("GroupIsPostEffectEnabled(\"idle\", \"" + kEffectId + "\")"), "false");
  EXPECT_EQ(GroupCount(), 0u);
  EXPECT_EQ(Call("GroupSetVisual(\"idle\", " + std::to_string(ids[1]) + ")"), "");
  EXPECT_EQ(Call("GroupEnablePostEffect(\"idle\", \"" + kEffectId + "\", 1)"), "enabled");
  EXPECT_EQ(GroupCount(), 0u);
  TString name;
  f.ById(ids[1])->GetName(&name);
  EXPECT_EQ(StoredVisual(u"idle"), Narrow(name));
  EXPECT_EQ(Call("GroupIsPostEffectEnabled(\"idle\", \"" + kEffectId + "\")"), "true");
  EXPECT_EQ(GroupCount(), 0u);

  // A window that joins gets the stored visual and post effects.
  RecordingWindow w;
  control->JoinGroup(&w, u"idle");
  EXPECT_EQ(w.visual, ids[1]);
  EXPECT_EQ(w.effects, std::vector<Guid>{kVisualHandlerClass});
  control->LeaveGroup(&w, u"idle");
}

TEST_F(VisualControlTest, ANewGroupTakesTheFirstWindowsStateUnlessTheStoreSaysOtherwise) {
  LoadAll();
  const std::vector<uint32_t> ids = Ids();
  // Nothing stored: the group takes the window's visual and post effects.
  RecordingWindow first;
  first.visual = ids[1];
  first.effects = {kUnknownEffect};
  control->JoinGroup(&first, u"keep");
  EXPECT_EQ(first.visual, ids[1]);
  EXPECT_EQ(first.setCalls, 0) << "a window's own visual is not set again";
  EXPECT_EQ(control->GroupIsPostEffectEnabled(u"keep", kUnknownEffect), 1);
  control->LeaveGroup(&first, u"keep");

  // Stored: the stored list wins; an effect not stored is dropped from the window, a stored one
  // that cannot be made is left out.
  const Guid stored[] = {kVisualHandlerClass, kUnknownEffect};
  Stored(u"keep")->SetGuidList(u"PostEffects", stored, 1);
  RecordingWindow second;
  second.effects = {kUnknownEffect};
  control->JoinGroup(&second, u"keep");
  EXPECT_EQ(second.visual, ids[1]) << "the stored visual";
  EXPECT_EQ(second.effects, std::vector<Guid>{kVisualHandlerClass});
  control->LeaveGroup(&second, u"keep");
  Stored(u"keep")->SetGuidList(u"PostEffects", stored, 2);
  RecordingWindow third;
  control->JoinGroup(&third, u"keep");
  EXPECT_EQ(third.effects, std::vector<Guid>{kVisualHandlerClass});
  EXPECT_EQ(control->GroupIsPostEffectEnabled(u"keep", kUnknownEffect), 0);
  control->LeaveGroup(&third, u"keep");
}

TEST_F(VisualControlTest, PostEffectsAreEnabledOnceAndDisabledQuietly) {
  RecordingWindow a;
  RecordingWindow b;
  control->JoinGroup(&a, u"fx");
  control->JoinGroup(&b, u"fx");
  const std::string enable = "GroupEnablePostEffect(\"fx\", \"" + kEffectId + "\", ";
  EXPECT_EQ(Call(enable + "0)"), "disabled") << "disabling what is not enabled succeeds";
  EXPECT_EQ(Call(enable + "1)"), "enabled");
  EXPECT_EQ(Call(enable + "1)"), "enabled");
  EXPECT_EQ(a.effects.size(), 1u);
  EXPECT_EQ(b.effects.size(), 1u);
  EXPECT_EQ(control->GroupIsPostEffectEnabled(u"fx", kVisualHandlerClass), 1);
  EXPECT_EQ(Call("GroupEnablePostEffect(\"fx\", \"" + IdText(kUnknownEffect) + "\", 1)"),
            "Invalid Factory ID for post effect");
  EXPECT_LT(control->GroupEnablePostEffect(u"fx", kUnknownEffect, 1), 0);
  EXPECT_EQ(control->GroupIsPostEffectEnabled(u"fx", kUnknownEffect), 0);
  EXPECT_EQ(Call(enable + "0)"), "disabled");
  EXPECT_TRUE(a.effects.empty());
  EXPECT_TRUE(b.effects.empty());
  EXPECT_EQ(Call("GroupEnablePostEffect(\"fx\", \"not an id\", 1)"), "Invalid Parameters");
  control->LeaveGroup(&a, u"fx");
  control->LeaveGroup(&b, u"fx");
}

TEST_F(VisualControlTest, PostEffectListGivesNamesAndFactoryIds) {
  EXPECT_EQ(Call("GetPostEffectList()"),
            "{{name: Velkora1VisPostEffect, description: Velkora1-style visual post-effects, "
            "factoryID: " +
                kEffectId + "}}");
}

TEST_F(VisualControlTest, FilterMessagesReachTheGroupsWindowsInJoiningOrder) {
  RecordingWindow a;
  RecordingWindow b;
  control->JoinGroup(&a, u"m");
  control->JoinGroup(&b, u"m");
  EXPECT_EQ(control->SendFilterMessage(u"m", u"reloadvk1vissettings", 3), kOk);
  EXPECT_EQ(a.messages, std::vector<std::string>{"reloadvk1vissettings:3"});
  EXPECT_EQ(b.messages, a.messages);
  EXPECT_EQ(control->SendFilterMessage(u"none", u"x", 0), kErrNotFound);
  EXPECT_EQ(GroupCount(), 1u) << "a filter message makes no group";
  control->LeaveGroup(&a, u"m");
  control->LeaveGroup(&b, u"m");
}

TEST_F(VisualControlTest, ListenersAndScriptsHearWindowsJoinAndLeave) {
  CountingListener listener;
  EXPECT_EQ(control->AddRemoveGroupListener(&listener, 1), kOk);
  EXPECT_EQ(control->AddRemoveGroupListener(&listener, 1), kErrAlreadyPresent);
  RefPtr<MScriptObject> log = MakeObject("log");
  Engine()->AddGlobal(static_cast<MUnknown*>(log.Get()), nullptr);
  ASSERT_EQ(Value("::log.t = \"\";"), "");
  EXPECT_EQ(Call("RegisterGroupChangeCallback(\"main\", \"::log.t |= $params[0] | "
                 "$params[1][\\\"what\\\"] | \\\";\\\";\")"),
            "registered");

  RecordingWindow w;
  control->JoinGroup(&w, u"main");
  control->LeaveGroup(&w, u"main");
  control->LeaveGroup(&w, u"main");  // not a member: still told
  control->JoinGroup(nullptr, u"other");
  EXPECT_EQ(listener.calls, (std::vector<std::string>{"main+", "main-", "main-"}));
  EXPECT_EQ(Value("return (::log.t);"), "mainadd;mainremove;mainremove;");

  EXPECT_EQ(Call("UnregisterGroupChangeCallback(\"main\", \"any script\")"), "unregistered");
  control->JoinGroup(&w, u"main");
  EXPECT_EQ(Value("return (::log.t);"), "mainadd;mainremove;mainremove;");
  control->LeaveGroup(&w, u"main");
  control->LeaveGroup(nullptr, u"other");
  EXPECT_EQ(control->AddRemoveGroupListener(&listener, 0), kOk);
  EXPECT_EQ(control->AddRemoveGroupListener(&listener, 0), kErrNotFound);
  Engine()->RemoveGlobal(u"log");
}

// The post-effect controls under `visuals.posteffects`, one per offered post effect.
class PostEffectControlTest : public VisualControlTest {
 protected:
  std::string Effect(const std::string& call) {
    return Call("posteffects.Velkora1VisPostEffect." + call);
  }
  RefPtr<MPreferenceStore> Settings(const char16_t* group) {
    RefPtr<MPreferenceStore> s = f.runtime.Registry().NewPreferences();
    s->OpenSection(TString::Format(u"visuals/groups/%s/Velkora1VisPostEffect", group).c_str(), 1);
    return s;
  }
};

TEST_F(PostEffectControlTest, SettingsAreReadAndWrittenPerGroupWithoutAWindow) {
  struct Case {
    std::string call;
    std::string answer;
  };
  const Case cases[] = {
      {"Set(\"a\", \"fade\", \"0.5\")", "set"},
      {"Get(\"a\", \"fade\")", "0.5"},
      // Refused as text and as a number, taken as the integer 16.
      {"Set(\"a\", \"blur\", \"0x10\")", "set"},
      {"Get(\"a\", \"blur\")", "1"},
      {"Get(\"a\", \"modulename\")", "Velkora1VisPostEffect"},
      {"Set(\"a\", \"fade\", \"2\")", "The specified setting was not found."},
      {"Set(\"a\", \"fade\", \"soft\")", "The specified setting was not found."},
      {"Set(\"a\", \"nosuch\", \"1\")", "The specified setting was not found."},
      {"Get(\"a\", \"nosuch\")", "The specified setting was not found."},
      {"Get(\"a\", \"fade\")", "0.5"},
      {"Get(\"a\")", "Invalid Parameters"},
      {"Set()", "Invalid Parameters"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Effect(c.call), c.answer) << c.call;
  double fade = 0.0;
  ASSERT_EQ(Settings(u"a")->GetDouble(u"fade", &fade), 0) << "saved under the group";
  EXPECT_EQ(fade, 0.5);
  EXPECT_NE(Effect("Get(\"b\", \"fade\")"), "0.5") << "another group keeps its own";
  EXPECT_EQ(GroupCount(), 0u);
}

TEST_F(PostEffectControlTest, FilterMessagesGoToTheGroupAndAnUnknownGroupIsNoError) {
  RecordingWindow w;
  control->JoinGroup(&w, u"g");
  EXPECT_EQ(Effect("SendFilterMessage(\"g\", \"reloadvk1vissettings\")"), "sent");
  EXPECT_EQ(w.messages, std::vector<std::string>{"reloadvk1vissettings:0"});
  EXPECT_EQ(Effect("SendFilterMessage(\"none\", \"reloadvk1vissettings\")"), "");
  control->LeaveGroup(&w, u"g");
}

}  // namespace
}  // namespace vk2::test

// Script callbacks on playlist events: their order and parameters, which keys match, where a
// binding runs, and bindings that remove themselves while they run.
#include <gtest/gtest.h>

#include <string>

#include "tests/core/script/support/script_case.h"
#include "tests/core/script/support/script_harness.h"

namespace vk2::test {
namespace {

class CallbacksTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(harness_.Start()) << harness_.Error();
    ASSERT_EQ(harness_.Answer("playlists.SetIdleScan(\"none\", 0);"
                              "return (playlists.AddPlaylist(\"default\"));"),
              "done");
  }
  // Runs the script, then a change whose callback writes "settled", and waits for it: the
  // playlist delivers in order, so everything the script set off has been delivered by then.
  std::string Settle(const std::string& script) {
    harness_.Run(script);
    harness_.Run(
        "playlists.default.RegisterCallback(\"ItemsRemoved\", \"console.write(\\\"settled\\\");\");"
        "$m = playlists.default.AddItems({\"/m/marker1.wav\", \"/m/marker2.wav\"});"
        "playlists.default.RemoveItems($m[0]);");
    EXPECT_TRUE(harness_.WaitForConsole("settled", 1, 5000)) << harness_.Console();
    return harness_.Console();
  }
  ScriptHarness harness_;
};

TEST_F(CallbacksTest, PlaylistEventsArriveInOrderWithTheirParameters) {
  const std::string console = Settle(
      "playlists.default.RegisterCallback(\"ItemsAdded\", \"console.write($params[0] | \\\" \\\" |"
      " $params[1][\\\"ids\\\"].ArraySize() | \\\" after \\\" | $params[1][\\\"IDAfter\\\"] |"
      " \\\" \\\" | $params[1][\\\"changetype\\\"]);\");"
      "playlists.default.RegisterCallback(\"AllItemsRemoved\", \"console.write($params[0] |"
      " \\\" \\\" | $params[1].ArraySize());\");"
      "playlists.default.AddItems({\"/m/a.wav\", \"/m/b.wav\"});"
      "playlists.default.RemoveAll();");
  const size_t added = console.find("ItemsAdded 2 after 0xffffffff ItemsAdded\n");
  const size_t cleared = console.find("AllItemsRemoved 1\n");
  EXPECT_NE(added, std::string::npos) << console;
  EXPECT_NE(cleared, std::string::npos) << console;
  EXPECT_LT(added, cleared) << console;
}

TEST_F(CallbacksTest, KeysMatchWithCaseButRemovalIgnoresIt) {
  const std::string console = Settle(
      "playlists.default.RegisterCallback(\"itemsadded\", \"console.write(\\\"lower\\\");\");"
      "playlists.default.RegisterCallback(\"ItemsAdded\", \"console.write(\\\"exact\\\");\");"
      "playlists.default.RegisterCallback(\"\", \"console.write(\\\"any \\\" | $params[0]);\");"
      "playlists.default.AddItem(\"/m/a.wav\");");
  EXPECT_NE(console.find("exact\n"), std::string::npos) << console;
  EXPECT_NE(console.find("any ItemsAdded\n"), std::string::npos) << console;
  EXPECT_EQ(console.find("lower\n"), std::string::npos) << console;
  const ScriptCase cases[] = {
      {"return (playlists.default.UnregisterCallback(\"ITEMSADDED\", \"whatever\"));",
       "unregistered"},
      {"return (playlists.default.UnregisterCallback(\"\", \"\"));", "unregistered"},
      {"return (playlists.default.UnregisterCallback(\"NeverBound\", \"\"));", "unregistered"},
      {"return (playlists.default.RegisterCallback());",
       "!RegisterCallback: Invalid Parameters. See Help()"},
  };
  CheckCases(harness_, cases);
  const std::string after = Settle("playlists.default.AddItem(\"/m/b.wav\");");
  EXPECT_EQ(after.find("exact\n", console.size()), std::string::npos) << after;
  EXPECT_EQ(after.find("any ItemsAdded\n", console.size()), std::string::npos) << after;
}

TEST_F(CallbacksTest, ABindingRunsOnTheRegisteringScriptsObjectOrTheOneNamed) {
  const std::string console = Settle(
      "playlists.default.RegisterCallback(\"ItemsAdded\", \"console.write(\\\"on \\\" |"
      " this._Name());\");"
      "playlists.default.RegisterCallback(\"ItemsAdded\", \"console.write(\\\"named \\\" |"
      " this._Name());\", playlists.default);"
      "playlists.default.AddItem(\"/m/a.wav\");");
  EXPECT_NE(console.find("on test\n"), std::string::npos) << console;
  EXPECT_NE(console.find("named default\n"), std::string::npos) << console;
}

TEST_F(CallbacksTest, AOneShotCallbackRemovesItselfSafely) {
  const std::string console = Settle(
      "test.once = \"console.write(\\\"once\\\"); playlists.default.UnregisterCallback("
      "\\\"ItemsAdded\\\", \\\"\\\");\";"
      "playlists.default.RegisterCallback(\"ItemsAdded\", \"once();\");"
      "playlists.default.RegisterCallback(\"ItemsAdded\", \"console.write(\\\"second\\\");\","
      " playlists.default);"
      "playlists.default.AddItem(\"/m/a.wav\"); playlists.default.AddItem(\"/m/b.wav\");");
  size_t onces = 0;
  for (size_t at = console.find("once\n"); at != std::string::npos;
       at = console.find("once\n", at + 1))
    ++onces;
  EXPECT_EQ(onces, 1u) << console;
  // The other binding (on another object) stays and runs for both additions.
  EXPECT_NE(console.find("second\n", console.find("second\n") + 1), std::string::npos) << console;
}

}  // namespace
}  // namespace vk2::test

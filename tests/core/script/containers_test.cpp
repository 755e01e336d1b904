// `players` and `playlists`: adding, removing, renaming, listing, temporary names and merging,
// with the children following the core's managers and the containers' own events.
#include <gtest/gtest.h>

#include "tests/core/script/support/script_case.h"
#include "tests/core/script/support/script_harness.h"

namespace vk2::test {
namespace {

class ContainersTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(harness_.Start()) << harness_.Error(); }
  ScriptHarness harness_;
};

TEST_F(ContainersTest, PlaylistsAreAddedRemovedRenamedAndListed) {
  const ScriptCase cases[] = {
      {"return (playlists.GetPlaylistList());", ""},
      {"return (playlists.GetPlaylistList(1));",
       "!GetPlaylistList: Invalid Parameters. See Help()"},
      // A call without its required argument never makes a playlist named "".
      {"return (playlists.AddPlaylist());", "!AddPlaylist: Invalid Parameters. See Help()"},
      {"return (playlists.AddPlaylist(\"one\"));", "done"},
      {"return (playlists.AddPlaylist(\"two\"));", "done"},
      {"return (playlists.GetPlaylistList());", "{one, two}"},
      {"return (playlists.one._Name() | playlists.two._ObjectName());",
       "oneScript Playlist Object"},
      {"return (playlists.AddPlaylist(\"ONE\"));",
       "!AddPlaylist: Core::Player or Playlist::Manipilate failed - the item is already present"},
      // The container finds the child under its new name only.
      {"return (playlists.RenamePlaylist(\"one\", \"first\"));", "renamed"},
      {"return (playlists.first._Name() | playlists.DoesChildExist(\"one\"));", "first0"},
      {"return (playlists.RenamePlaylist(\"nothing\", \"x\"));",
       "!RenamePlaylist: Core::Player/Playlist::Rename failed - the item was not found"},
      {"return (playlists.RemovePlaylist(\"two\"));", "done"},
      {"return (playlists.DoesChildExist(\"two\"));", "0"},
      {"return (playlists.GetPlaylistList());", "{first}"},
      {"return (playlists.RemovePlaylist(\"two\"));",
       "!RemovePlaylist: Core::Player or Playlist::Manipilate failed - the item was not found"},
  };
  CheckCases(harness_, cases);
}

TEST_F(ContainersTest, TemporaryNamesAreFreshAndReachable) {
  const std::string name = harness_.Answer("return (playlists.MakeTempPlaylist(\"scratch\"));");
  ASSERT_EQ(name.rfind("scratch_", 0), 0u) << name;
  EXPECT_EQ(name.size(), std::string("scratch_").size() + 8) << name;
  EXPECT_EQ(harness_.Answer("return (playlists." + name + "._Name());"), name);
  const std::string player = harness_.Answer("return (players.MakeTempPlayer(\"p\"));");
  ASSERT_EQ(player.rfind("p_", 0), 0u) << player;
  EXPECT_EQ(harness_.Answer("return (players.GetPlayerList());"), "{" + player + "}");
  EXPECT_EQ(harness_.Answer("return (players.MakeTempPlayer());"),
            "!MakeTempPlayer: Invalid Parameters. See Help()");
}

TEST_F(ContainersTest, CombiningAppendsOrReplacesAndAPlaylistMayBeCombinedWithItself) {
  const ScriptCase cases[] = {
      {"playlists.AddPlaylist(\"a\"); playlists.AddPlaylist(\"b\");"
       "playlists.a.AddItems({\"/m/1.wav\", \"/m/2.wav\"}); playlists.b.AddItem(\"/m/3.wav\");"
       "return (playlists.CombinePlaylists(\"b\", \"a\"));",
       "combined"},
      {"return (playlists.b.GetCount() | playlists.a.GetCount());", "32"},
      {"return (playlists.CombinePlaylists(\"b\", \"a\", 0));", "combined"},
      {"return (playlists.b.GetCount());", "2"},
      {"return (playlists.CombinePlaylists(\"a\", \"a\", 0));", "combined"},
      {"return (playlists.a.GetCount());", "2"},
      {"return (playlists.CombinePlaylists(\"a\", \"a\"));", "combined"},
      {"return (playlists.a.GetCount());", "4"},
      {"return (playlists.CombinePlaylists(\"a\", \"missing\"));",
       "!CombinePlaylists: the item was not found"},
      {"return (playlists.CombinePlaylists(\"a\"));",
       "!CombinePlaylists: Invalid Parameters. See Help()"},
      {"return (playlists.SetIdleScan(\"QUICK\", 0));", "set"},
      {"return (playlists.SetIdleScan(\"never\", 0));",
       "!SetIdleScan: Valid idle scan types are 'none', 'quick' or 'thorough'."},
  };
  CheckCases(harness_, cases);
}

TEST_F(ContainersTest, ContainerEventsReachTheirCallbacksWithTheirParameters) {
  // A binding's script runs with the event's "params": its name, then its parameter.
  harness_.Run(
      "$seen = \"console.write($params[0] | \\\":\\\" | $params[1]);\";"
      "playlists.RegisterCallback(\"Added\", $seen); playlists.RegisterCallback(\"Removed\", "
      "$seen);"
      "playlists.RegisterCallback(\"Renamed\", \"console.write(\\\"renamed:\\\" |"
      " $params[1][\\\"oldname\\\"] | \\\">\\\" | $params[1][\\\"newname\\\"]);\");"
      "playlists.AddPlaylist(\"x\"); playlists.RenamePlaylist(\"x\", \"y\");"
      "playlists.RemovePlaylist(\"y\");");
  ASSERT_TRUE(harness_.WaitForConsole("Removed:y", 1, 5000)) << harness_.Console();
  const std::string console = harness_.Console();
  const size_t added = console.find("Added:x\n");
  const size_t renamed = console.find("renamed:x>y\n");
  const size_t removed = console.find("Removed:y\n");
  EXPECT_NE(added, std::string::npos) << console;
  EXPECT_LT(added, renamed) << console;
  EXPECT_LT(renamed, removed) << console;
}

TEST_F(ContainersTest, PlayersGetTheirScriptObjectWithSettings) {
  const ScriptCase cases[] = {
      {"return (players.AddPlayer(\"default\"));", "done"},
      {"return (players.default._ObjectName() | \"/\" | players.default.settings._ObjectName());",
       "Script Player Object/Script Player Settings Object"},
      {"return (players.RenamePlayer(\"default\", \"main\"));", "renamed"},
      {"return (players.main.GetVolume() != \"\");", "1"},
      {"return (players.RemovePlayer(\"main\"));", "done"},
      {"return (players.GetPlayerList());", ""},
  };
  CheckCases(harness_, cases);
}

}  // namespace
}  // namespace vk2::test

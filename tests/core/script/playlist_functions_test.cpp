// The playlist functions, as scripts call them on `playlists.default`: results, failures and
// their messages, as tables of script texts and answers.
#include <gtest/gtest.h>

#include <string>

#include "tests/core/script/support/script_case.h"
#include "tests/core/script/support/script_harness.h"

namespace vk2::test {
namespace {

// A playlist "default" of three items: $a "/m/a.wav" (title, author, duration, a token), $b
// "/m/b.wav" (a title) and $c "/m/c.wav" (the URL only). Their ids are kept in test.a, test.b
// and test.c.
class PlaylistFunctionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(harness_.Start()) << harness_.Error();
    ASSERT_EQ(harness_.Answer(
                  // No idle scan: it would change the items' revisions under the tests.
                  "playlists.SetIdleScan(\"none\", 0);"
                  "playlists.AddPlaylist(\"default\"); $p = playlists.default;"
                  "test.a = $p.AddItem({url: \"/m/a.wav\", title: \"Alpha\", author: \"Zed\","
                  " duration: \"10\", duration_type: \"duration_verified\", genre: \"rock\"});"
                  "test.b = $p.AddItem({url: \"/m/b.wav\", title: \"Beta\", genre: \"pop\"});"
                  "test.c = $p.AddItem(\"/m/c.wav\");"
                  "return ($p.GetCount());"),
              "3");
  }
  ScriptHarness harness_;
};

TEST_F(PlaylistFunctionsTest, ItemsAreAddedWhereAskedAndIdsPrintInTheFormattersHexForm) {
  const ScriptCase cases[] = {
      // "%#08x": the prefix does not count toward the width.
      {"return (test.a);", "0x00000001"},
      {"$p = playlists.default; $t = $p.AddItem(\"/m/top.wav\", \"TOP\");"
       "return ($p.GetUIDAtIndex(0) == $t);",
       "1"},
      {"$p = playlists.default; $n = $p.AddItem(\"/m/after-a.wav\", test.a);"
       "return ($p.GetUIDIndex($n));",
       "2"},
      {"$p = playlists.default; $n = $p.AddItem(\"/m/end.wav\", \"bottom\");"
       "return ($p.GetUIDAtIndex(\"-1\") == $n);",
       "1"},
      {"return (playlists.default.AddItem(\"/m/x.wav\", \"sideways\"));",
       "!AddItem: unrecognised ID format"},
      {"$ids = playlists.default.AddItems({\"/m/e.wav\", \"/m/f.wav\", {url: \"/m/g.wav\"}}, "
       "\"top\");"
       "return ({$ids.ArraySize(), $ids[0] != $ids[1], $ids[1] != $ids[2],"
       " playlists.default.GetUIDAtIndex(2) == $ids[2], playlists.default.GetCount()});",
       "{3, 1, 1, 1, 9}"},
      {"return (playlists.default.AddItems(\"/m/h.wav\"));",
       "!AddItems: Invalid Parameters. See Help()"},
      {"return (playlists.default.AddItems({\"/m/h.wav\"}, \"sideways\"));",
       "!AddItems: Invalid Parameters. See Help()"},
  };
  CheckCases(harness_, cases);
  // A structure without a URL refuses the whole call: nothing is added.
  const std::string refused =
      harness_.Answer("return (playlists.default.AddItems({\"/m/i.wav\", {title: \"no url\"}}));");
  EXPECT_EQ(refused.rfind("!AddItems: ", 0), 0u) << refused;
  EXPECT_EQ(harness_.Answer("return (playlists.default.GetCount());"), "9");
}

TEST_F(PlaylistFunctionsTest, ItemStructuresReadBackWithTheirFields) {
  const ScriptCase cases[] = {
      {"return (playlists.default.GetUIDInfo(test.a));",
       "{uid: 1, url: /m/a.wav, title: Alpha, author: Zed, duration: 10, "
       "duration_type: duration_verified, genre: rock}"},
      {"return (playlists.default.GetUIDInfo(test.c));", "{uid: 3, url: /m/c.wav}"},
      {"return (playlists.default.GetUIDInfo({test.b, test.c}));",
       "{{uid: 2, url: /m/b.wav, title: Beta, genre: pop}, {uid: 3, url: /m/c.wav}}"},
      {"return (playlists.default.GetUIDInfo(\"0x99\"));",
       "!GetUIDInfo: 0x99 -- no such entry in playlist"},
      {"return (playlists.default.GetUIDInfo({test.a, \"x\"}));",
       "!GetUIDInfo: Invalid Parameters. See Help()"},
      // Names and kind names in any case; a later token of the same name (any case) wins;
      // an array member and an unreadable duration are skipped; "0x10" reads as 16.
      {"$n = playlists.default.AddItem({URL: \"/m/d.wav\", Title: \"T\", Duration: \"0x10\","
       " Duration_Type: \"DURATION_INFINITE\", mood: \"calm\", MOOD: \"wild\", author: {1, 2}});"
       "return (playlists.default.GetUIDInfo($n));",
       "{uid: 4, url: /m/d.wav, title: T, duration: 16, duration_type: duration_infinite, "
       "MOOD: wild}"},
      {"$n = playlists.default.AddItem({url: \"/m/e.wav\", duration: \"soon\", duration_type: "
       "\"x\"});"
       "return (playlists.default.GetUIDInfo($n));",
       "{uid: 5, url: /m/e.wav}"},
      {"return (playlists.default.GetTokenList());",
       "{{name: MOOD, count: 1}, {name: genre, count: 2}}"},
  };
  CheckCases(harness_, cases);
}

TEST_F(PlaylistFunctionsTest, RemovingAndMovingTakeOneIdOrAnArray) {
  const ScriptCase cases[] = {
      {"return (playlists.default.RemoveItems({test.a, \"junk\"}));",
       "!RemoveItems: Invalid Parameters. See Help()"},
      {"return (playlists.default.GetCount());", "3"},
      {"return (playlists.default.MoveItem(test.a, test.c));", "moved"},
      {"$l = playlists.default.GetCurrentList(); return ($l[\"ids\"]);",
       "{0x00000002, 0x00000003, 0x00000001}"},
      {"return (playlists.default.MoveItems({test.c, test.a}, 0));", "moved"},
      {"$l = playlists.default.GetCurrentList(); return ($l[\"ids\"]);",
       "{0x00000003, 0x00000001, 0x00000002}"},
      {"return (playlists.default.MoveItems(test.a, {1}));",
       "!MoveItems: Invalid Parameters. See Help()"},
      {"return (playlists.default.RemoveItems(test.b));", "removed"},
      {"return (playlists.default.RemoveItems({test.a, test.c}));", "removed"},
      {"return (playlists.default.GetCount());", "0"},
      {"playlists.default.AddItem(\"/m/z.wav\"); return (playlists.default.RemoveAll());",
       "removed"},
      {"return (playlists.default.RemoveAll(1));", "!RemoveAll: Invalid Parameters. See Help()"},
      {"return (playlists.default.GetCurrentList());", "{ids: , version: 9}"},
  };
  CheckCases(harness_, cases);
}

TEST_F(PlaylistFunctionsTest, OrderNavigationAndSorting) {
  const ScriptCase cases[] = {
      {"return (playlists.default.GetFirstUID(0));", "0x00000001"},
      {"return (playlists.default.GetNextUID(test.a, \"false\"));", "0x00000002"},
      {"return (playlists.default.GetPrevUID(test.a, 0));", "0x00000000"},
      {"return (playlists.default.GetFirstUID());", "!GetFirstUID: Invalid Parameters. See Help()"},
      // An item without a title sorts by its file name ("c.wav").
      {"return (playlists.default.Sort(\"Title\", \"Reverse\"));", "sorted"},
      {"$l = playlists.default.GetCurrentList(); return ($l[\"ids\"]);",
       "{0x00000003, 0x00000002, 0x00000001}"},
      {"return (playlists.default.Sort(\"genre\", \"FORWARDS\"));", "sorted"},
      {"$p = playlists.default; return ($p.GetUIDIndex(test.b) < $p.GetUIDIndex(test.a));", "1"},
      {"return (playlists.default.Sort(\"title\", \"upwards\"));",
       "!Sort: upwards -- unknown sort direction"},
      {"return (playlists.default.Sort(\"title\"));", "!Sort: Invalid Parameters. See Help()"},
      {"return (playlists.default.Sort());", "!Sort: Invalid Parameters. See Help()"},
      {"return (playlists.default.Reverse());", "reversed"},
      {"return (playlists.default.RandomizeList());", "randomized"},
      {"return (playlists.default.Reshuffle());", "reshuffled"},
      {"return (playlists.default.GetCount());", "3"},
  };
  CheckCases(harness_, cases);
}

TEST_F(PlaylistFunctionsTest, QueriesAndTheirBenignFailures) {
  const ScriptCase cases[] = {
      {"return (playlists.default.GetCount());", "3"},
      {"return (playlists.default.GetUIDIndex(test.c));", "2"},
      {"return (playlists.default.GetUIDAtIndex(1));", "0x00000002"},
      {"return (playlists.default.GetUIDAtIndex(\"0x1\"));", "0x00000002"},
      // Out of range and an unknown URL are "not found": an empty answer, no report.
      {"return (playlists.default.GetUIDAtIndex(7));", ""},
      {"return (playlists.default.GetUIDForURL(\"/m/nowhere.wav\"));", ""},
      {"return (playlists.default.GetUIDForURL(\"/m/b.wav\"));", "0x00000002"},
      {"return (playlists.default.GetUIDAtIndex(\"seven\"));",
       "!GetUIDAtIndex: Invalid Parameters. See Help()"},
      {"return (playlists.default.GetTotalPlayTime());", "{time: 30, type: duration_estimate}"},
      {"return (playlists.default.GetSongAtTime(5));",
       "{uid: 1, url: /m/a.wav, title: Alpha, author: Zed, duration: 10, "
       "duration_type: duration_verified, genre: rock}"},
      {"return (playlists.default.GetSongAtTime(\"soon\"));",
       "!GetSongAtTime: Invalid Parameters. See Help()"},
      {"return (playlists.default.GetCurrentVersion() > 0);", "1"},
      {"$v = playlists.default.GetCurrentVersion(); return (playlists.default.GetChangeList($v));",
       "{ids: , version: 3, order_changed: false}"},
      {"$l = playlists.default.GetChangeList(0); return ($l[\"ids\"].ArraySize());", "3"},
      {"return (playlists.default.CurrentlyIdleScanning());", "false"},
      {"return (playlists.default.SetIdleScan(\"Thorough\", 0));", "set"},
      {"return (playlists.default.SetIdleScan(\"none\", 0));", "set"},
      {"return (playlists.default.SetIdleScan(\"often\", 0));",
       "!SetIdleScan: Valid idle scan types are 'none', 'quick' or 'thorough'."},
      {"return (playlists.default.SetIdleScan());", "!SetIdleScan: Invalid Parameters. See Help()"},
      {"return (playlists.default.StopIdleScan());", ""},
  };
  CheckCases(harness_, cases);
}

TEST_F(PlaylistFunctionsTest, LocksAreKeyedPerHolder) {
  const ScriptCase cases[] = {
      {"test.key = playlists.default.Lock(); return (test.key != \"\");", "1"},
      {"return (playlists.default.UpdateLock(test.key));", "updated"},
      {"return (playlists.default.Unlock(test.key));", "unlocked"},
      {"return (playlists.default.Unlock());", "!Unlock: Invalid Parameters. See Help()"},
      {"return (playlists.default.Lock(1));", "!Lock: Invalid Parameters. See Help()"},
  };
  CheckCases(harness_, cases);
  const std::string stale = harness_.Answer("return (playlists.default.UpdateLock(\"0x77\"));");
  EXPECT_EQ(stale.rfind("!UpdateLock: ", 0), 0u) << stale;
}

}  // namespace
}  // namespace vk2::test

// The `player` helper's display texts from templates, and the `prefs` object.
#include <gtest/gtest.h>

#include <string>

#include "tests/core/script/support/script_case.h"
#include "tests/core/script/support/script_harness.h"

namespace vk2::test {
namespace {

class HelperTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(harness_.Start()) << harness_.Error();
    ASSERT_EQ(harness_.Answer("playlists.SetIdleScan(\"none\", 0);"
                              "playlists.AddPlaylist(\"default\"); players.AddPlayer(\"default\");"
                              "playlists.default.AddItems({{url: \"/m/song.wav\", title: \"Song\","
                              " author: \"Band\", duration: \"75\", duration_type:"
                              " \"duration_verified\"}, {url: \"/m/other.wav\", duration: \"3600\","
                              " duration_type: \"duration_estimate\"}});"
                              "return (players.default.SetPlaylist(\"default\"));"),
              "set");
    // The player takes the playlist in on its own thread.
    ASSERT_TRUE(
        harness_.WaitForAnswer("return (players.default.GetPlaylistName());", "default", 5000));
  }
  ScriptHarness harness_;
};

TEST_F(HelperTest, TimeTemplatesCountAndWrapTheirUnits) {
  // Total time of the playlist: 3675 s, an estimate.
  const ScriptCase cases[] = {
      {"return (player.GetTotalTimeString(\"default\", \"%(Hours)|%(Minutes)|%(02%Minutes)|"
       "%(02%Seconds)|%(multiplehours)|%(Days)|%(estimate)|%(known)|%(totaltime)\"));",
       "1|61|01|15|0|0|1|1|0"},
      {"return (player.GetTotalTimeString(\"default\", \"%(%02Minutes)x\"));", "x"},
      {"return (player.GetTotalTimeString(\"default\", \"%(3Seconds)|%(03Seconds)\"));",
       "3675|3675"},
      {"return (player.GetTotalTimeString(\"default\", \"%(3%Seconds)\"));", " 15"},
      // The prefixes are read in the order zero, width, wrap: this names no field.
      {"return (player.GetTotalTimeString(\"default\", \"%(%3Seconds)\"));", ""},
      {"return (player.GetTotalTimeString());", "~1:01:15"},
      {"return (player.GetTotalTimeString(\"nowhere\"));",
       "!GetTotalTimeString: Unable to query playlist - the item was not found"},
      {"return (player.GetTotalTimeString(\"default\", \"%(Hours\"));",
       "!GetTotalTimeString: Unable to form total time display string - format invalid"},
  };
  CheckCases(harness_, cases);
}

TEST_F(HelperTest, TemplateSyntaxAndItsFaults) {
  const ScriptCase cases[] = {
      {"return (player.GetTotalTimeString(\"default\", \"a%{b%}c}d\"));", "a{b}c}d"},
      // Literal text right before a closing brace is dropped unless a tab ends it.
      {"return (player.GetTotalTimeString(\"default\", "
       "\"%?(known){yes}{no}|%?(known){yes\t}{no\t}\"));",
       "|yes"},
      {"return (player.GetTotalTimeString(\"default\", \"%?(infinite){inf\t}{fin\t}\"));", "fin"},
      {"return (player.GetTotalTimeString(\"default\", \"%?  (known) {ok\t}\"));", "ok"},
      {"return (player.GetTotalTimeString(\"default\", \"%x\"));",
       "!GetTotalTimeString: Unable to form total time display string - format invalid"},
      {"return (player.GetTotalTimeString(\"default\", \"%?(known)yes\"));",
       "!GetTotalTimeString: Unable to form total time display string - format invalid"},
      {"return (player.GetTotalTimeString(\"default\", \"%?(known){open\"));",
       "!GetTotalTimeString: Unable to form total time display string - format invalid"},
  };
  CheckCases(harness_, cases);
}

TEST_F(HelperTest, SongTemplatesDescribeTheCurrentItem) {
  const ScriptCase cases[] = {
      // Stopped on the first item: the default shows author and title.
      {"return (player.GetDisplayString());", "Playing: Band / Song"},
      {"return (player.GetDisplayString(\"%(time)|%(Time)|%(length)|%(Length)|%(index)|"
       "%(Index)|%(number)|%(state)|%(State)|%(filename)|%(path)|%(url)|%(name)|%(method)\"));",
       "<stopped>|<stopped>|01:15|1m15s|0|0|2|stopped|Stopped|song.wav|/m/song.wav|/m/song.wav|"
       "song.wav|playing"},
      {"return (player.GetDisplayString(\"default\", \"%(title) by %(author)\"));", "Song by Band"},
      {"return (player.GetDisplayString(\"nobody\", \"%(title)\"));",
       "!GetDisplayString: Unable to query player - the item was not found"},
      {"return (player.GetDisplayString(\"%(title\"));",
       "!GetDisplayString: Unable to form song display string - format invalid"},
      {"return (player.GetTrackString());", "001"},
      {"return (player.GetTimeString(\"%(02Minutes):%(02%Seconds)\", \"totaltime\"));", "00:00"},
      {"return (player.DefaultTimeFormat != \"\");", "1"},
  };
  CheckCases(harness_, cases);
}

TEST(PrefsTest, StringsAreStoredReadAndPreparedBySection) {
  ScriptHarness harness;
  ASSERT_TRUE(harness.Start()) << harness.Error();
  const ScriptCase cases[] = {
      {"return (prefs.GetString(\"NoSuchSection\", \"x\"));",
       "!GetString: preferences branch requested doesn't exist"},
      {"return (prefs.CreateSection(\"Skin/Options\"));", "created"},
      {"return (prefs.GetString(\"Skin/Options\", \"colour\"));", ""},
      {"return (prefs.SetString(\"Skin/Options\", \"colour\", \"blue\"));", "set"},
      {"return (prefs.GetString(\"skin/options\", \"COLOUR\"));", "blue"},
      {"return (prefs.PrepString(\"Skin/Options\", \"size\", \"large\"));", "set"},
      {"return (prefs.PrepString(\"Skin/Options\", \"size\", \"small\"));", ""},
      {"return (prefs.GetString(\"Skin/Options\", \"size\"));", "large"},
      {"return (prefs.SetString(\"Skin/Options\", \"x\"));",
       "!SetString: Invalid Parameters. See Help()"},
      {"return (prefs.SetString());", "!SetString: Invalid Parameters. See Help()"},
      {"return (prefs.Save(1));", "!Save: Invalid Parameters. See Help()"},
      {"return (prefs.Save());", "saved"},
  };
  CheckCases(harness, cases);
}

}  // namespace
}  // namespace vk2::test

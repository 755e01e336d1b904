// The player functions, the `settings` objects under a player and the device lists of
// `players`, as scripts call them; the player plays into the capture device.
#include <gtest/gtest.h>

#include <string>

#include "tests/core/script/support/script_case.h"
#include "tests/core/script/support/script_harness.h"

namespace vk2::test {
namespace {

// A player "default" over a playlist "default" of two short tones.
class PlayerFunctionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(harness_.Start()) << harness_.Error();
    a_ = "file://" + harness_.MakeTone("a.wav", 440, 0.4);
    const std::string& a = a_;
    const std::string b = "file://" + harness_.MakeTone("b.wav", 660, 0.4);
    ASSERT_EQ(harness_.Answer("playlists.SetIdleScan(\"none\", 0);"
                              "playlists.AddPlaylist(\"default\"); players.AddPlayer(\"default\");"
                              "playlists.default.AddItems({\"" +
                              a + "\", \"" + b +
                              "\"});"
                              "return (players.default.SetPlaylist(\"default\"));"),
              "set");
    // The player takes the playlist in on its own thread.
    ASSERT_TRUE(
        harness_.WaitForAnswer("return (players.default.GetPlaylistName());", "default", 5000));
  }
  ScriptHarness harness_;
  std::string a_;
};

TEST_F(PlayerFunctionsTest, OptionsAreReadAndSetAsTexts) {
  const std::string info =
      "{info: {uid: 1, url: " + a_ +
      "}, playstate: {state: stopped, shuffled: false, repeat: all}, cursongid: 0x00000001, "
      "numsongs: 2, cursongindex: 0, curplaytime: 0}";
  const ScriptCase cases[] = {
      {"return (players.default.GetShuffle());", "false"},
      {"return (players.default.SetShuffle(\"true\"));", "set"},
      {"return (players.default.GetShuffle());", "true"},
      {"return (players.default.ToggleShuffle());", ""},
      {"return (players.default.GetShuffle());", "false"},
      {"return (players.default.SetShuffle());", "!SetShuffle: Invalid Parameters. See Help()"},
      {"return (players.default.SetRepeat(\"ALL\"));", "set"},
      {"return (players.default.GetRepeat());", "all"},
      {"players.default.ToggleRepeat(); return (players.default.GetRepeat());", "one"},
      {"players.default.ToggleRepeat(); return (players.default.GetRepeat());", "off"},
      {"players.default.ToggleRepeat(); return (players.default.GetRepeat());", "all"},
      {"return (players.default.SetRepeat(\"twice\"));",
       "!SetRepeat: twice -- unrecognised repeat format"},
      {"return (players.default.SetVolume(65536));", "set"},
      // The player takes the number as it is and keeps its gain at most 1.
      {"return (players.default.GetVolume());", "1"},
      {"return (players.default.SetVolume(65536.5));",
       "!SetVolume: Invalid Parameters. See Help()"},
      {"return (players.default.SetVolume(-0.1));", "!SetVolume: Invalid Parameters. See Help()"},
      // Not-a-number passes every range test; it is refused as no number at all.
      {"return (players.default.SetVolume(\"nan\"));",
       "!SetVolume: Invalid Parameters. See Help()"},
      {"return (players.default.SetVolume(\"1e999\"));",
       "!SetVolume: Invalid Parameters. See Help()"},
      {"return (players.default.SetVolume(\"0.25\"));", "set"},
      {"return (players.default.GetVolume());", "0.25"},
      {"return (players.default.SetPlaybackMethod(\"normal\", 2));",
       "!SetPlaybackMethod: Invalid Parameters. See Help()"},
      {"return (players.default.SetPlaybackMethod(\"Crossfade\", \"x\"));",
       "!SetPlaybackMethod: Transition time is not a valid floating point value."},
      {"return (players.default.SetPlaybackMethod(\"fast\"));",
       "!SetPlaybackMethod: Invalid playback method. Must be 'normal', 'seamless' or "
       "'crossfade'."},
      {"return (players.default.SetPlaybackMethod(\"CROSSFADE\", 3));", "set"},
      {"return (players.default.GetPlaybackMethod());", "{method: crossfade, transitiontime: 3}"},
      {"return (players.default.SetPlaybackMethod(\"normal\"));", "set"},
      {"return (players.default.GetPlaylistName());", "default"},
      {"return (players.default.SetPlaylist(\"elsewhere\"));",
       "!SetPlaylist: elsewhere -- playlist not found"},
      {"$uid = players.default.GetPlaylist(); return ($uid._Name() | $uid._ObjectName());",
       "defaultScript Playlist Object"},
      {"return (players.default.GetInfo());", info.c_str()},
      // A player without a playlist cannot tell: the player's text is reported.
      {"players.AddPlayer(\"idle\"); return (players.idle.GetInfo());",
       "!GetInfo: no playlist has been selected to play files from"},
      {"return (players.default.Play(1));", "!Play: Invalid Parameters. See Help()"},
      {"return (players.default.SeekToUID(\"26\", 3));",
       "!SeekToUID: Invalid Parameters. See Help()"},
      {"return (players.default.SeekToTime(\"soon\"));",
       "!SeekToTime: Invalid Parameters. See Help()"},
      {"return (players.default.Scan(\"far\"));", "!Scan: Invalid Parameters. See Help()"},
      {"return (players.default.Scan());", "!Scan: Invalid Parameters. See Help()"},
      // Pausing a stopped player is no failure: the answer is just empty.
      {"return (players.default.Pause());", ""},
      {"return (players.default.SendFilterMessage(\"EqualizerReloadSettings\"));", "sent"},
  };
  CheckCases(harness_, cases);
}

TEST_F(PlayerFunctionsTest, TransportCommandsPlayThePlaylistAndEventsFollow) {
  harness_.Run(
      "players.default.RegisterCallback(\"\", \"console.write(\\\"event \\\" | $params[0]);\");");
  const ScriptCase cases[] = {
      {"return (players.default.Play());", "Playing"},
  };
  CheckCases(harness_, cases);
  ASSERT_TRUE(harness_.WaitForConsole("event SongStarted", 1, 10000)) << harness_.Console();
  const ScriptCase playing[] = {
      {"$i = players.default.GetInfo(); $s = $i[\"playstate\"]; $n = $i[\"info\"];"
       "return ($s[\"state\"] | \" \" | $i[\"cursongid\"] | \" \" | $n[\"uid\"]);",
       "playing 0x00000001 1"},
      {"return (players.default.Pause());", "Paused"},
      {"return (players.default.TogglePause());", "PauseToggled"},
      {"return (players.default.SeekTo(\"0x2\", 0.1));", "Seeked"},
      {"return (players.default.SeekToIndex(0));", "Seeked"},
      {"return (players.default.Next());", "Next"},
      {"return (players.default.Stop());", "Stopped"},
  };
  CheckCases(harness_, playing);
  ASSERT_TRUE(harness_.WaitForConsole("event Stopping", 1, 10000)) << harness_.Console();
  const std::string console = harness_.Console();
  const size_t playingAt = console.find("event Playing");
  EXPECT_NE(playingAt, std::string::npos) << console;
  EXPECT_LT(playingAt, console.find("event Pausing")) << console;
  EXPECT_LT(console.find("event Pausing"), console.find("event Stopping")) << console;
}

TEST_F(PlayerFunctionsTest, AFailedPlayCarriesItsTextAndVolumeChangesAreAnnounced) {
  harness_.Run(
      "playlists.default.RemoveAll(); playlists.default.AddItem(\"file:///no/such/file.wav\");"
      "players.default.RegisterCallback(\"PlayFailed\", \"console.write(\\\"failed: \\\" | "
      "$params[1]);\");"
      "players.default.RegisterCallback(\"VolumeChanged\", \"console.write(\\\"volume \\\" | "
      "$params.ArraySize());\");"
      "players.default.Play(); players.default.SetVolume(0.5);");
  EXPECT_TRUE(harness_.WaitForConsole("failed: ", 1, 10000)) << harness_.Console();
  // VolumeChanged carries no parameter: the params hold only the event's name.
  EXPECT_TRUE(harness_.WaitForConsole("volume 1", 1, 10000)) << harness_.Console();
}

TEST_F(PlayerFunctionsTest, SettingsReachTheModulesThroughThePlayer) {
  const ScriptCase cases[] = {
      {"return (players.default.settings.Children());",
       "{DirectSoundOutput, FileReader, URLReader, waveOutOutput}"},
      {"return (players.default.settings.FileReader.Get(\"readbuffersize\"));", "262144"},
      // A double property reads with six decimals.
      {"return (players.default.settings.FileReader.Get(\"warmuptime\"));", "1.000000"},
      {"return (players.default.settings.FileReader.Get(\"nosuchthing\"));", ""},
      {"return (players.default.settings.FileReader.Set(\"readbuffersize\", \"0x20000\"));", "set"},
      {"return (players.default.settings.FileReader.Get(\"readbuffersize\"));", "131072"},
      {"return (players.default.settings.FileReader.Set(\"readbufferenabled\", \"abc\"));",
       "!Set: the item was not found"},
      {"return (players.default.settings.FileReader.Set(\"x\"));",
       "!Set: Invalid Parameters. See Help()"},
      {"return (players.default.settings.FileReader.Get());",
       "!Get: Invalid Parameters. See Help()"},
  };
  CheckCases(harness_, cases);
  // The value lives on in the player's preferences: a new chain (a new player of the same
  // name) reads it back.
  const ScriptCase renewed[] = {
      {"players.RemovePlayer(\"default\"); players.AddPlayer(\"default\");"
       "return (players.default.settings.FileReader.Get(\"readbuffersize\"));",
       "131072"},
  };
  CheckCases(harness_, renewed);
}

TEST_F(PlayerFunctionsTest, DeviceListsNameTheRegisteredModules) {
  const ScriptCase cases[] = {
      {"return (players.GetEndpointList());",
       "{{name: DirectSoundOutput, description: DirectSound Audio Output, factoryID: "
       "94CCB337-B143-4834-A22F-5A100F550F2A}, {name: waveOutOutput, description: Windows WaveOut "
       "Audio Output, factoryID: BE905AEB-B5A3-4EA2-89B0-4F0A0E3BB7AB}}"},
      {"return (players.GetEndpointList(1));", "!GetEndpointList: Invalid Parameters. See Help()"},
      {"return (players.GetStreamList());",
       "{{name: FileReader, description: Disk File Reader, factoryID: "
       "2BF9497E-9238-4B96-B7D7-725ACD6E39DD}, {name: URLReader, description: Internet Stream "
       "Reader, factoryID: 1E6627A0-75F2-4F84-89FD-3135086AF536}}"},
      {"return (players.GetFilterList());",
       "{{name: ACMWAVDecoder, description: Windows ACM WAV Decoder, factoryID: "
       "85D3889F-B76C-4088-9A5F-A86D4CC5BF0B}}"},
      {"return (players.GetDSPList());", "!GetDSPList: No DSPs found"},
      {"return (players.SelectDefaultEndpoint(\"WAVEOUTOUTPUT\"));", "set"},
      {"return (players.QueryDefaultEndpoint());", "waveOutOutput"},
      {"return (players.SelectDefaultEndpoint(\"nowhere\"));",
       "!SelectDefaultEndpoint: Endpoint not found"},
      {"return (players.SelectDefaultEndpoint());",
       "!SelectDefaultEndpoint: Invalid Parameters. See Help()"},
  };
  CheckCases(harness_, cases);
}

}  // namespace
}  // namespace vk2::test

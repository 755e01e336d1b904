#include "audio/readers/cd/cd_url.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/text/tstring.h"

namespace vk2 {
namespace {

TEST(CdUrlTest, TrackAndDriveComeFromEitherForm) {
  struct Case {
    const char16_t* url;
    int32_t track;
    int32_t drive;
  };
  const Case cases[] = {
      {u"cdaudio://5", 5, -1},
      {u"CDAudio://12", 12, -1},
      {u"cdaudio://1/7", 7, 1},
      {u"cdaudio://0/3.2", 3, 0},
      {u"cdaudio://9.0", 9, -1},
      {u"file://D:\\Track05.cda", 5, 0},
      {u"FILE://e:\\music\\TRACK12.CDA", 12, 1},
      {u"file:///media/cd/Track03.cda", 3, -1},
      {u"file://00.cda", 0, -1},  // a track number no disc has: the open tells
  };
  for (const Case& c : cases) {
    CdTrackUrl url;
    EXPECT_TRUE(IsCdTrackUrl(c.url));
    ASSERT_TRUE(ParseCdTrackUrl(c.url, &url)) << Utf8(TString(c.url)).c_str();
    EXPECT_EQ(url.track, c.track) << Utf8(TString(c.url)).c_str();
    EXPECT_EQ(url.drive, c.drive) << Utf8(TString(c.url)).c_str();
  }
}

TEST(CdUrlTest, MissingOrMalformedNumbersAreRefused) {
  const char16_t* const claimedButBad[] = {
      u"cdaudio://",
      u"cdaudio://x",
      u"cdaudio://1/",
      u"cdaudio:///5",
      u"cdaudio://5.",
      u"cdaudio://5/6/7",
      u"cdaudio://5abc",
      u"cdaudio://-5",
      u"cdaudio://99999999999999999999",
      u"file://D:\\TrackAB.cda",
      u"file://D:\\Track5.cda",
      u"file://c:\\Track05.cda",
      u"file://.cda",
  };
  for (const char16_t* text : claimedButBad) {
    CdTrackUrl url;
    url.track = 42;
    EXPECT_FALSE(ParseCdTrackUrl(text, &url)) << Utf8(TString(text)).c_str();
    EXPECT_EQ(url.track, 42) << "a refused URL leaves the result alone";
  }
  const char16_t* const notCd[] = {u"file://D:\\a.wav", u"http://host/Track05.cda", u"cdaudio:/5",
                                   u"", u"file://D:\\Track05.cda.wav"};
  for (const char16_t* text : notCd) {
    CdTrackUrl url;
    EXPECT_FALSE(IsCdTrackUrl(text)) << Utf8(TString(text)).c_str();
    EXPECT_FALSE(ParseCdTrackUrl(text, &url)) << Utf8(TString(text)).c_str();
  }
  EXPECT_FALSE(IsCdTrackUrl(nullptr));
  EXPECT_FALSE(ParseCdTrackUrl(nullptr, nullptr));
}

TEST(CdUrlTest, DrivesArePickedFromTheListInOrder) {
  const std::vector<std::string> two = {"/dev/sr0", "/dev/sr1"};
  EXPECT_EQ(PickCdDrive({5, -1}, two), "/dev/sr0");
  EXPECT_EQ(PickCdDrive({5, 0}, two), "/dev/sr0");
  EXPECT_EQ(PickCdDrive({5, 1}, two), "/dev/sr1");
  EXPECT_EQ(PickCdDrive({5, 2}, two), "");
  EXPECT_EQ(PickCdDrive({5, -1}, {}), "");
}

}  // namespace
}  // namespace vk2

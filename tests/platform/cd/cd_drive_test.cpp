#include "platform/cd/cd_drive.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "platform/environment.h"
#include "tests/audio/support/cd_image.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace vk2 {
namespace {

using test::CdImage;
using test::MakeCdImage;

class CdImageDriveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Track 2 ends off any 8-sector block; track 3 is data.
    image_ = MakeCdImage(dir_, {{90}, {77}, {20, true}});
    ASSERT_FALSE(image_.cue.empty()) << "sox made no image";
    CdOpenStatus status = CdOpenStatus::kNoSuchDevice;
    drive_ = OpenCdioDrive(image_.cue, &status);
    ASSERT_TRUE(drive_);
    EXPECT_EQ(status, CdOpenStatus::kOk);
  }

  test::TempFolder dir_;
  CdImage image_;
  std::unique_ptr<CdDrive> drive_;
};

TEST_F(CdImageDriveTest, TableOfContentsGivesEveryTrackItsSectorsAndKind) {
  CdToc toc;
  ASSERT_TRUE(drive_->ReadToc(&toc));
  ASSERT_EQ(toc.tracks.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    const CdTrack* t = toc.Find(i + 1);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->firstSector, image_.firstSectors[i]) << "track " << i + 1;
    EXPECT_EQ(t->sectorCount, image_.sectorCounts[i]) << "track " << i + 1;
    EXPECT_EQ(t->audio, i < 2) << "track " << i + 1;
  }
  EXPECT_EQ(toc.Find(0), nullptr);
  EXPECT_EQ(toc.Find(4), nullptr);
}

TEST_F(CdImageDriveTest, AudioSectorsReadAsTheyLieOnTheDisc) {
  struct Range {
    int64_t first;
    uint32_t count;
  };
  // The first sector, a stretch across the boundary of tracks 1 and 2, the image's last.
  for (const Range r : {Range{0, 1}, Range{86, 8}, Range{160, 7}}) {
    std::vector<uint8_t> got(r.count * kCdSectorBytes);
    ASSERT_EQ(drive_->ReadAudio(r.first, r.count, got.data()), CdReadStatus::kOk);
    const auto from = image_.bytes.begin() + r.first * kCdSectorBytes;
    EXPECT_TRUE(std::equal(got.begin(), got.end(), from)) << "sector " << r.first;
  }
}

TEST_F(CdImageDriveTest, NonsenseRequestsFailWithoutTouchingTheDrive) {
  std::vector<uint8_t> buffer(kCdSectorBytes);
  EXPECT_EQ(drive_->ReadAudio(-1, 1, buffer.data()), CdReadStatus::kFailed);
  EXPECT_EQ(drive_->ReadAudio(0, 0, buffer.data()), CdReadStatus::kFailed);
}

TEST(CdDriveOpenTest, PathsThatAreNoDriveGiveClearReasons) {
  test::TempFolder dir;
  const std::string plain = dir.File("notes.txt");
  test::WriteFile(plain, {'h', 'i'});
  const std::string badCue = dir.File("bad.cue");
  test::WriteFile(badCue, {'n', 'o', 'n', 's', 'e', 'n', 's', 'e', '\n'});
  struct Case {
    std::string path;
    CdOpenStatus status;
  };
  const Case cases[] = {
      {"", CdOpenStatus::kNoSuchDevice},         {dir.File("cdrom"), CdOpenStatus::kNoSuchDevice},
      {"/dev/null", CdOpenStatus::kNotACdDrive},  // a device, but no CD drive
      {dir.Path(), CdOpenStatus::kNotACdDrive},  {plain, CdOpenStatus::kNotACdDrive},
      {badCue, CdOpenStatus::kNotACdDrive},
  };
  for (const Case& c : cases) {
    CdOpenStatus status = CdOpenStatus::kOk;
    EXPECT_EQ(OpenCdioDrive(c.path, &status), nullptr) << c.path;
    EXPECT_EQ(status, c.status) << c.path;
  }
  // A missing drive node as the system names it, where this machine has none.
  struct stat info {};
  if (stat("/dev/cdrom", &info) != 0) {
    CdOpenStatus status = CdOpenStatus::kOk;
    EXPECT_EQ(SystemCdCatalog()->Open("/dev/cdrom", &status), nullptr);
    EXPECT_EQ(status, CdOpenStatus::kNoSuchDevice);
  }
}

TEST(CdDriveOpenTest, SheetsThatPlaceATrackBeforeTheProgramAreaHoldNoDisc) {
  // No sector before the program area can be read, so such a table of contents is refused
  // rather than handed on with a negative first sector.
  test::TempFolder dir;
  test::WriteFile(dir.File("disc.bin"), std::vector<uint8_t>(8 * kCdSectorBytes, 1));
  const char* const sheets[] = {
      "FILE \"absent.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:-0\n",
      "FILE \"disc.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:-0\n",
      "FILE \"disc.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
      "  TRACK 02 AUDIO\n    INDEX 01 00:00:-5\n",
  };
  for (const char* sheet : sheets) {
    const std::string cue = dir.File("disc.cue");
    test::WriteFile(cue, std::vector<uint8_t>(sheet, sheet + std::strlen(sheet)));
    CdOpenStatus status = CdOpenStatus::kOk;
    EXPECT_EQ(OpenCdioDrive(cue, &status), nullptr) << sheet;
    EXPECT_EQ(status, CdOpenStatus::kNoDisc) << sheet;
  }
}

TEST(CdDriveOpenTest, EveryFailureHasItsOwnText) {
  std::set<std::string> texts;
  for (CdOpenStatus s : {CdOpenStatus::kOk, CdOpenStatus::kNoSuchDevice, CdOpenStatus::kNotACdDrive,
                         CdOpenStatus::kNoDisc}) {
    texts.insert(CdOpenStatusText(s));
  }
  EXPECT_EQ(texts.size(), 4u);
}

TEST(CdCatalogTest, TheEnvironmentNamesTheOneDrive) {
  const auto saved = GetEnv("VK2_CD_DEVICE");
  ASSERT_TRUE(SetEnv("VK2_CD_DEVICE", "/images/disc.cue"));
  EXPECT_EQ(SystemCdCatalog()->ListDrives(), std::vector<std::string>{"/images/disc.cue"});
  // Unset (or empty), the machine's own drives are listed: none are expected here, and none
  // may be invented.
  ASSERT_TRUE(SetEnv("VK2_CD_DEVICE", ""));
  for (const std::string& d : SystemCdCatalog()->ListDrives()) {
    EXPECT_NE(d, "/images/disc.cue");
  }
  if (saved) {
    SetEnv("VK2_CD_DEVICE", *saved);
  } else {
    UnsetEnv("VK2_CD_DEVICE");
  }
}

}  // namespace
}  // namespace vk2

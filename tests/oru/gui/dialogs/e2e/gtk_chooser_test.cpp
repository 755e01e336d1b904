#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "oru/gui/dialogs/dialogs.h"
#include "platform/environment.h"
#include "tests/support/private_display.h"
#include "tests/support/temp_folder.h"

namespace vk2::test {
namespace {

class GtkDialogsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { display_ = new PrivateDisplay; }
  static void TearDownTestSuite() {
    delete display_;
    display_ = nullptr;
  }
  void SetUp() override {
    ASSERT_TRUE(display_->Ready()) << "Xvfb did not start";
    savedDisplay_ = GetEnv("DISPLAY");
    savedQuiet_ = GetEnv("VK2_NONINTERACTIVE");
    SetEnv("DISPLAY", display_->Name());
    UnsetEnv("VK2_NONINTERACTIVE");
  }
  void TearDown() override {
    if (savedDisplay_) SetEnv("DISPLAY", *savedDisplay_);
    if (savedQuiet_) SetEnv("VK2_NONINTERACTIVE", *savedQuiet_);
  }

  // Waits for a visible window titled `title`, focuses it and runs the xdotool commands.
  std::thread Typist(const std::string& title, std::vector<std::string> commands) {
    return std::thread([this, title, commands] {
      std::string window;
      if (RunXTool(display_->Name(), "xdotool search --sync --onlyvisible --name '" + title + "'",
                   &window) != 0) {
        return;
      }
      window = window.substr(0, window.find('\n'));
      RunXTool(display_->Name(), "xdotool windowfocus --sync " + window, nullptr);
      typed_ = true;
      for (const std::string& command : commands) {
        typed_ = RunXTool(display_->Name(), "xdotool " + command, nullptr) == 0 && typed_;
      }
    });
  }

  static PrivateDisplay* display_;
  std::optional<std::string> savedDisplay_;
  std::optional<std::string> savedQuiet_;
  bool typed_ = false;
};

PrivateDisplay* GtkDialogsTest::display_ = nullptr;

TEST_F(GtkDialogsTest, APathTypedIntoTheChooserComesBackAsTheResult) {
  TempFolder folder;
  const std::string song = folder / "song one.mp3";
  std::ofstream(song) << "not really audio";
  std::ofstream(folder / "other.ogg") << "nor this";

  FileDialogRequest request;
  request.multiple = true;
  request.folder = Utf16(folder.Path());
  request.filters = {{u"All audio files", u"*.mp3;*.ogg"}, {u"Ogg Vorbis", u"*.ogg"}};
  request.filterIndex = 1;
  std::thread typist =
      Typist("Open Files", {"type --delay 30 '" + song + "'", "sleep 0.3", "key Return"});
  const FileDialogResult result = ShowFileDialog(request);
  typist.join();

  EXPECT_TRUE(typed_);
  ASSERT_EQ(result.paths.size(), 1u);
  EXPECT_EQ(Utf8(result.paths[0]).c_str(), song);
  EXPECT_EQ(result.filterIndex, 1);
}

TEST_F(GtkDialogsTest, EscapeCancelsTheChooser) {
  FileDialogRequest request;
  request.save = true;
  request.fileName = u"party.m3u";
  std::thread typist = Typist("Save File", {"key Escape"});
  const FileDialogResult result = ShowFileDialog(request);
  typist.join();
  EXPECT_TRUE(typed_);
  EXPECT_TRUE(result.paths.empty());
}

TEST_F(GtkDialogsTest, TheMessageDialogIsAnsweredByItsButton) {
  std::thread typist = Typist("Question", {"key Escape"});
  EXPECT_EQ(ShowMessageBox({u"Remove the files?", u"Question", kMessageBoxYesNo}), kAnswerNo);
  typist.join();
  typist = Typist("Notice", {"key Return"});
  EXPECT_EQ(ShowMessageBox({u"Done.", u"Notice", kMessageBoxOk}), kAnswerOk);
  typist.join();
  EXPECT_TRUE(typed_);
}

}  // namespace
}  // namespace vk2::test

// The console window's parts: colours and levels, the lines it shows, the command entry's script
// lines and what a command writes back, and repaints asked from logging threads.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "foundation/util/ref_ptr.h"
#include "gui/console_window/console_command.h"
#include "gui/console_window/console_levels.h"
#include "gui/console_window/console_lines.h"
#include "gui/console_window/console_watcher.h"
#include "oru/services/console.h"
#include "tests/gui/windows/window_test_text.h"
#include "tests/support/script_host.h"

namespace vk2::gui {
namespace {

// The runtime owns its console outright (its count does not end it).
std::unique_ptr<oru::ConsoleObject> NewConsole() {
  return std::make_unique<oru::ConsoleObject>(std::string());
}

// Entries from `from` on, as "level:text".
std::vector<std::string> EntriesFrom(MConsole* console, uint32_t from) {
  std::vector<std::string> out;
  uint32_t newest = 0;
  uint32_t count = 0;
  if (console->GetNewest(&newest, &count) != 0) return out;
  for (uint32_t i = from; i <= newest; ++i) {
    TString text;
    int32_t level = 0;
    if (console->GetEntry(&text, i, &level) == 0)
      out.push_back(std::to_string(level) + ":" + Text(text));
  }
  return out;
}

uint32_t NextIndex(MConsole* console) {
  uint32_t newest = 0;
  uint32_t count = 0;
  return console->GetNewest(&newest, &count) == 0 ? newest + 1 : 0;
}

TEST(ConsoleLevelsTest, ColoursAndSelectableLevels) {
  struct Case {
    int32_t level;
    uint32_t color;
    bool selectable;
  };
  const Case cases[] = {{1, 0xFFC0C0C0, true},  {2, 0xFFFFFFFF, true},  {3, 0xFFFFFFFF, false},
                        {4, 0xFF000000, false}, {5, 0xFFFFFFFF, false}, {6, 0xFFFFFF80, true},
                        {7, 0xFFFFC0C0, true},  {0, 0xFFFFFFFF, false}, {9, 0xFFFFFFFF, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.level);
    EXPECT_EQ(ConsoleLevelColor(c.level), c.color);
    EXPECT_EQ(IsSelectableConsoleLevel(c.level), c.selectable);
  }
  struct Name {
    const char16_t* text;
    int32_t level;  // 0: refused
  };
  const Name names[] = {{u"debug", 1}, {u"Info", 2}, {u"Warning", 6}, {u"ERROR", 7},
                        {u"fatal", 0}, {u"warn", 0}, {u"", 0},        {u" info", 0}};
  for (const Name& n : names) {
    SCOPED_TRACE(Text(TString(n.text)));
    int32_t level = -1;
    EXPECT_EQ(ParseConsoleLevelName(TString(n.text), &level), n.level != 0);
    EXPECT_EQ(level, n.level != 0 ? n.level : -1);
  }
}

TEST(ConsoleLinesTest, ShowsTheNewestLinesAtOrAboveTheLevelThatFit) {
  std::unique_ptr<oru::ConsoleObject> console = NewConsole();
  const int32_t levels[] = {7, 1, 2, 6, 1, 2, 7};
  for (size_t i = 0; i < std::size(levels); ++i)
    console->Write(levels[i], Utf16("line " + std::to_string(i)).c_str(), 1);
  const auto measure = [](const TString&) { return 10; };

  // "Warning": only warnings and errors, newest first, stacked up from the bottom.
  std::vector<ConsoleLine> lines = LayOutConsoleLines(console.get(), 6, 100, measure);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(Text(lines[0].text), "line 6");
  EXPECT_EQ(lines[0].top, 90);
  EXPECT_EQ(lines[0].color, 0xFFFFC0C0u);
  EXPECT_EQ(Text(lines[1].text), "line 3");
  EXPECT_EQ(lines[1].top, 80);
  EXPECT_EQ(lines[1].color, 0xFFFFFF80u);
  EXPECT_EQ(Text(lines[2].text), "line 0");

  // Room for two and a half lines: the third is cut at the top, nothing beyond it.
  lines = LayOutConsoleLines(console.get(), 1, 25, measure);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(Text(lines[2].text), "line 4");
  EXPECT_EQ(lines[2].top, -5);

  EXPECT_TRUE(LayOutConsoleLines(console.get(), 1, 0, measure).empty());
  EXPECT_TRUE(LayOutConsoleLines(NewConsole().get(), 1, 100, measure).empty());
  // Lines that measure nothing are passed over rather than piled up at one place.
  EXPECT_TRUE(LayOutConsoleLines(console.get(), 1, 100, [](const TString&) { return 0; }).empty());
}

TEST(ConsoleCommandTest, TypedLinesBecomeScriptLines) {
  struct Case {
    const char16_t* typed;
    const char* line;
  };
  const Case cases[] = {
      {u"  obj.Play()  ", "obj.Play()"},
      {u"? velkora", "velkora.help()"},
      {u"? velkora.", "velkora.help()"},
      {u"?\tplayer.x", "player.x.help()"},
      {u"?velkora", "?velkora"},
      {u"  ? velkora  ", "velkora.help()"},
      {u"", ""},
      {u"?", "?"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Text(TString(c.typed)));
    EXPECT_EQ(Text(ConsoleCommandLine(TString(c.typed))), c.line);
  }
}

class ConsoleRunTest : public ::testing::Test {
 protected:
  test::ScriptHost host_;
  std::unique_ptr<oru::ConsoleObject> console_ = NewConsole();
};

TEST_F(ConsoleRunTest, EchoesTheCommandAndWritesItsResult) {
  uint32_t from = NextIndex(console_.get());
  RunConsoleCommand(console_.get(), host_.engine, host_.self.Get(), TString(u"  1 + 2 "));
  EXPECT_EQ(EntriesFrom(console_.get(), from), (std::vector<std::string>{"4:--> 1 + 2", "5:3"}));

  // A command that gives nothing writes only its echo.
  from = NextIndex(console_.get());
  RunConsoleCommand(console_.get(), host_.engine, host_.self.Get(), TString(u"x = 5"));
  std::vector<std::string> written = EntriesFrom(console_.get(), from);
  ASSERT_FALSE(written.empty());
  EXPECT_EQ(written[0], "4:--> x = 5");

  from = NextIndex(console_.get());
  RunConsoleCommand(console_.get(), host_.engine, host_.self.Get(), TString(u"all YOUR base"));
  EXPECT_EQ(EntriesFrom(console_.get(), from),
            (std::vector<std::string>{"4:all YOUR base", "5: ARE BELONG TO US"}));
}

TEST_F(ConsoleRunTest, RunsNothingWithoutAContext) {
  const uint32_t from = NextIndex(console_.get());
  RunConsoleCommand(console_.get(), host_.engine, nullptr, TString(u"1 + 2"));
  RunConsoleCommand(console_.get(), nullptr, host_.self.Get(), TString(u"1 + 2"));
  EXPECT_TRUE(EntriesFrom(console_.get(), from).empty());
}

TEST(ConsoleWatcherTest, LoggingThreadsPostOneRepaintUntilItIsServed) {
  std::unique_ptr<oru::ConsoleObject> console = NewConsole();
  std::atomic<int> posts{0};
  ConsoleWatcher watcher([&] { posts.fetch_add(1); });
  ASSERT_TRUE(watcher.Watch(console.get()));
  std::vector<std::thread> writers;
  for (int t = 0; t < 4; ++t) {
    writers.emplace_back([&console] {
      for (int i = 0; i < 200; ++i)
        console->Write(2, u"busy", 1);
    });
  }
  for (std::thread& writer : writers)
    writer.join();
  EXPECT_EQ(posts.load(), 1);
  EXPECT_TRUE(watcher.Pending());

  watcher.Repainting();
  console->Write(7, u"again", 1);
  EXPECT_EQ(posts.load(), 2);
  EXPECT_FALSE(watcher.OnConsoleNotify(3));

  watcher.Stop();
  watcher.Repainting();
  console->Write(7, u"unheard", 1);
  EXPECT_EQ(posts.load(), 2);
}

}  // namespace
}  // namespace vk2::gui

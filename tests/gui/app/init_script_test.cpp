// The init script of the program folder's brint.xrc runs at start, on no object: a timer it sets
// fires while the program runs.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "tests/gui/support/app_runner.h"

namespace vk2::test {
namespace {

constexpr char kBrint[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<x>
  <init>
    <script>:velkora.echo("init ran");
      ::system.timer.SetTimer("boot", 100,
        ":velkora.echo(\"timer fired\"); ::system.timer.UnsetTimer(\"boot\", \"\");");</script>
  </init>
</x>
)";

TEST(InitScriptTest, ATimerTheInitScriptSetsFires) {
  AppRunner runner(kEnglishWithDisplayFont);
  runner.AddShippedInterface(VK2_TEST_DATA_DIR);
  std::ofstream(runner.Bin() + "/brint.xrc") << kBrint;

  AppOutcome outcome = runner.Start({}, 3000);
  EXPECT_EQ(outcome.exitCode, 0) << outcome.log << outcome.errors;
  EXPECT_EQ(MissingInOrder(outcome.log, {"init ran", "timer fired"}), "") << outcome.log;
  // Unset by its own script, it fired once.
  const size_t first = outcome.log.find("timer fired");
  EXPECT_EQ(outcome.log.find("timer fired", first + 1), std::string::npos) << outcome.log;
}

}  // namespace
}  // namespace vk2::test

// A table row of the script tests: a script text and the answer it must give (its value, or "!"
// followed by the failing function's report; see ScriptHarness::Answer).
#pragma once

#include <gtest/gtest.h>

#include "tests/core/script/support/script_harness.h"

namespace vk2::test {

struct ScriptCase {
  const char* script;
  const char* answer;
};

// Runs the rows in order (later rows may rely on what earlier ones changed).
template <size_t N>
void CheckCases(ScriptHarness& harness, const ScriptCase (&cases)[N]) {
  for (const ScriptCase& c : cases)
    EXPECT_EQ(harness.Answer(c.script), c.answer) << c.script << "\n" << harness.Console();
}

}  // namespace vk2::test

// A script module set up for one test: console lines recorded, UIDs from a known seed, timers
// on a fake clock and run only when the test says so.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "foundation/text/tstring.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/script/script_object.h"
#include "platform/fake_clock.h"
#include "script/engine/script_engine.h"
#include "script/runtime/script_module.h"

namespace vk2::test {

class RecordingConsole final : public ScriptConsole {
 public:
  struct Line {
    int32_t level;
    std::string text;
  };
  void Write(int32_t level, const TString& text) override;
  void SetDiskLogging(bool enabled) override;
  std::vector<Line> Lines();
  std::string All();
  void Clear();
  int diskLoggingCalls = 0;
  bool diskLogging = false;

 private:
  std::mutex mutex_;
  std::vector<Line> lines_;
};

std::string Narrow(const TString& text);

class ScriptTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  ScriptEngine* Engine() { return engine_; }
  // Runs `script` with this = `self`; returns Run's result and the value's canonical text.
  int32_t Run(const std::string& script, MScriptObject* self, std::string* value = nullptr);
  // The value of a script that must succeed, in the canonical test form.
  std::string Value(const std::string& script, MScriptObject* self = nullptr);
  // The first error line the console received for a script that must fail.
  std::string FirstError(const std::string& script, MScriptObject* self = nullptr);
  // A plain registered object named `name`, child of `parent` when given.
  RefPtr<MScriptObject> MakeObject(const std::string& name, MScriptObject* parent = nullptr);

  std::shared_ptr<RecordingConsole> console_;
  FakeClock clock_{1000};
  std::unique_ptr<ScopedClock> clockInstalled_;
  ScriptEngine* engine_ = nullptr;
};

// Values printed for comparison: a scalar as its text, an array as {a, b} with "name: " before
// named members; an object as <object name>.
std::string Canonical(MScriptObject* value);

}  // namespace vk2::test

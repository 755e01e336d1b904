// Scripts against the real media core: the runtime loaded from a private sandbox with the script
// module, the media core and the audio modules, playing into the capture device (a WAVE file in
// the sandbox). The harness publishes `players`, `playlists`, `player`, `prefs` and `files` as
// the user interface does, and runs script texts on a registered object `test`, collecting
// their value, the console lines written meanwhile and the audio heard.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "foundation/util/ref_ptr.h"
#include "interfaces/core/core.h"
#include "interfaces/core/script_objects.h"
#include "interfaces/runtime/console.h"
#include "interfaces/script/script_engine.h"
#include "interfaces/script/script_object.h"
#include "tests/audio/support/module_sandbox.h"
#include "tests/support/temp_folder.h"

namespace vk2::test {

// A script value as text: a scalar's text, an array as "{a, name: b}".
std::string ScriptValueText(MScriptObject* value);

struct ScriptOutcome {
  int32_t status = 0;   // the engine's answer: 0, or -9 when the script raised an error
  std::string value;    // ScriptValueText of the script's value
  std::string console;  // every console line written during the run, each ending in '\n'
};

class ScriptHarness {
 public:
  // `sound`: "capture" plays into a WAVE file of the sandbox; "pulse" into the sound server.
  explicit ScriptHarness(const std::string& sound = "capture");
  ~ScriptHarness();
  ScriptHarness(const ScriptHarness&) = delete;
  ScriptHarness& operator=(const ScriptHarness&) = delete;

  // Loads everything and publishes the objects; false with Error() set when something is missing.
  bool Start();
  const std::string& Error() const { return error_; }

  ScriptOutcome Run(const std::string& script);
  // The script's value when it ran, else "!" and the first console line it wrote (the failing
  // function's own report), so that tables of cases read as script text and answer.
  std::string Answer(const std::string& script);
  // Runs the script until it answers `expected` (for changes the player makes on its own thread).
  bool WaitForAnswer(const std::string& script, const std::string& expected, uint32_t timeoutMs);
  // Waits until the console, since the harness started, holds `text` at least `count` times.
  bool WaitForConsole(const std::string& text, size_t count, uint32_t timeoutMs);
  // Every console line since the start.
  std::string Console();

  // Adds a native function to the `test` object (`data` becomes the call's handlerData).
  bool AddTestFunction(const char16_t* name, ScriptHandler handler, uintptr_t data);

  MCore* Core() const { return core_.Get(); }
  MScriptEngine* Engine() const { return engine_.Get(); }
  // The folder tests put their files in, and the sandbox's capture file.
  const TempFolder& Files() const { return files_; }
  std::string CapturePath() const { return captureDir_.Path() + "/capture.wav"; }
  // The program the files object associates files with: an executable stand-in, since the
  // desktop only takes a default whose program exists.
  std::string ProgramPath() const { return captureDir_.Path() + "/bin/velkora2"; }
  // $XDG_DATA_HOME of the sandbox ($XDG_CONFIG_HOME is Sandbox's "config" folder).
  std::string DataHome() const { return captureDir_.Path(); }
  const ModuleSandbox& Sandbox() const { return sandbox_; }

  // Writes a WAVE file of a tone (sox) and answers its path.
  std::string MakeTone(const std::string& name, double hz, double seconds);

 private:
  bool Publish(const Guid& id, const char16_t* name);
  std::string ConsoleFrom(uint32_t first);
  uint32_t ConsoleEnd();

  TempFolder captureDir_;
  ModuleSandbox sandbox_;
  TempFolder files_;
  std::string error_;
  bool started_ = false;
  RefPtr<MScriptEngine> engine_;
  RefPtr<MConsole> console_;
  uint32_t consoleStart_ = 0;
  RefPtr<MCore> core_;
  RefPtr<MScriptObject> self_;
  std::vector<RefPtr<MUnknown>> published_;
  std::vector<std::u16string> globals_;
};

}  // namespace vk2::test

// The application started by the driver program from a private program folder, with the data
// it reads and private XDG folders: its exit code, the console's log and stderr.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "tests/audio/support/module_sandbox.h"

namespace vk2::test {

struct AppOutcome {
  int exitCode = -1;
  std::string log;     // the console, one entry a line: "<level> <text>"
  std::string errors;  // stderr
};

// A language file whose display font is DejaVu Sans.
inline constexpr char kEnglishWithDisplayFont[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<languages><language name="english"><domain name="velkora gui">
  <font key="display" face="DejaVu Sans" size="9"/></domain></language></languages>
)";

std::string SlurpFile(const std::string& path);
// Finds each line in order; returns the first one missing.
std::string MissingInOrder(const std::string& text, const std::vector<std::string>& lines);
// Writes `members` (name -> text) under `folder`, making sub-folders.
void WriteFiles(const std::string& folder, const std::map<std::string, std::string>& members);

class AppRunner {
 public:
  // The program folder holds the driver as "velkora2" and lang/english.xml (`english`).
  explicit AppRunner(const std::string& english);
  // The same, with `modules` loaded beside the program's own.
  AppRunner(const std::string& english, const std::vector<std::string>& modules);
  // `stopAfterMs` (above 0): the program is asked to end (SIGTERM) once it has run that long.
  AppOutcome Start(std::vector<std::string> args, int stopAfterMs = 0);
  void Set(const std::string& name, const std::string& value) { sandbox_.Set(name, value); }
  // Copies the shipped resource archive and default interface from `dataDir` beside the program.
  void AddShippedInterface(const std::string& dataDir);

  std::string Bin() const { return bin_; }
  std::string Root() const { return folder_.Path(); }
  std::string PrefsPath() const { return folder_.Path() + "/config/velkora2/prefs.xml"; }

 private:
  ModuleSandbox sandbox_;
  TempFolder folder_;
  std::string bin_ = folder_.Path() + "/bin";
};

}  // namespace vk2::test

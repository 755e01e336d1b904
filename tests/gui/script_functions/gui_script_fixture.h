// Scripts calling the `velkora` functions through the real script engine: the runtime with the
// script module and the media core from a sandbox, a GUI main object published as `velkora`
// with the functions registered, the window manager's operations recorded, and the file dialogs
// answered through the GUI layer's test hook.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "component/object/com_object.h"
#include "gui/main/gui_main_object.h"
#include "gui/script_functions/gui_script_functions.h"
#include "tests/core/script/support/script_harness.h"

namespace vk2::gui::test {

class EngineHost final : public GuiMainHost {
 public:
  explicit EngineHost(vk2::test::ScriptHarness* harness) : harness_(harness) {}
  TString ExecutableFolder() override { return u"."; }
  MScriptEngine* ScriptEngine() override { return harness_->Engine(); }
  int32_t InstallPackage(const TString&) override { return kErrNoService; }
  int32_t LoadVisual(const TString&) override { return kErrNoService; }
  int32_t StepVisual(bool) override { return kErrNoService; }
  int32_t OpenFilesDialog() override { return kErrNoService; }
  int32_t MinimizeAllWindows() override { return kOk; }
  int32_t ShellOpen(const TString&) override { return 0; }

 private:
  vk2::test::ScriptHarness* harness_;
};

// Stands in for the GUI main object's add-files side: fixed options, and a log of the jobs.
class QueueRecorder final : public ComObject<QueueRecorder, Face<MGuiMain, kIID_MGuiMain>> {
 public:
  uint32_t options = kAddFilesPlayImmediately;
  std::vector<std::string> jobs;  // "playlist|flags|file;file"

  uint32_t* GetAddFilesOptions(uint32_t* flags) override { return *flags = options, flags; }
  int32_t QueueFiles(const char16_t* playlist, const TArray<TString>* files, uint32_t flags,
                     int32_t) override {
    std::string job = Utf8(TString(playlist)).c_str();
    job += "|" + std::to_string(flags) + "|";
    for (uint32_t i = 0; i < files->Count(); ++i)
      job += (i ? ";" : "") + std::string(Utf8((*files)[i]).c_str());
    jobs.push_back(job);
    return kOk;
  }
  int32_t AddRemoveListener(MGuiMainListener*, int32_t) override { return kOk; }
  int32_t ExecuteCommand(const TArray<TString>*, int32_t) override { return 0; }
  int32_t GetExecutableFolder(TString*) override { return kOk; }
  MUnknown** OpenInterfaceWindow(MUnknown** window, const char16_t*, const char16_t*,
                                 const char16_t*, uint32_t, uintptr_t) override {
    return window;
  }
  intptr_t HandleWindowMessage(uint32_t, uintptr_t, intptr_t, int32_t*) override { return 0; }
  int32_t AddRemoveChild(MUnknown*, int32_t) override { return kOk; }
  int32_t RemoveAllChildren() override { return kOk; }
};

struct SeenStatus {
  uint32_t kind;
  uint32_t subKind;
  std::string text;
  std::string rightText;
  double fraction;
  bool operator==(const SeenStatus&) const = default;
};

class StatusRecorder final : public MStatusListener {
 public:
  void OnStatus(const StatusRecord& r, bool) override {
    std::lock_guard lock(mutex);
    seen.push_back(
        {r.kind, r.subKind, Utf8(r.text).c_str(), Utf8(r.rightText).c_str(), r.fraction});
  }
  std::vector<SeenStatus> Take() {
    std::lock_guard lock(mutex);
    return std::exchange(seen, {});
  }
  std::mutex mutex;
  std::vector<SeenStatus> seen;
};

class GuiScriptTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  std::string Answer(const std::string& script) { return harness_.Answer(script); }
  // The calls the window manager's operations received, in order.
  std::vector<std::string> TakeWindowCalls() { return std::exchange(windowCalls_, {}); }
  std::vector<std::string> TakeQueued() { return std::exchange(queue_->jobs, {}); }
  // Adds interfaces (identifiers from 3 on) as a stored description of one package.
  void AddInterfaces(const char16_t* packagePath, std::vector<const char16_t*> uniqueNames);

  vk2::test::ScriptHarness harness_;
  std::unique_ptr<RuntimeCoreAccess> core_;
  std::unique_ptr<EngineHost> host_;
  std::unique_ptr<InterfaceEnumerator> interfaces_;
  RefPtr<GuiMainObject> main_;
  RefPtr<QueueRecorder> queue_{new QueueRecorder};
  GuiScriptServices services_;
  StatusRecorder status_;
  std::vector<std::string> windowCalls_;
  std::vector<TArray<TString>> languagesSet_;
};

}  // namespace vk2::gui::test

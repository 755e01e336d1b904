// The user interface module loaded through the runtime in a sandbox, its application launched on
// the headless backend with a script engine beside it, and a window made from an interface
// package written as markup text. What a test adds (a media core, a player, an image service) it
// makes after SetUp and lets go in ReleaseExtras, before the application shuts down.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "interfaces/gui/app.h"
#include "interfaces/gui/window_element.h"
#include "interfaces/markup/interface_loader.h"
#include "interfaces/script/script_engine.h"
#include "tests/audio/support/module_sandbox.h"

namespace vk2::test {

class PackageWindowTest : public ::testing::Test {
 protected:
  // `modules`: the runtime's shared object first, then the modules it loads.
  explicit PackageWindowTest(const std::vector<std::string>& modules) : sandbox_(modules) {}

  void SetUp() override;
  void TearDown() override;
  // Lets go of what the test made beside the application, once the window is gone.
  virtual void ReleaseExtras() {}

  // Runs `task` on the GUI loop and waits for it.
  template <class F>
  void OnLoop(F task) {
    struct Call {
      F* task;
      std::atomic<bool> done{false};
    } call{&task, {}};
    ASSERT_EQ(app_->PostToGuiThread(
                  [](void* p) {
                    auto* c = static_cast<Call*>(p);
                    (*c->task)();
                    c->done = true;
                  },
                  &call),
              kOk);
    while (!call.done)
      std::this_thread::yield();
  }

  // Loads `package` and makes its interface `name`'s window `window` as `frame_`; `made` runs on
  // the loop right after, before the window's start, which runs on the next loop turn.
  void OpenPackageWindow(const char* package, const char16_t* name, const char16_t* window,
                         const std::function<void()>& made = nullptr);

  // What `script` returns, run on `window` as its own object ("<error>" when it cannot run).
  std::string Run(MWindowElement* window, const char16_t* script);

  ModuleSandbox sandbox_;
  TempFolder folder_;
  RefPtr<MOmbrixApp> app_;
  RefPtr<MScriptEngine> engine_;
  RefPtr<MInterfaceLoader> loader_;
  RefPtr<MInterfaceDefinition> iface_;
  RefPtr<MWindowElement> frame_;
};

}  // namespace vk2::test

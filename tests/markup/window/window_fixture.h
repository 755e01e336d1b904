// Markup windows in process: the GUI layer on the headless backend with a fake clock, the
// script module with a recorded console, and the markup services pointed at both. Image styles
// for tests are `imagestyle` elements with a `fill` colour (and `states`, default "normal"):
// they fill their rectangle and count as drawn.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "markup/definition/interface_definition.h"
#include "markup/definition/style_readers.h"
#include "markup/window/markup_window.h"
#include "oru/gui/backend/headless_backend.h"
#include "oru/gui/loop/gui_loop.h"
#include "platform/fake_clock.h"
#include "tests/markup/support/duv_loading.h"
#include "tests/markup/support/markup_fixture.h"

namespace vk2::test {

// A script value in a canonical text form: scalars as they stand, arrays as "{a, name: b}".
std::string ScriptValueText(MScriptObject* value);

// The test image style: `color` over its rectangle (only the left half with `leftHalf`) for
// the states in `states`.
RefPtr<MImageStyleDrawing> MakeFillStyle(uint32_t color, uint32_t states, bool leftHalf = false);

// Makes `object` what the in-process runtime answers for `classId` (null: nothing), as a
// module's class would.
void ServeTestClass(const Guid& classId, MUnknown* object);

class MarkupWindowTest : public ::testing::Test {
 protected:
  MarkupWindowTest();
  ~MarkupWindowTest() override;

  // Loads a DUV document around `body` (with `files` in its package) into `duv_` and answers
  // its definition.
  markup::InterfaceDefinition* Load(const std::string& body,
                                    std::map<std::string, std::string> files = {});
  // Creates the top-level Generic window `name` of the loaded definition on a new host.
  RefPtr<MWindowElement> Create(const char16_t* name);
  // The window's script object.
  static MScriptObject* ScriptOf(MWindowElement* window);
  // Runs `script` with the window's script object as `this`; the value as text.
  std::string Run(MWindowElement* window, const std::string& script, int32_t* status = nullptr);
  // A member of the window's script object as text ("<none>" when missing).
  std::string Member(MWindowElement* window, const char16_t* name);
  // The headless backend's id of the window's host; 0 when it has none.
  static uint32_t BackendIdOf(MWindowElement* window);
  // What the headless backend holds for the window's host; empty when it has none.
  gui::HeadlessWindow BackendWindowOf(MWindowElement* window);
  // Steps the fake clock and runs one loop turn.
  void Step(uint64_t ms);
  void Turn() { loop_->RunPending(); }
  std::string ConsoleText();
  void ClearConsole();

  InProcessMarkup markup_;
  FakeClock clock_{1000};
  ScopedClock scopedClock_{clock_};
  gui::HeadlessBackend* backend_ = nullptr;
  std::unique_ptr<gui::GuiLoop> loop_;
  LoadedDuv duv_;

 private:
  markup::MarkupServices saved_;
  markup::StyleReaders savedReaders_;
};

}  // namespace vk2::test

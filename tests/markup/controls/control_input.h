// Control tests that build "main" around the controls: a main window of a given size holding
// them, the controls by name, and the keyboard, wheel and text input at main's host.
#pragma once

#include <cstdint>
#include <string>

#include "tests/markup/controls/control_fixture.h"

namespace vk2::test {

class ControlFixture : public ControlTest {
 protected:
  // Loads a main window of `width` × `height` holding `children` (markup), after the
  // interface-level `prelude`, and creates it.
  void Open(const std::string& children, int32_t width, int32_t height,
            const std::string& mainBody = "", const std::string& prelude = "");
  MWindowElement* Child(const char16_t* name) { return Find(name); }
  std::string On(const char16_t* name, const std::string& script, int32_t* status = nullptr) {
    return RunOn(name, script, status);
  }
  void MoveTo(int32_t x, int32_t y) { Move(x, y); }
  // Input at main's host, each followed by a loop turn.
  void Wheel(int32_t x, int32_t y, int32_t steps);
  void Key(int32_t key, uint32_t modifiers = 0);
  void Type(const std::u16string& text);
};

}  // namespace vk2::test

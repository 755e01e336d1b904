// A window's typed properties as the markup reads them, its visual parameters (the `mml_*`
// properties image styles animate by) and the climb to its top window.
#pragma once

#include <cstdint>
#include <optional>

#include "foundation/text/tstring.h"
#include "interfaces/gui/window_element.h"
#include "interfaces/markup/window_definition.h"

namespace vk2::markup {

// The value when the property exists with that type.
std::optional<double> ReadDoubleProperty(MWindowElement* window, const char16_t* name);
std::optional<int32_t> ReadIntegerProperty(MWindowElement* window, const char16_t* name);
// Empty when absent or not a string.
TString ReadStringProperty(MWindowElement* window, const char16_t* name);
void WriteDoubleProperty(MWindowElement* window, const char16_t* name, double value);
void WriteStringProperty(MWindowElement* window, const char16_t* name, const TString& value);

// `mml_opacity` (1.0), `mml_angle` (0), `mml_time` (0) and `mml_zoom` (1.0), each used only
// when it holds a double; the position stays 0.
VisualParameters ReadVisualParameters(MWindowElement* window);

// The window's root ancestor (itself without a parent).
MWindowElement* TopWindow(MWindowElement* window);
// Shows `hint` at once: posted to the top window's listener list (level 1), when it has one.
void ShowHintOnTopWindow(MWindowElement* window, const TString& hint);

}  // namespace vk2::markup

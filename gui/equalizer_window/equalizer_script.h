// The equalizer window's side of scripts: the four functions it calls on its own script object
// (defined by the interface's script), and the two methods it adds there, UpdateDisplay and
// UpdateBands, with which scripts ask it to re-read.
#pragma once

#include <vector>

#include "foundation/text/tstring.h"
#include "gui/equalizer_window/equalizer_bands.h"

namespace vk2 {
class MScriptEngine;
class MScriptObject;
}  // namespace vk2

namespace vk2::gui {

// Calls a member of `object` by name with the texts as its parameter array; the object is the
// caller, `engine` takes the errors. A missing member is a failed call.
class ScriptObjectEqualizer final : public EqualizerScript {
 public:
  ScriptObjectEqualizer(MScriptObject* object, MScriptEngine* engine)
      : object_(object), engine_(engine) {}
  bool Call(const char16_t* name, const std::vector<TString>& params, TString* result) override;

 private:
  MScriptObject* object_;
  MScriptEngine* engine_;
};

// What the two script methods ask of the window (on the thread the script runs on).
class EqualizerUpdates {
 public:
  virtual void UpdateFromScript(bool gainsOnly) = 0;

 protected:
  ~EqualizerUpdates() = default;
};

inline constexpr char16_t kUpdateDisplayHelp[] =
    u"Causes the equalizer control's data to be refreshed and redrawn";
inline constexpr char16_t kUpdateBandsHelp[] =
    u"Like UpdateDisplay but only the gains are re-read and re-displayed";

// Adds UpdateDisplay and UpdateBands to `script`; both take no argument (any gives -3) and
// answer 0. `target` must outlive the registration.
bool RegisterEqualizerMethods(MScriptObject* script, EqualizerUpdates* target);

}  // namespace vk2::gui

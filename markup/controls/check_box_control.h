// The markup check box (`DlgCheckBox`): a button that toggles and shows hover unless the markup
// says otherwise, drawing its state styles into a check rectangle and its caption beside it, both
// placed by a "mood" (a property element of the interface).
#pragma once

#include <cstdint>

#include "markup/controls/button_control.h"

namespace vk2::markup {

// A rectangle placed in a parent: each side a fraction of the parent's size plus pixels.
struct Placement {
  double offset[4] = {};
  double alignment[4] = {};
  // Each side truncated to an integer.
  RectI Place(const RectI& parent) const;
};

class CheckBoxControl final : public ButtonControl {
 public:
  explicit CheckBoxControl(MUnknown* controlling) : ButtonControl(controlling) {}

  int32_t Paint(MCanvas* canvas, const PaintRecord* record) override;

  // The check and caption rectangles for a window of `size`.
  RectI CheckRect(const SizeI& size) const {
    return check_.Place(RectI{0, 0, size.width, size.height});
  }
  RectI CaptionRect(const SizeI& size) const;

 protected:
  ~CheckBoxControl() override = default;
  Defaults ButtonDefaults() const override { return Defaults{true, true, 0}; }
  const char16_t* ScriptClassName() const override { return u"MML_DlgCheckbox"; }
  void LoadOwnProperties(const ControlProperties& properties, MInterfaceDefinition* iface) override;

 private:
  void ReadMood(MInterfaceDefinition* iface, const TString& name);

  int32_t edgeOffset_[4] = {};
  Placement check_;
  Placement caption_;
};

}  // namespace vk2::markup

// The markup button (`MML_Button`, window type `Button`): the GUI layer's button part (hover,
// press, toggle, repeat) with the state image styles of its window definition and an optional
// one-line caption over them. The check box builds on it.
#pragma once

#include <cstdint>
#include <mutex>

#include "markup/controls/control_base.h"
#include "markup/controls/control_properties.h"
#include "markup/styles/text_font.h"

namespace vk2::markup {

class ButtonControl : public MarkupWindow {
 public:
  explicit ButtonControl(MUnknown* controlling) : MarkupWindow(controlling), face_(this) {}

  // The caption, as scripts set it.
  void SetCaption(const TString& text);
  TString Caption();
  // The GUI button part behind the control (no reference), or null.
  MButton* ButtonPart() { return face_.Part(); }
  // Whether the window property "button_toggle" is on.
  bool IsToggle();

  void LoadProperties(MInterfaceDefinition* iface) override;
  int32_t Paint(MCanvas* canvas, const PaintRecord* record) override;
  int32_t HasNoLook() override;

 protected:
  ~ButtonControl() override = default;

  // The switches a plain button starts with; the check box turns hover and toggle on.
  struct Defaults {
    bool hover = false;
    bool toggle = false;
    uint32_t justification = 6;
  };
  virtual Defaults ButtonDefaults() const { return Defaults{}; }
  virtual const char16_t* ScriptClassName() const { return u"MML_Button"; }
  // The control's own attributes, read after the button's and before the part is set up.
  virtual void LoadOwnProperties(const ControlProperties& properties, MInterfaceDefinition* iface) {
    (void)properties;
    (void)iface;
  }
  void SetUpControl() override;
  MUnknown* QueryMore(const Guid& iid) override;

  // Draws the state styles into `rect` with the part's look; answers whether anything drew.
  bool DrawStates(MCanvas* canvas, const RectI& rect, double opacity);
  // Draws the caption into `rect` (clipped to it) at `opacity` (0 to 1); false when there is
  // no caption or no font.
  bool DrawCaption(MCanvas* canvas, const RectI& rect, double opacity);
  // 0.5 with the disabled look, else 1.0.
  double Opacity();
  RectI Bounds();

  int32_t textOffset_[4] = {};

 private:
  ButtonFace face_;
  std::mutex captionLock_;  // the caption may be replaced by scripts on other threads
  TString caption_;
  TextFont font_;
  uint32_t justification_ = 6;
  uint32_t textColor_ = 0xFF000000;
};

}  // namespace vk2::markup

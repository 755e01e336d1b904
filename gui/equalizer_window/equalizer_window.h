// The equalizer window type an interface places in its markup: one slider per band, the gains
// dragged with the mouse and handed to the interface's script.
#pragma once

#include "gui/equalizer_window/equalizer_bands.h"
#include "gui/equalizer_window/equalizer_script.h"
#include "gui/window_base/module_window.h"
#include "interfaces/script/script_engine.h"

namespace vk2::gui {

inline constexpr uint32_t kEqualizerBackground = 0xFF404090;
inline constexpr uint32_t kEqualizerBandColor = 0xFF4040F0;

class EqualizerWindow final : public ModuleWindow<EqualizerWindow>, public EqualizerUpdates {
 public:
  explicit EqualizerWindow(MUnknown* base) : ModuleWindow(base) {}

  // Names the script object and adds UpdateDisplay and UpdateBands.
  void Setup();
  // The bands come from the window's scripts: the type has no style of its own.
  void LoadStyle(MWindowDefinition* markup, MInterfaceDefinition* iface) {
    (void)markup;
    (void)iface;
  }
  const EqualizerBands& Bands() const { return bands_; }

  void UpdateFromScript(bool gainsOnly) override;
  int32_t OnPaint(MCanvas* canvas, const PaintRecord* record) override;
  int32_t OnNotify(uint32_t code, uintptr_t argument) override;
  int32_t OnQuery(uint32_t code, uintptr_t a, uintptr_t b, uintptr_t c) override;

 private:
  ScriptObjectEqualizer Functions();
  EqualizerGeometry Geometry();

  EqualizerBands bands_;
  RefPtr<MScriptEngine> engine_;
};

}  // namespace vk2::gui

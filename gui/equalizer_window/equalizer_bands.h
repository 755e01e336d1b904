// The equalizer window's model: the bands it shows (label and gain), read through the script
// functions the interface's script defines for the window, and the mouse drag that sets gains.
// The window itself only draws this model and forwards its mouse input here.
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "foundation/text/tstring.h"

namespace vk2::gui {

// The four script functions of the window's own script object, called by name. True when the
// call ran; `result` then holds its value as text.
class EqualizerScript {
 public:
  virtual bool Call(const char16_t* name, const std::vector<TString>& params, TString* result) = 0;

 protected:
  ~EqualizerScript() = default;
};

struct EqualizerBand {
  TString label;
  double gain = 0.0;  // -1.0 to 1.0
};

// What a drag maps pixels through: the window's size and the font's line height.
struct EqualizerGeometry {
  int32_t width = 0;
  int32_t height = 0;
  int32_t lineHeight = 0;
};

inline constexpr int32_t kEqualizerMaxBands = 100;

// The band under `x` among `count` bands, or -1 when the window has no width or no bands.
int32_t EqualizerBandAt(double x, int32_t count, int32_t width);
// The gain for `y`: 1.0 at the top edge, -1.0 at the bottom of the band area (the height less
// two font lines), clamped. False when the band area has no height.
bool EqualizerGainAt(double y, const EqualizerGeometry& geometry, double* gain);
// The y at which `gain` is drawn (the inverse of EqualizerGainAt).
double EqualizerLevelY(double gain, const EqualizerGeometry& geometry);

class EqualizerBands {
 public:
  // Count, labels and gains anew; a failed count or one outside 1 to 100 empties the list.
  void ReadAll(EqualizerScript& script);
  // The gains of the bands known.
  void ReadGains(EqualizerScript& script);
  // What the script methods UpdateDisplay and UpdateBands ask: nothing during a drag (the
  // user's gains win), else a re-read. True when it re-read (the window redraws).
  bool Update(EqualizerScript& script, bool gainsOnly);

  // A press starts a drag and sets the gain under the point; a move sets it while dragging.
  // True when a gain changed (the window redraws).
  bool Press(EqualizerScript& script, double x, double y, const EqualizerGeometry& geometry);
  bool Move(EqualizerScript& script, double x, double y, const EqualizerGeometry& geometry);
  // A release or a lost capture ends the drag and re-reads everything.
  void Release(EqualizerScript& script);
  // The window was told to drop the drag without a re-read.
  void CancelDrag();
  bool Dragging() const;

  std::vector<EqualizerBand> Snapshot() const;

 private:
  bool SetGainAt(EqualizerScript& script, double x, double y, const EqualizerGeometry& geometry);

  mutable std::recursive_mutex lock_;
  std::vector<EqualizerBand> bands_;
  bool dragging_ = false;
};

}  // namespace vk2::gui

#include "gui/equalizer_window/equalizer_bands.h"

#include <algorithm>
#include <cmath>

#include "component/script/script_text.h"
#include "foundation/text/number_parse.h"

namespace vk2::gui {
namespace {

TString IndexText(int32_t index) {
  return TString::Format(u"%d", index);
}

// The whole text as one number: trailing characters would make "12abc" a band count.
bool ReadWholeInteger(const TString& text, int32_t* out) {
  const int32_t used = ReadSigned32(text.c_str(), 10, out);
  return used > 0 && static_cast<uint32_t>(used) == text.Length();
}

double ReadGain(const TString& text) {
  double value = 0.0;
  if (ParseNumberText(text.c_str(), &value) <= 0 || !std::isfinite(value)) return 0.0;
  return value;
}

}  // namespace

int32_t EqualizerBandAt(double x, int32_t count, int32_t width) {
  if (count <= 0 || width <= 0) return -1;
  const double spacing = static_cast<double>(width) / (count + 1);
  const double position = (x - spacing / 2) / spacing;
  // Truncation toward zero, then into range: points left of the first band pick it.
  const double band = std::trunc(position);
  return static_cast<int32_t>(std::clamp(band, 0.0, static_cast<double>(count - 1)));
}

bool EqualizerGainAt(double y, const EqualizerGeometry& geometry, double* gain) {
  const int32_t area = geometry.height - 2 * geometry.lineHeight;
  // A window no taller than its two label lines has no band area to map onto.
  if (area <= 0) return false;
  *gain = std::clamp(1.0 - 2.0 * y / area, -1.0, 1.0);
  return true;
}

double EqualizerLevelY(double gain, const EqualizerGeometry& geometry) {
  const int32_t area = std::max(0, geometry.height - 2 * geometry.lineHeight);
  return (1.0 - std::clamp(gain, -1.0, 1.0)) * area / 2.0;
}

void EqualizerBands::ReadAll(EqualizerScript& script) {
  std::lock_guard<std::recursive_mutex> hold(lock_);
  TString countText;
  int32_t count = 0;
  if (!script.Call(u"GetNumBands", {}, &countText) || !ReadWholeInteger(countText, &count) ||
      count < 1 || count > kEqualizerMaxBands) {
    bands_.clear();
    return;
  }
  bands_.assign(static_cast<size_t>(count), EqualizerBand{});
  for (int32_t i = 0; i < count; ++i) {
    const std::vector<TString> params{IndexText(i)};
    TString label;
    if (script.Call(u"GetBandFreqString", params, &label)) bands_[i].label = label;
    TString gain;
    if (script.Call(u"GetBandGain", params, &gain)) bands_[i].gain = ReadGain(gain);
  }
}

void EqualizerBands::ReadGains(EqualizerScript& script) {
  std::lock_guard<std::recursive_mutex> hold(lock_);
  for (size_t i = 0; i < bands_.size(); ++i) {
    TString gain;
    bands_[i].gain = script.Call(u"GetBandGain", {IndexText(static_cast<int32_t>(i))}, &gain)
                         ? ReadGain(gain)
                         : 0.0;
  }
}

bool EqualizerBands::Update(EqualizerScript& script, bool gainsOnly) {
  std::lock_guard<std::recursive_mutex> hold(lock_);
  if (dragging_) return false;
  if (gainsOnly) {
    ReadGains(script);
  } else {
    ReadAll(script);
  }
  return true;
}

bool EqualizerBands::SetGainAt(EqualizerScript& script, double x, double y,
                               const EqualizerGeometry& geometry) {
  std::lock_guard<std::recursive_mutex> hold(lock_);
  const int32_t band = EqualizerBandAt(x, static_cast<int32_t>(bands_.size()), geometry.width);
  double gain = 0.0;
  if (band < 0 || !EqualizerGainAt(y, geometry, &gain)) return false;
  TString ignored;
  if (!script.Call(u"SetBandGain", {IndexText(band), DoubleToString(gain)}, &ignored)) return false;
  bands_[band].gain = gain;
  return true;
}

bool EqualizerBands::Press(EqualizerScript& script, double x, double y,
                           const EqualizerGeometry& geometry) {
  std::lock_guard<std::recursive_mutex> hold(lock_);
  const bool changed = SetGainAt(script, x, y, geometry);
  dragging_ = true;
  return changed;
}

bool EqualizerBands::Move(EqualizerScript& script, double x, double y,
                          const EqualizerGeometry& geometry) {
  std::lock_guard<std::recursive_mutex> hold(lock_);
  if (!dragging_) return false;
  return SetGainAt(script, x, y, geometry);
}

void EqualizerBands::Release(EqualizerScript& script) {
  std::lock_guard<std::recursive_mutex> hold(lock_);
  dragging_ = false;
  ReadAll(script);
}

void EqualizerBands::CancelDrag() {
  std::lock_guard<std::recursive_mutex> hold(lock_);
  dragging_ = false;
}

bool EqualizerBands::Dragging() const {
  std::lock_guard<std::recursive_mutex> hold(lock_);
  return dragging_;
}

std::vector<EqualizerBand> EqualizerBands::Snapshot() const {
  std::lock_guard<std::recursive_mutex> hold(lock_);
  return bands_;
}

}  // namespace vk2::gui

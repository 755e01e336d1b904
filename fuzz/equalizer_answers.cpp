// What an interface's script answers the equalizer window: any texts for the band count, the
// labels and the gains give at most 100 bands with gains in range, and a drag anywhere in a
// window of any size stays in range too.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "gui/equalizer_window/equalizer_bands.h"

namespace {

// Answers from the input: each call takes the next line.
class LineScript final : public vk2::gui::EqualizerScript {
 public:
  explicit LineScript(std::string text) : text_(std::move(text)) {}
  bool Call(const char16_t*, const std::vector<vk2::TString>&, vk2::TString* result) override {
    if (at_ >= text_.size()) return false;
    size_t end = text_.find('\n', at_);
    if (end == std::string::npos) end = text_.size();
    *result = vk2::FromNarrowString(text_.data() + at_, static_cast<int32_t>(end - at_));
    at_ = end + 1;
    return true;
  }

 private:
  std::string text_;
  size_t at_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 6) return 0;
  const vk2::gui::EqualizerGeometry geometry{static_cast<int8_t>(data[0]) * 4,
                                             static_cast<int8_t>(data[1]) * 4,
                                             static_cast<int8_t>(data[2])};
  const double x = static_cast<int8_t>(data[3]) * 3.0;
  const double y = static_cast<int8_t>(data[4]) * 3.0;
  LineScript script(std::string(reinterpret_cast<const char*>(data + 5), size - 5));
  vk2::gui::EqualizerBands bands;
  bands.ReadAll(script);
  bands.Press(script, x, y, geometry);
  bands.Move(script, -x, y * 2, geometry);
  const std::vector<vk2::gui::EqualizerBand> shown = bands.Snapshot();
  if (shown.size() > static_cast<size_t>(vk2::gui::kEqualizerMaxBands)) std::abort();
  for (const vk2::gui::EqualizerBand& band : shown) {
    if (!std::isfinite(band.gain)) std::abort();
  }
  return 0;
}

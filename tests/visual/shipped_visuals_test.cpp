// The visuals that ship with the program, found where the program looks for them and drawn by the
// real host from known audio: the spectrum's tallest bar stands at a tone's frequency and its peak
// marks fall once the tone ends; the scope draws each channel's waveform across its own half.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <string>

#include "foundation/util/result.h"
#include "tests/visual/visual_test_support.h"

namespace vk2::test {
namespace {

constexpr char kShippedDir[] = VK2_SHIPPED_VISUAL_DIR;
constexpr char kSpectrumFile[] = "spectrum_bars.vvp";
constexpr char kScopeFile[] = "scope_lines.vvp";

// The default interface's dark panel, its blue and the light tint, as the host shows them.
constexpr uint32_t kDark = 0xFF16181Du;
constexpr uint32_t kBlue = 0xFF3FA7F5u;
constexpr uint32_t kLightBlue = 0xFF7CC4FAu;

std::string ShippedPath(const char* file) {
  return std::string(kShippedDir) + "/" + file;
}

// One shipped visual attached to the fixture's player, over stereo 8-bit audio at 8192 Hz (a
// spectrum bin is then 16 Hz). Every frame appends a packet and hears all but the newest one, so
// the visual sees the 512 frames that end where the previous packet ends.
class ShippedVisual {
 public:
  static constexpr uint32_t kRate = 8192;
  static constexpr uint32_t kPacket = 600;  // frames: more than a window, so each frame draws
  using Signal = std::function<double(uint32_t frame, int channel)>;

  ShippedVisual(const char* file, Signal signal) : signal_(std::move(signal)) {
    const TString path = Utf16(ShippedPath(file));
    EXPECT_EQ(f_.host->AddFile(path), kOk) << file;
    visual_ = f_.ByName(path.c_str());
    if (visual_ && !visual_->Attach(f_.player.Get(), kVisualDrawMode)) visual_ = nullptr;
    f_.host->GetAudioHistory(&history_);
    history_->SetFormat(HostFixture::kChain, 2, kRate, 8, false);
    AppendPacket();
  }
  bool Ready() const { return visual_ && history_; }

  // Draws the next frame into `target`; true when the visual drew from new audio.
  bool Frame(Target& target) {
    AppendPacket();
    f_.Hear(static_cast<int32_t>((appended_ - kPacket) * 2));
    RefPtr<MVisualRenderer> renderer = RefPtr<MVisualRenderer>::Adopt(visual_->GetRenderer());
    return renderer && renderer->Render(&target.view, 0, 0, target.view.width, target.view.height,
                                        nullptr, 0) > 0;
  }

 private:
  void AppendPacket() {
    std::vector<uint8_t> bytes(kPacket * 2);
    for (uint32_t i = 0; i < kPacket; ++i) {
      for (int channel = 0; channel < 2; ++channel) {
        const long sample = std::lround(signal_(appended_ + i, channel));
        bytes[i * 2 + channel] = static_cast<uint8_t>(128 + sample);
      }
    }
    history_->Append(HostFixture::kChain, bytes.data(), static_cast<uint32_t>(bytes.size()));
    appended_ += kPacket;
  }

  HostFixture f_;
  RefPtr<MVisual> visual_;
  MVisualAudioHistory* history_ = nullptr;
  Signal signal_;
  uint32_t appended_ = 0;
};

// A cosine on spectrum bin `bin` whose phase is 0 at the first window's first frame (frame 88).
double Cosine(uint32_t frame, uint32_t bin, double amplitude) {
  const double t = static_cast<double>(frame) - (ShippedVisual::kPacket - 512);
  return amplitude * std::cos(2.0 * std::numbers::pi * bin * t / 512.0);
}

// The highest row of column `x` drawn in `colour`, or -1.
int32_t TopOf(const Target& target, int32_t x, uint32_t colour) {
  for (int32_t y = 0; y < target.view.height; ++y) {
    if (target.At(x, y) == colour) return y;
  }
  return -1;
}

TEST(ShippedVisuals, TheProgramsVisualsFolderHoldsBothUnderTheirNames) {
  // The folder the program scans: its own folder's vis/, a link to the staged data.
  HostFixture f;
  RefPtr<MPreferenceStore> prefs = f.runtime.Registry().NewPreferences();
  prefs->SetString(u"visuals_path", Utf16(kShippedDir).c_str());
  ASSERT_EQ(f.host->ScanVisualsPath(prefs.Get()), kOk);
  EXPECT_EQ(f.host->GetCount(), 2u);
  for (auto [file, name] : {std::pair{kSpectrumFile, u"Spectrum"}, {kScopeFile, u"Scope"}}) {
    RefPtr<MVisual> visual = f.ByName(Utf16(ShippedPath(file)).c_str());
    ASSERT_TRUE(visual) << file;
    ASSERT_TRUE(visual->Attach(f.player.Get(), kVisualDrawMode)) << file;
    TString shown;
    visual->GetName(&shown);
    EXPECT_EQ(shown, TString(name)) << file;
  }
}

TEST(ShippedVisuals, TheSpectrumsTallestBarStandsAtTheTone) {
  // 256 pixels give 64 bars of four bins each. The host's bytes are real parts only, so with
  // its phase a tone's tallest byte can stray a bin or two from it: the tones sit mid-bar, as
  // cosines from the window's start. On one channel or both: a bar stands as high as the louder.
  struct Case {
    uint32_t bin;
    bool left, right;
  };
  for (const Case c : {Case{17, true, false}, Case{42, true, true}, Case{101, false, true},
                       Case{202, true, false}}) {
    SCOPED_TRACE("bin " + std::to_string(c.bin) + " (" + std::to_string(c.bin * 16) + " Hz)");
    ShippedVisual spectrum(kSpectrumFile, [&](uint32_t frame, int channel) {
      return (channel == 0 ? c.left : c.right) ? Cosine(frame, c.bin, 24.0) : 0.0;
    });
    ASSERT_TRUE(spectrum.Ready());
    Target target(256, 128);
    ASSERT_TRUE(spectrum.Frame(target));
    int32_t tallest = -1, tallestTop = target.view.height;
    for (int32_t x = 0; x < target.view.width; ++x) {
      const int32_t top = TopOf(target, x, kBlue);
      if (top >= 0 && top < tallestTop) tallest = x, tallestTop = top;
    }
    ASSERT_GE(tallest, 0) << "no bar at all";
    EXPECT_EQ(static_cast<uint32_t>(tallest / 4), c.bin / 4) << "tallest column " << tallest;
    EXPECT_LT(tallestTop, target.view.height / 2) << "a clear tone stands well up";
    // Dark behind the bars, the peak mark just above the tone's bar.
    EXPECT_EQ(target.At(tallest, 0), kDark);
    EXPECT_EQ(target.At(tallest, tallestTop - 1), kLightBlue);
  }
}

TEST(ShippedVisuals, TheSpectrumsPeakMarkStaysAMomentThenFallsAway) {
  // The tone fills the first window only; silence follows.
  ShippedVisual spectrum(kSpectrumFile, [](uint32_t frame, int) {
    return frame < ShippedVisual::kPacket ? Cosine(frame, 40, 24.0) : 0.0;
  });
  ASSERT_TRUE(spectrum.Ready());
  Target target(256, 128);
  constexpr int32_t kColumn = 40;  // bar 10
  ASSERT_TRUE(spectrum.Frame(target));
  const int32_t markTop = TopOf(target, kColumn, kLightBlue);
  ASSERT_GT(markTop, 0);
  ASSERT_TRUE(spectrum.Frame(target));
  EXPECT_EQ(TopOf(target, kColumn, kBlue), -1) << "the bar goes with the tone";
  EXPECT_EQ(TopOf(target, kColumn, kLightBlue), markTop) << "the mark stays";
  int32_t previous = markTop;
  bool fell = false;
  for (int frame = 0; frame < 120 && previous >= 0; ++frame) {
    ASSERT_TRUE(spectrum.Frame(target));
    const int32_t now = TopOf(target, kColumn, kLightBlue);
    if (now < 0) break;
    EXPECT_GE(now, previous) << "a mark never rises in silence";
    fell = fell || now > previous;
    previous = now;
  }
  EXPECT_TRUE(fell);
  EXPECT_EQ(TopOf(target, kColumn, kLightBlue), -1) << "the mark is gone in the end";
}

TEST(ShippedVisuals, TheScopeDrawsEachChannelAlongItsWaveInItsOwnHalf) {
  // Four cycles on the left channel, silence on the right: a sine across the upper half in blue,
  // a flat line through the middle of the lower half in the light blue.
  constexpr double kAmplitude = 100.0;
  auto wave = [&](double frame) {
    return kAmplitude * std::sin(2.0 * std::numbers::pi * 4.0 * frame / 512.0);
  };
  ShippedVisual scope(
      kScopeFile, [&](uint32_t frame, int channel) { return channel == 0 ? wave(frame) : 0.0; });
  ASSERT_TRUE(scope.Ready());
  Target target(256, 128);
  ASSERT_TRUE(scope.Frame(target));
  constexpr int32_t kHalf = 64;
  const uint32_t windowStart = ShippedVisual::kPacket - 512;
  for (int32_t x = 0; x < target.view.width; ++x) {
    SCOPED_TRACE("column " + std::to_string(x));
    // Two frames per column; a sample of +128 would stand on the top row, -128 on the bottom.
    const double sample = wave(windowStart + 2.0 * x);
    const double expected = (127.0 - sample) * (kHalf - 1) / 255.0;
    bool onWave = false, farDrawn = false;
    for (int32_t y = 0; y < kHalf; ++y) {
      const bool drawn = target.At(x, y) != kDark;
      if (std::abs(y - expected) <= 1.5)
        onWave = onWave || target.At(x, y) == kBlue;
      else if (std::abs(y - expected) > 8.0)
        farDrawn = farDrawn || drawn;
    }
    EXPECT_TRUE(onWave);
    EXPECT_FALSE(farDrawn);
    const int32_t middle = kHalf + (kHalf - 1) / 2;
    for (int32_t y = kHalf; y < target.view.height; ++y) {
      EXPECT_EQ(target.At(x, y), y == middle ? kLightBlue : kDark) << "row " << y;
    }
  }
}

TEST(ShippedVisuals, DrawOnlyInsideTheImageWhateverItsSize) {
  // Straight through the plug-in interface, with pitch padding the plug-ins must leave alone.
  struct Size {
    int32_t width, height, pitch;
  };
  VisualAudioRecord loud{};
  for (int i = 0; i < kVisualWaveformSamples; ++i)
    loud.waveform[0][i] = loud.waveform[1][i] = static_cast<int8_t>(i % 2 ? 127 : -128);
  for (auto& channel : loud.spectrum)
    for (auto& bin : channel)
      bin = 255;
  for (const char* file : {kSpectrumFile, kScopeFile}) {
    void* library = dlopen(ShippedPath(file).c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << file << ": " << dlerror();
    auto query = reinterpret_cast<VisualQueryModuleFn>(dlsym(library, "QueryModule"));
    ASSERT_NE(query, nullptr) << file;
    VisualPluginRecord* record = query();
    record->Initialize();
    for (const Size s : {Size{1, 1, 3}, Size{2, 1, 4}, Size{3, 2, 5}, Size{1, 7, 2},
                         Size{700, 3, 701}, Size{257, 2, 260}}) {
      std::vector<uint32_t> pixels(static_cast<size_t>(s.pitch) * s.height, 0xABCDEFu);
      record->Render(pixels.data(), s.width, s.height, s.pitch, &loud);
      for (int32_t y = 0; y < s.height; ++y) {
        for (int32_t x = 0; x < s.pitch; ++x) {
          const uint32_t pixel = pixels[static_cast<size_t>(y) * s.pitch + x];
          if (x >= s.width)
            EXPECT_EQ(pixel, 0xABCDEFu) << file << " wrote into the padding";
          else
            EXPECT_NE(pixel, 0xABCDEFu) << file << " left a pixel undrawn";
        }
      }
    }
    record->Deinitialize();
    dlclose(library);
  }
}

}  // namespace
}  // namespace vk2::test

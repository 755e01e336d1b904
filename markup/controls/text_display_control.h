// The markup text display (`MML_TextDisplay`, window type `TextDisplay`): one text in a font,
// colour and justification that, when it does not fit, scrolls horizontally or vertically,
// wrapping round or going back and forth, after a pause before each run.
//
// A run is a custom command (0x240) of the window with the run's duration; its end (15) starts
// the next run. While a run goes, a repeating repaint of the same span redraws the text at the
// offset the elapsed time gives.
#pragma once

#include <cstdint>
#include <mutex>

#include "markup/controls/control_base.h"
#include "markup/styles/text_font.h"

namespace vk2::markup {

// Scroll-mode bits (the orientation keyword list).
inline constexpr uint32_t kScrollOrientationMask = 0xFF;
inline constexpr uint32_t kScrollHorizontal = 1;
inline constexpr uint32_t kScrollVertical = 2;
inline constexpr uint32_t kScrollPingPong = 0x100;
inline constexpr uint32_t kScrollReverse = 0x10000;

// Kinds of a scroll run.
enum ScrollRun : int32_t {
  kRunNone = 0,
  kRunForward = 1,
  kRunBackward = 2,
  kRunWrap = 3,
};

// The offset in pixels of a run of `kind` after `elapsedMs` of `totalMs`, at `speed` ms per
// pixel (never 0); the wrap run counts modulo `extent`.
int32_t ScrollOffset(int32_t kind, int64_t elapsedMs, int64_t totalMs, int32_t speed,
                     uint32_t extent);

class TextDisplayControl final : public MarkupWindow {
 public:
  explicit TextDisplayControl(MUnknown* controlling) : MarkupWindow(controlling) {}

  // Stores the text; a different one is measured and scrolls from its start.
  void SetText(const TString& text);

  // For tests: what the scroller holds.
  struct Snapshot {
    uint32_t extent = 0;
    bool needsScroll = false;
    int32_t runKind = kRunNone;
    uint64_t runStartMs = 0;
    int32_t runTotalMs = 0;
    int32_t speed = 0;
    int32_t restarts = 0;
  };
  Snapshot State();

  void LoadProperties(MInterfaceDefinition* iface) override;
  int32_t Paint(MCanvas* canvas, const PaintRecord* record) override;
  int32_t Notify(uint32_t code, uintptr_t argument) override;
  int32_t HasNoLook() override { return 0; }

 protected:
  ~TextDisplayControl() override = default;
  void SetUpControl() override;

 private:
  RectI TextRect();
  // Measures the text in the current size: its extent and whether it must scroll.
  void Measure();
  // Cancels what runs and schedules the run after one of `kind` ended (0: a fresh start).
  void Restart(int32_t kind, int32_t extraDelayMs);
  void PostRun(int32_t kind, int32_t startMs, int32_t durationMs);

  std::mutex lock_;  // text, extent, mode and the run: scripts may set the text on any thread
  TString text_;
  uint32_t mode_ = 0;
  int32_t speed_ = 10;
  uint32_t pauseMs_ = 0;
  int32_t edge_[4] = {};
  uint32_t justification_ = 0;
  uint32_t color_ = 0xFF000000;
  TextFont font_;
  bool clipOffsets_ = false;  // read and kept; nothing uses it
  int32_t whitespace_ = 0;
  uint32_t extent_ = 0;
  bool needsScroll_ = false;
  int32_t position_ = 0;
  SizeI measured_;
  bool measuredOnce_ = false;
  int32_t runKind_ = kRunNone;
  uint64_t runStartMs_ = 0;
  int32_t runTotalMs_ = 0;
  int32_t restarts_ = 0;
};

}  // namespace vk2::markup

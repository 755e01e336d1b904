#include "markup/controls/text_display_control.h"

#include <algorithm>
#include <cstdlib>

#include "component/script/handler_call_args.h"
#include "foundation/util/result.h"
#include "interfaces/graphics/canvas.h"
#include "interfaces/graphics/font.h"
#include "markup/controls/control_methods.h"
#include "markup/controls/control_properties.h"
#include "platform/clock.h"

namespace vk2::markup {
namespace {

constexpr uint64_t kTextBlend = 0x1000001000Full | kBlendOpacity;
constexpr int32_t kResizeDelayMs = 500;
constexpr uint32_t kCancelRunning = 10;
// Bounds the durations: a run lasts at most this long, whatever the markup says.
constexpr int64_t kLongestRunMs = 0x7FFFFFFF;

int32_t SetTextMethod(HandlerCall& call) {
  TString text;
  if (CalledWithoutArguments(call) || UnpackScriptArgs(call, u"W", &text) < 0)
    return kMethodBadArguments;
  ControlOfCall<TextDisplayControl>(call)->SetText(text);
  return kMethodDone;
}

constexpr ControlMethod kMethods[] = {{u"SetText", &SetTextMethod, u"Set the display text"}};

int32_t ClampDuration(int64_t ms) {
  return static_cast<int32_t>(std::clamp<int64_t>(ms, 0, kLongestRunMs));
}

}  // namespace

int32_t ScrollOffset(int32_t kind, int64_t elapsedMs, int64_t totalMs, int32_t speed,
                     uint32_t extent) {
  if (speed == 0) speed = 1;
  switch (kind) {
    case kRunForward:
      return static_cast<int32_t>(elapsedMs / speed);
    case kRunBackward:
      return static_cast<int32_t>(totalMs / speed - elapsedMs / speed);
    case kRunWrap: {
      const int64_t offset = elapsedMs / speed;
      return static_cast<int32_t>(extent ? offset % static_cast<int64_t>(extent) : offset);
    }
    default:
      return 0;
  }
}

void TextDisplayControl::SetUpControl() {
  MScriptObject* script = Script();
  if (!script) return;
  RegisterControlMethods(script, this, kMethods);
  script->SetClassName(TString(u"MML_TextDisplay"));
}

void TextDisplayControl::LoadProperties(MInterfaceDefinition* iface) {
  LoadDefinition();
  MWindowDefinition* definition = GetDefinition();
  if (!definition) return;
  LookUpTextFont(iface, TString(), &font_);
  const Element element = PropertyElementOf(definition);
  const ControlProperties properties(element, iface);
  {
    std::lock_guard lock(lock_);
    text_ = properties.Text(u"text");
    mode_ = properties.Orientation(u"scroll_mode", 0);
    speed_ = properties.Integer(u"scroll_speed", 10);
    pauseMs_ = static_cast<uint32_t>(std::max(0, properties.Integer(u"pause_delay", 0)));
  }
  justification_ = properties.Alignment(u"font_justification", 0);
  color_ = properties.Color(u"font_color", color_);
  const TString fontName = properties.Text(u"font_style");
  if (!fontName.IsEmpty()) LookUpTextFont(iface, fontName, &font_);
  properties.IntRect(u"edge_offset_rect", edge_);
  clipOffsets_ = properties.Bool(u"clip_offsets", false);
  whitespace_ = properties.Integer(u"whitespace", 0);
}

void TextDisplayControl::SetText(const TString& text) {
  {
    std::lock_guard lock(lock_);
    if (text_ == text) return;
    text_ = text;
  }
  Measure();
  Restart(kRunNone, 0);
}

TextDisplayControl::Snapshot TextDisplayControl::State() {
  std::lock_guard lock(lock_);
  return Snapshot{extent_, needsScroll_, runKind_, runStartMs_, runTotalMs_, speed_, restarts_};
}

RectI TextDisplayControl::TextRect() {
  SizeI size;
  GetValue(kValueSize, &size, sizeof size);
  return RectI{edge_[0], edge_[1], size.width + edge_[2], size.height + edge_[3]};
}

void TextDisplayControl::Measure() {
  SizeI size;
  GetValue(kValueSize, &size, sizeof size);
  const RectI rect = TextRect();
  // The font is asked for outside the lock: the image service may take its time.
  RefPtr<MFont> font = GetTextFont(font_);
  std::lock_guard lock(lock_);
  measured_ = size;
  measuredOnce_ = true;
  extent_ = 0;
  needsScroll_ = false;
  if (!font) return;
  const auto length = static_cast<int32_t>(text_.Length());
  int32_t available = 0;
  int32_t extent = 0;
  switch (mode_ & kScrollOrientationMask) {
    case kScrollHorizontal:
      extent = font->TextWidth(text_.c_str(), length);
      available = rect.right - rect.left;
      break;
    case kScrollVertical:
      extent = font->WrappedHeight(text_.c_str(), length, rect.right - rect.left, 0);
      available = rect.bottom - rect.top;
      break;
    default:
      return;
  }
  extent_ = static_cast<uint32_t>(std::max(0, extent));
  needsScroll_ = available < extent;
  if (needsScroll_) extent_ += static_cast<uint32_t>(std::max(0, whitespace_));
}

void TextDisplayControl::PostRun(int32_t kind, int32_t startMs, int32_t durationMs) {
  runKind_ = kind;
  runStartMs_ = CurrentClock().NowMs() + static_cast<uint64_t>(std::max(0, startMs));
  runTotalMs_ = durationMs;
  ++restarts_;
  PostCommand(kCmdCustom, startMs, durationMs, static_cast<uintptr_t>(kind), nullptr,
              kCmdOptNotifyEnd, 0);
  PostCommand(kCmdRepaint, startMs, durationMs, 0, nullptr, kCmdOptRepeatEachFrame, 0);
}

void TextDisplayControl::Restart(int32_t kind, int32_t extraDelayMs) {
  const RectI rect = TextRect();
  CancelCommands(kCmdRepaint, 0, -1, 0, kCancelRunning, nullptr, 0);
  CancelCommands(kCmdCustom, 0, -1, 0, kCancelRunning, nullptr, 0);
  // A fresh start shows the text at its start at once; posted before the run's repeating
  // repaint, which would otherwise give way to it.
  if (kind == kRunNone) PostCommand(kCmdRepaint, 0, 0, 0, nullptr, 0, 0);
  {
    std::lock_guard lock(lock_);
    const int32_t start = ClampDuration(int64_t{pauseMs_} + extraDelayMs);
    const int32_t available = (mode_ & kScrollOrientationMask) == kScrollVertical
                                  ? rect.bottom - rect.top
                                  : rect.right - rect.left;
    const int64_t span = static_cast<int64_t>(extent_) - available;
    const int64_t speed = std::llabs(static_cast<int64_t>(speed_));
    const int32_t along = ClampDuration(speed * span);
    const int32_t round = ClampDuration(static_cast<int64_t>(extent_) * speed);
    switch (kind) {
      case kRunNone:
        if (speed_ == 0) speed_ = 1;
        position_ = 0;
        runKind_ = kRunNone;
        if (needsScroll_ && (mode_ & kScrollOrientationMask) != 0) {
          if (mode_ & kScrollPingPong) {
            PostRun((mode_ & kScrollReverse) ? kRunBackward : kRunForward, start,
                    ClampDuration(std::llabs(static_cast<int64_t>(speed_)) * span));
          } else {
            PostRun(kRunWrap, start,
                    ClampDuration(static_cast<int64_t>(extent_) *
                                  std::llabs(static_cast<int64_t>(speed_))));
          }
        }
        break;
      case kRunForward:
        PostRun(kRunBackward, start, along);
        break;
      case kRunBackward:
        PostRun(kRunForward, start, along);
        break;
      case kRunWrap:
        PostRun(kRunWrap, start, round);
        break;
      default:
        break;
    }
  }
}

int32_t TextDisplayControl::Notify(uint32_t code, uintptr_t argument) {
  RefPtr<MWindowElement> keep(static_cast<MWindowElement*>(this));
  if (code == kNotifyCommandEnd && argument) {
    const auto* record = reinterpret_cast<const CommandEndRecord*>(argument);
    int32_t ended = kRunNone;
    {
      std::lock_guard lock(lock_);
      ended = runKind_;
    }
    if (record->code == kCmdCustom && !record->cancelled && ended != kRunNone) Restart(ended, 0);
  }
  return MarkupWindow::Notify(code, argument);
}

int32_t TextDisplayControl::Paint(MCanvas* canvas, const PaintRecord* record) {
  SizeI size;
  GetValue(kValueSize, &size, sizeof size);
  bool remeasure = false, firstSize = false;
  {
    std::lock_guard lock(lock_);
    remeasure = !(size == measured_);
    firstSize = !measuredOnce_ || measured_.width <= 0 || measured_.height <= 0;
  }
  if (remeasure) {
    // A new size (or the first one): the text scrolls afresh, after a while when resized.
    Measure();
    Restart(kRunNone, firstSize ? 0 : kResizeDelayMs);
  }

  uint32_t flags = 0;
  GetValue(kValueStateFlags, &flags, sizeof flags);
  const double factor = (flags & kStateDisabledLook) ? 0.5 : 1.0;
  const auto opacity = static_cast<int32_t>(factor * 256.0);
  bool drew = MarkupWindow::Paint(canvas, record) > 0;
  if (!canvas) return drew ? 1 : 0;

  const RectI rect = TextRect();
  RefPtr<MFont> font = GetTextFont(font_);
  std::lock_guard lock(lock_);
  if (text_.IsEmpty() || !font) return drew ? 1 : 0;
  const uint64_t now = CurrentClock().NowMs();
  const int64_t elapsed =
      now <= runStartMs_ ? 0
                         : std::min<int64_t>(static_cast<int64_t>(now - runStartMs_), runTotalMs_);
  const int32_t offset = ScrollOffset(runKind_, elapsed, runTotalMs_, speed_, extent_);
  const int32_t direction = (mode_ & kScrollReverse) ? -1 : 1;
  const bool vertical = (mode_ & kScrollOrientationMask) == kScrollVertical;
  const auto shift = static_cast<int32_t>(
      std::clamp<int64_t>(static_cast<int64_t>(direction) * offset, -1000000, 1000000));
  const auto extent = static_cast<int32_t>(std::min<uint32_t>(extent_, 1000000));
  RectI first = rect;
  if (vertical) {
    first.top -= shift;
    first.bottom = first.top + extent + 1000;
  } else {
    first.left -= shift;
  }
  RectI second = first;
  if (runKind_ == kRunWrap) {
    if (vertical) {
      second.top += direction * extent;
      second.bottom = second.top + 1000 + extent;
    } else {
      second.left += direction * extent;
      second.right += direction * extent;
    }
  }
  position_ = offset;
  canvas->PushClipRect(rect, kClipIntersect, 1);
  const auto length = static_cast<int32_t>(text_.Length());
  font->DrawText(canvas, text_.c_str(), length, first, justification_, kTextBlend, color_, opacity);
  if (!(second == first))
    font->DrawText(canvas, text_.c_str(), length, second, justification_, kTextBlend, color_,
                   opacity);
  canvas->PopClip(1);
  return 1;
}

}  // namespace vk2::markup

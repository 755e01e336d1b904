#include "gui/equalizer_window/equalizer_window.h"

#include "component/module/runtime_loader.h"
#include "interfaces/graphics/canvas.h"
#include "markup/window/window_font.h"

namespace vk2::gui {
namespace {

constexpr uint32_t kScriptFlags = 0x10000;
// Every channel written, the source over what is there.
constexpr uint64_t kAllChannels = 0xF;

}  // namespace

void EqualizerWindow::Setup() {
  engine_ = CreateRuntimeObject<MScriptEngine>(kMmlModuleClass, kIID_MScriptEngine);
  if (MScriptObject* script = Script()) {
    script->SetClassName(TString(u"Brint Equalizer Window"));
    script->SetVersion(kScriptFlags);
    RegisterEqualizerMethods(script, this);
  }
}

ScriptObjectEqualizer EqualizerWindow::Functions() {
  return ScriptObjectEqualizer(Script(), engine_.Get());
}

EqualizerGeometry EqualizerWindow::Geometry() {
  SizeI size;
  GetValue(kValueSize, &size, sizeof size);
  return EqualizerGeometry{size.width, size.height,
                           markup::FontLineHeight(markup::InheritedWindowFont(this))};
}

void EqualizerWindow::UpdateFromScript(bool gainsOnly) {
  ScriptObjectEqualizer functions = Functions();
  if (bands_.Update(functions, gainsOnly)) Repaint();
}

int32_t EqualizerWindow::OnPaint(MCanvas* canvas, const PaintRecord* record) {
  if (!canvas) return ModuleWindowCore::OnPaint(canvas, record);
  const EqualizerGeometry geometry = Geometry();
  const RectF all{0, 0, static_cast<double>(geometry.width), static_cast<double>(geometry.height)};
  canvas->FillRect(all, kEqualizerBackground, kAllChannels, 256, false);
  const double area = geometry.height - 2.0 * geometry.lineHeight;
  if (area > 0) {
    canvas->FrameRect(RectF{0, 0, static_cast<double>(geometry.width), area}, 1, 1,
                      kEqualizerBandColor, kAllChannels, 256, false);
  }
  const std::vector<EqualizerBand> bands = bands_.Snapshot();
  const int32_t count = static_cast<int32_t>(bands.size());
  MFont* font = markup::InheritedWindowFont(this);
  if (count > 0 && geometry.width > 0) {
    const double spacing = static_cast<double>(geometry.width) / (count + 1);
    for (int32_t i = 0; i < count; ++i) {
      const double centre = (i + 1) * spacing;
      const double level = EqualizerLevelY(bands[i].gain, geometry);
      const double middle = area > 0 ? area / 2 : 0;
      const double top = level < middle ? level : middle;
      const double bottom = level < middle ? middle : level;
      canvas->FillRect(RectF{centre - spacing / 4, top, centre + spacing / 4, bottom + 1},
                       kEqualizerBandColor, kAllChannels, 256, false);
      if (font) {
        const RectI label{static_cast<int32_t>(centre - spacing / 2),
                          static_cast<int32_t>(area > 0 ? area : 0),
                          static_cast<int32_t>(centre + spacing / 2), geometry.height};
        font->DrawText(canvas, bands[i].label.c_str(), -1, label,
                       kTextHCenter | kTextSingleLine | kTextTrimEllipsis, kAllChannels, 0xFFFFFFFF,
                       256);
      }
    }
  }
  ModuleWindowCore::OnPaint(canvas, record);
  return 1;
}

int32_t EqualizerWindow::OnNotify(uint32_t code, uintptr_t argument) {
  if (code == kNotifyCreated) {
    bands_.CancelDrag();
  } else if (code == kNotifyAttached) {
    ScriptObjectEqualizer functions = Functions();
    bands_.ReadAll(functions);
    Repaint();
  }
  return ModuleWindowCore::OnNotify(code, argument);
}

int32_t EqualizerWindow::OnQuery(uint32_t code, uintptr_t a, uintptr_t b, uintptr_t c) {
  const auto* point = reinterpret_cast<const PointI*>(a);
  ScriptObjectEqualizer functions = Functions();
  switch (code) {
    case kQueryLeftDown:
      if (point && bands_.Press(functions, point->x, point->y, Geometry())) Repaint();
      break;
    case kQueryPointerMove:
      if (point && bands_.Move(functions, point->x, point->y, Geometry())) Repaint();
      break;
    case kQueryLeftUp:
    case kQueryCaptureLost:
      if (bands_.Dragging()) {
        bands_.Release(functions);
        Repaint();
      }
      break;
    default:
      break;
  }
  return ModuleWindowCore::OnQuery(code, a, b, c);
}

}  // namespace vk2::gui

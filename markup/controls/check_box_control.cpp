#include "markup/controls/check_box_control.h"

#include <cmath>

#include "foundation/util/result.h"

namespace vk2::markup {
namespace {

constexpr const char16_t* kDefaultMood = u"MML_DlgCheckBoxMood";

int32_t Truncate(double value) {
  // Bounded: the placement comes from markup numbers.
  const double v = std::trunc(value);
  return v > 1e6 ? 1000000 : v < -1e6 ? -1000000 : static_cast<int32_t>(v);
}

}  // namespace

RectI Placement::Place(const RectI& parent) const {
  const double w = parent.right - parent.left, h = parent.bottom - parent.top;
  return RectI{Truncate(parent.left + w * alignment[0] + offset[0]),
               Truncate(parent.top + h * alignment[1] + offset[1]),
               Truncate(parent.left + w * alignment[2] + offset[2]),
               Truncate(parent.top + h * alignment[3] + offset[3])};
}

RectI CheckBoxControl::CaptionRect(const SizeI& size) const {
  RectI rect = caption_.Place(RectI{0, 0, size.width, size.height});
  rect.left += edgeOffset_[0];
  rect.top += edgeOffset_[1];
  rect.right += edgeOffset_[2];
  rect.bottom += edgeOffset_[3];
  return rect;
}

void CheckBoxControl::LoadOwnProperties(const ControlProperties& properties,
                                        MInterfaceDefinition* iface) {
  const TString mood = properties.Text(u"mood_property");
  ReadMood(iface, mood.IsEmpty() ? TString(kDefaultMood) : mood);
  properties.IntRect(u"edge_offset_rect", edgeOffset_);
}

void CheckBoxControl::ReadMood(MInterfaceDefinition* iface, const TString& name) {
  if (!iface) return;
  MXmlNode* node = nullptr;
  if (iface->GetProperty(name.c_str(), &node) != kOk || !node) return;
  const Element mood(RefPtr<MXmlNode>::Adopt(node));
  const ControlProperties properties(mood, iface);
  properties.Rect(u"checkbox_offset", check_.offset);
  properties.Rect(u"checkbox_alignment", check_.alignment);
  properties.Rect(u"text_offset", caption_.offset);
  properties.Rect(u"text_alignment", caption_.alignment);

  // The mood's state styles fill in what the window does not name itself. (They go into the
  // window definition, which windows made from it later share.)
  MWindowDefinition* definition = GetDefinition();
  if (!definition) return;
  for (int32_t state = 0; state < 2; ++state) {
    const TString styleName = TString::Format(u"state%d", state);
    RefPtr<MImageStyleDrawing> own;
    if (definition->FindImageStyle(styleName.c_str(), own.Put()) == kOk && own) continue;
    const TString moodName = properties.Text(TString::Format(u"state%d_imagestyle", state).c_str());
    if (RefPtr<MImageStyleDrawing> style = InterfaceImageStyle(iface, moodName))
      definition->SetImageStyle(styleName.c_str(), style.Get());
  }
}

int32_t CheckBoxControl::Paint(MCanvas* canvas, const PaintRecord* record) {
  const RectI bounds = Bounds();
  const SizeI size{bounds.right, bounds.bottom};
  const double opacity = Opacity();
  bool drew = DrawStates(canvas, CheckRect(size), opacity);
  MWindowElement* part = Part();
  drew |= part && part->Paint(canvas, record) > 0;
  drew |= DrawCaption(canvas, CaptionRect(size), opacity);
  return drew ? 1 : 0;
}

}  // namespace vk2::markup

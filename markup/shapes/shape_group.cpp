#include "markup/shapes/shape_group.h"

#include <mutex>
#include <new>

#include "markup/module/module_objects.h"
#include "markup/parse/identifiers.h"
#include "markup/report/error_sink.h"
#include "markup/services/markup_services.h"
#include "markup/styles/image_style.h"

namespace vk2::markup {
namespace {

RefPtr<Shape> MakeShapePrimitive(std::u16string_view tag) {
  if (tag == u"shape_rect") return Shape::Make(Shape::Kind::kRect);
  if (tag == u"shape_ellipse") return Shape::Make(Shape::Kind::kEllipse);
  if (tag == u"shape_roundrect") return Shape::Make(Shape::Kind::kRoundRect);
  if (tag == u"shape_raster") return Shape::Make(Shape::Kind::kRaster);
  return nullptr;
}

}  // namespace

RefPtr<ShapeGroup> ShapeGroup::Make() {
  return RefPtr<ShapeGroup>(new (std::nothrow) ShapeGroup());
}

bool ShapeGroup::Load(const StyleScope& scope, const Element& element) {
  if (!element) return false;
  if (name_.IsEmpty()) name_ = ReadIdentifierAttribute(element, u"name", u"_unnamed_");
  // The combine word is the section's text between the previous child and this one.
  const TString text = element.Text();
  int32_t previousEnd = 0;
  for (const Element& child : element.Children(nullptr)) {
    int32_t position = child.TextPosition();
    int32_t end = position < 0 ? previousEnd : std::min<int32_t>(position, text.Length());
    std::u16string_view word;
    if (end > previousEnd) word = text.view().substr(previousEnd, end - previousEnd);
    if (end > previousEnd) previousEnd = end;
    if (!LanguageAllows(child, scope.language)) continue;
    TString tag = child.Tag();
    if (tag == u"include") {
      TString source = child.Attribute(u"source");
      StyleScope inner = scope.Nested();
      RefPtr<ShapeGroup> included = FindShape(inner, source.view(), &child);
      if (!included) {
        if (inner.depth <= kMaxStyleNesting)
          ReportMmlError(&child, TString::Format(u"source=\"%s\"\nNot found.\n", source));
        continue;
      }
      for (const auto& primitive : included->primitives_)
        primitives_.push_back(primitive);
      continue;
    }
    RefPtr<Shape> primitive = MakeShapePrimitive(tag.view());
    if (!primitive || !primitive->Parse(scope, child)) continue;
    primitive->SetCombineMode(CombineModeOfWord(word));
    primitives_.push_back(primitive);
  }
  return true;
}

bool ShapeGroup::EnsureMask(const RectI& rect) {
  if (valid_ && rect == built_) return mask_ != nullptr;
  const int32_t w = rect.Width() > 0 ? rect.Width() : 0, h = rect.Height() > 0 ? rect.Height() : 0;
  SurfaceView view;
  if (!mask_ || mask_->GetView(&view) != 0 || view.width != w || view.height != h) {
    mask_ = nullptr;
    RefPtr<MThreadImageService> images = ImageService();
    if (!images || images->CreateMask(w, h, mask_.Put()) != 0) mask_ = nullptr;
  }
  built_ = rect;
  valid_ = true;
  ++builds_;
  if (!mask_) return false;
  mask_->CombineRect(RectI{}, kClipReplace);
  const RectI local{0, 0, w, h};
  bool any = false;
  for (const auto& primitive : primitives_)
    any |= primitive->Apply(local, mask_.Get());
  if (!any) mask_->CombineRect(local, kClipReplace);
  return true;
}

bool ShapeGroup::ClipCanvas(const RectI& rect, MCanvas* canvas, int32_t mode, int32_t push) {
  if (!canvas) return false;
  std::lock_guard lock(StyleLock());
  SurfaceView view;
  if (!EnsureMask(rect) || mask_->GetView(&view) != 0) {
    canvas->PushClipRect(rect, mode, push);
    return true;
  }
  canvas->ClipToMask(view, rect.left, rect.top, mode, push);
  return true;
}

bool ShapeGroup::ApplyToWindow(const RectI& rect, MMaskImage* target) {
  if (!target) return false;
  std::lock_guard lock(StyleLock());
  if (!EnsureMask(rect)) {
    target->CombineRect(rect, kClipReplace);
    return true;
  }
  target->CombineMask(mask_.Get(), rect.left, rect.top, kClipReplace);
  return true;
}

int32_t ShapeGroup::HitTest(const RectI& rect, int32_t x, int32_t y) {
  std::lock_guard lock(StyleLock());
  if (!EnsureMask(rect)) return 0;
  return mask_->Value(x - rect.left, y - rect.top);
}

RefPtr<ShapeGroup> LoadShape(const StyleScope& scope, const Element& element) {
  return LoadStyleGroup<ShapeGroup>(scope, element);
}

RefPtr<ShapeGroup> FindShape(const StyleScope& scope, std::u16string_view name,
                             const Element* reportOn) {
  return FindStyleGroup<ShapeGroup>(scope, name, reportOn, &MInterfaceDefinition::GetShape);
}

}  // namespace vk2::markup

#include "markup/styles/window_styles.h"

#include <new>
#include <utility>

#include "component/object/com_object.h"
#include "markup/shapes/shape_group.h"
#include "markup/styles/style_library.h"

namespace vk2::markup {
namespace {

class GroupDrawing final : public ComObject<GroupDrawing, SilentFace<MImageStyleDrawing>> {
 public:
  explicit GroupDrawing(RefPtr<ImageStyleGroup> group) : group_(std::move(group)) {}

  int32_t Draw(const RectI& rect, MCanvas* canvas, uint32_t stateMask, double opacity,
               const VisualParameters& p) override {
    const AnimationParams params{p.opacity, p.angle, p.time, p.zoom, p.position};
    return group_->Draw(rect, canvas, stateMask, params, opacity) ? 1 : 0;
  }
  int32_t CountStyles(uint32_t stateMask) override {
    int32_t count = 0;
    for (const RefPtr<ImageStyle>& primitive : group_->Primitives())
      count += (primitive->GetStates() & stateMask) != 0 ? 1 : 0;
    return count;
  }

 private:
  ~GroupDrawing() override = default;
  RefPtr<ImageStyleGroup> group_;
};

class ShapeDrawing final : public ComObject<ShapeDrawing, SilentFace<MShapeDrawing>> {
 public:
  explicit ShapeDrawing(RefPtr<ShapeGroup> shape) : shape_(std::move(shape)) {}

  int32_t RegionOperation(const RectI& rect, MMaskImage* target) override {
    return shape_->ApplyToWindow(rect, target) ? 1 : 0;
  }

 private:
  ~ShapeDrawing() override = default;
  RefPtr<ShapeGroup> shape_;
};

}  // namespace

RefPtr<MImageStyleDrawing> ReadWindowImageStyle(const Element& element,
                                                InterfaceDefinition* owner) {
  RefPtr<ImageStyleGroup> group = LoadImageStyle(StyleScope::Of(owner), element);
  if (!group) return nullptr;
  return RefPtr<MImageStyleDrawing>(new (std::nothrow) GroupDrawing(std::move(group)));
}

RefPtr<MShapeDrawing> ReadWindowShape(const Element& element, InterfaceDefinition* owner) {
  RefPtr<ShapeGroup> shape = LoadShape(StyleScope::Of(owner), element);
  if (!shape) return nullptr;
  return RefPtr<MShapeDrawing>(new (std::nothrow) ShapeDrawing(std::move(shape)));
}

}  // namespace vk2::markup

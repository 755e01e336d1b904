#include "markup/module/markup_utility.h"

#include "component/object/com_object.h"
#include "interfaces/ids.h"
#include "markup/definition/state_styles.h"

namespace vk2::markup {
namespace {

class MarkupUtilityObject final
    : public ComObject<MarkupUtilityObject, Face<MMarkupUtility, kIID_MMarkupUtility>> {
 public:
  MarkupUtilityObject() : ComObject(Lifetime::kOwnedElsewhere) {}

  int32_t DrawStateStyles(const RectI& rect, MCanvas* canvas, MImageStyleDrawing* background,
                          MImageStyleDrawing* const* styles, int32_t count, const double* weights,
                          int32_t weightCount, int32_t composite,
                          const VisualParameters& params) override {
    StateStyleSet set;
    set.background = background;
    set.styles = styles;
    set.count = count;
    set.weights = weights;
    set.weightCount = weightCount;
    return markup::DrawStateStyles(rect, canvas, set, composite != 0, 1.0, params) ? 1 : 0;
  }
};

}  // namespace

MMarkupUtility* MarkupUtility() {
  static MarkupUtilityObject object;
  return &object;
}

}  // namespace vk2::markup

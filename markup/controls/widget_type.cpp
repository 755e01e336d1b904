#include "markup/controls/widget_type.h"

#include <new>

#include "component/object/com_object.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "interfaces/markup/widget_type.h"
#include "markup/controls/widget_kinds.h"

namespace vk2::markup {
namespace {

class WidgetTypeObject final
    : public ComObject<WidgetTypeObject, Face<MWidgetType, kIID_MWidgetType>> {
 public:
  explicit WidgetTypeObject(const WidgetKind& kind) : kind_(kind) {}

  int32_t Create(MUnknown* outer, MUnknown** out) override {
    if (!out) return kErrMissingArg;
    *out = nullptr;
    if (outer) return AggregateWidget(kind_, outer, out, nullptr);
    RefPtr<MarkupWindow> window = MakeWidget(kind_);
    if (!window) return kErrOutOfMemory;
    *out = static_cast<MWindowElement*>(window.Detach());
    return kOk;
  }

  MWindowElement* LoadProperties(MWindowElement* window, MWindowDefinition* definition,
                                 MInterfaceDefinition* iface) override {
    MarkupWindow* wrapper = MarkupWindow::From(window);
    if (!wrapper) return nullptr;
    if (definition) wrapper->SetDefinition(definition);
    wrapper->LoadProperties(iface);
    return window;
  }

 private:
  ~WidgetTypeObject() override = default;
  const WidgetKind& kind_;
};

}  // namespace

int32_t CreateWidgetTypeInstance(const Guid& classId, const Guid& iid, void** out) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  const WidgetKind* kind = FindWidgetKind(classId);
  if (!kind || iid != kIID_MWidgetType) return kErrNoInterface;
  auto* type = new (std::nothrow) WidgetTypeObject(*kind);
  if (!type) return kErrOutOfMemory;
  type->AddRef();
  *out = static_cast<MWidgetType*>(type);
  return kOk;
}

}  // namespace vk2::markup

#include "markup/controls/widget_kinds.h"

#include "interfaces/ids.h"
#include "markup/controls/button_control.h"
#include "markup/controls/check_box_control.h"
#include "markup/controls/control_base.h"
#include "markup/controls/edit_box.h"
#include "markup/controls/fill_bar.h"
#include "markup/controls/picker.h"
#include "markup/controls/selection_list.h"
#include "markup/controls/spin_button.h"
#include "markup/controls/text_display_control.h"

namespace vk2::markup {
namespace {

const WidgetKind kKinds[] = {
    {&kGenericWindowClass, &kIID_MWindowElement, &MarkupWindow::Make},
    {&kButtonClass, &kIID_MButton, &MakeWrapper<ButtonControl>},
    {&kDlgCheckBoxClass, &kIID_MButton, &MakeWrapper<CheckBoxControl>},
    {&kSpinButtonClass, &kIID_MSpinButton, &MakeWrapper<SpinButton>},
    {&kFillBarClass, &kIID_MFillBar, &MakeWrapper<FillBar>},
    {&kPickerClass, &kIID_MPicker, &MakeWrapper<Picker>},
    {&kSelectionListClass, &kIID_MSelectionList, &MakeWrapper<SelectionList>},
    {&kEditBoxClass, &kIID_MEditBox, &MakeWrapper<EditBox>},
    {&kTextDisplayClass, &kIID_MWindowElement, &MakeWrapper<TextDisplayControl>},
};

}  // namespace

const WidgetKind* FindWidgetKind(const Guid& classId) {
  for (const WidgetKind& kind : kKinds)
    if (*kind.classId == classId) return &kind;
  return nullptr;
}

RefPtr<MarkupWindow> MakeWidget(const WidgetKind& kind) {
  return MarkupWindow::CreateWith(*kind.partIid, kind.make);
}

int32_t AggregateWidget(const WidgetKind& kind, MUnknown* outer, MUnknown** inner,
                        MarkupWindow** window) {
  return MarkupWindow::CreateAggregatedWith(outer, inner, window, kind.make);
}

}  // namespace vk2::markup

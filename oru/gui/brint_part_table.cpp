// The window parts BrintClass makes, by interface. Control parts add their rows here.
#include "interfaces/ids.h"
#include "oru/gui/brint_class.h"
#include "oru/gui/controls/button_part.h"
#include "oru/gui/controls/edit_box_part.h"
#include "oru/gui/controls/fill_bar_part.h"
#include "oru/gui/controls/picker_part.h"
#include "oru/gui/controls/scroll_bar_part.h"
#include "oru/gui/controls/selection_list_part.h"
#include "oru/gui/controls/spin_button_part.h"
#include "oru/gui/dialogs/dialogs.h"
#include "oru/gui/listview/list_view_part.h"
#include "oru/gui/window/plain_window_part.h"

namespace vk2::gui {

const BrintPartRow kBrintPartTable[] = {
    {&kIID_MWindowElement, &PlainWindowPart::Create},
    {&kIID_MBrintWindow, &PlainWindowPart::Create},
    // Control parts, and the dialogs (made only without an outer object).
    {&kIID_MButton, &ButtonPart::Create},
    {&kIID_MFillBar, &FillBarPart::Create},
    {&kIID_MEditBox, &EditBoxPart::Create},
    {&kIID_MSpinButton, &SpinButtonPart::Create},
    {&kIID_MScrollBar, &ScrollBarPart::Create},
    {&kIID_MScrollBarPart, &ScrollArrowPart::Create},
    {&kIID_MSelectionList, &SelectionListPart::Create},
    {&kIID_MPicker, &PickerPart::Create},
    {&kIID_MPlaylistView, &ListViewPart::Create},
    {&kIID_MOpenFileDialog, &CreateDialogForBrint},
    {&kIID_MSaveFileDialog, &CreateDialogForBrint},
    {&kIID_MMessageBox, &CreateDialogForBrint},
};
const int32_t kBrintPartCount = sizeof(kBrintPartTable) / sizeof(kBrintPartTable[0]);

}  // namespace vk2::gui

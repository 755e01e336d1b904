// The window parts BrintClass makes, by interface. Control parts add their rows here.
#include "interfaces/ids.h"
#include "oru/gui/brint_class.h"
#include "oru/gui/window/plain_window_part.h"

namespace vk2::gui {

const BrintPartRow kBrintPartTable[] = {
    {&kIID_MWindowElement, &PlainWindowPart::Create},
    {&kIID_MBrintWindow, &PlainWindowPart::Create},
};
const int32_t kBrintPartCount = sizeof(kBrintPartTable) / sizeof(kBrintPartTable[0]);

}  // namespace vk2::gui

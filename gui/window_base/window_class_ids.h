// The module's window classes and what they name.
#pragma once

#include "foundation/util/guid.h"

namespace vk2 {

// The category of the named windows scripts open with DisplayWindow.
inline constexpr Guid kCategoryGuiWindows = MakeGuid("97977E34-AD6E-44A1-91F1-23A406587F3D");
inline constexpr Guid kMenuWindowClass = MakeGuid("02908D92-3B57-422C-B14A-31BC8379F04F");
inline constexpr Guid kConsoleWindowClass = MakeGuid("D30D93AA-EE5E-4D4C-8478-58044ABC45EC");
inline constexpr Guid kSettingsWindowClass = MakeGuid("BDF7BA75-B066-41EE-9495-2C3982E960E4");
inline constexpr Guid kOnlineWindowClass = MakeGuid("5D82D185-E90F-41F0-B069-4AA1A5F24804");
inline constexpr Guid kViewerWindowClass = MakeGuid("3C8D8633-086F-4568-B078-6C4F1128DAC0");
inline constexpr Guid kFontElementClass = MakeGuid("A22BA869-CF90-42F2-AA81-2A5890A49A3E");
inline constexpr Guid kEqualizerElementClass = MakeGuid("2902361A-A4D9-4CDA-855B-B13BA8C6956C");
// A pane class that fails is replaced by this one, which says there is nothing to set.
inline constexpr Guid kNoSettingsClass = MakeGuid("B96882D0-BCC6-405D-ABAA-1B4CDC672A74");

}  // namespace vk2

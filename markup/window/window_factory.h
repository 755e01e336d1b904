// Making windows from window definitions: the widget of the definition's type, its definition,
// scripts and dock points, its placement under a parent (or a new host) and, when asked, its
// child windows. OnInit reaches them from the GUI layer once the whole tree stands.
#pragma once

#include <cstdint>

#include "interfaces/markup/interface_definition.h"
#include "markup/definition/window_definition.h"

namespace vk2::markup {

class InterfaceDefinition;

// The property under which a window keeps the interface definition it was made from.
inline constexpr const char16_t* kInterfaceProperty = u"MML_IfaceDefObj";

// 0, kCreateChildFailed when a descendant failed, negative when the window was not made.
int32_t CreateWindowTree(InterfaceDefinition* owner, WindowDefinition* definition,
                         const WindowCreateRequest& request, RefPtr<MWindowElement>* out);

// AggregateWidget of an interface definition: a window of any markup type.
int32_t AggregateMarkupWidget(InterfaceDefinition* owner, MUnknown* outer, const Guid& classId,
                              MWindowDefinition* definition, MUnknown** inner);

// The interface definition a window was made from (no reference), or null.
MInterfaceDefinition* InterfaceOfWindow(MWindowElement* window);

}  // namespace vk2::markup

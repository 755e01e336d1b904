// The class objects' creation functions of the module's window classes, for the module's class
// table: each makes its window aggregated into `outer` (a base object gathering a window's
// parts) or on a base of its own.
#pragma once

#include <cstdint>

#include "foundation/util/guid.h"
#include "interfaces/unknown.h"

namespace vk2::gui {

int32_t CreateEqualizerWindowObject(const Guid& iid, void** out, MUnknown* outer);
int32_t CreateConsoleWindowObject(const Guid& iid, void** out, MUnknown* outer);
int32_t CreateTopMenuWindowObject(const Guid& iid, void** out, MUnknown* outer);
int32_t CreateViewerWindowObject(const Guid& iid, void** out, MUnknown* outer);
int32_t CreateOnlineWindowObject(const Guid& iid, void** out, MUnknown* outer);
// The visual window's element type: a new type object for MWidgetType.
int32_t CreateVisualWindowType(const Guid& iid, void** out, MUnknown* outer);

}  // namespace vk2::gui

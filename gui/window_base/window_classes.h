// The class objects' creation functions of the module's named window classes, for the module's
// class table: each makes its window aggregated into `outer` (a base object gathering a window's
// parts) or on a base of its own.
#pragma once

#include <cstdint>

#include "foundation/util/guid.h"
#include "interfaces/unknown.h"

namespace vk2::gui {

int32_t CreateConsoleWindowObject(const Guid& iid, void** out, MUnknown* outer);
int32_t CreateTopMenuWindowObject(const Guid& iid, void** out, MUnknown* outer);
int32_t CreateViewerWindowObject(const Guid& iid, void** out, MUnknown* outer);
int32_t CreateOnlineWindowObject(const Guid& iid, void** out, MUnknown* outer);
int32_t CreateSettingsWindowObject(const Guid& iid, void** out, MUnknown* outer);

// The window-element classes' creation functions: each hands out a new type object for
// MWidgetType, which makes the elements and loads their style.
int32_t CreateInterfaceWindowType(const Guid& iid, void** out, MUnknown* outer);
int32_t CreateDisplayWindowType(const Guid& iid, void** out, MUnknown* outer);
int32_t CreateEqualizerWindowType(const Guid& iid, void** out, MUnknown* outer);
int32_t CreatePlaylistWindowType(const Guid& iid, void** out, MUnknown* outer);
int32_t CreateBorderWindowType(const Guid& iid, void** out, MUnknown* outer);
int32_t CreateStatusBarWindowType(const Guid& iid, void** out, MUnknown* outer);
int32_t CreateVisualWindowType(const Guid& iid, void** out, MUnknown* outer);

}  // namespace vk2::gui

// The media core module's objects, one set per process: the media core, the loaders, the
// notification thread and the shared id counter, made on first request (under one lock, so two
// threads asking at once get the same object) and let go at the module's last detach.
#pragma once

#include <cstdint>

#include "foundation/util/guid.h"

namespace vk2 {

struct PlaylistFormat;

// The object the media core class answers for `id` (kIID_MCore, kIID_GenericLoader,
// kIID_MNotificationThread, kIID_SharedCounter), one reference for the caller. The core
// script objects are not served (kErrNoInterface), nor any other id; kErrOutOfMemory when the
// object cannot be made.
int32_t GetCoreObjectByClassId(const Guid& id, void** out);

// The loader of one format, for its loader class.
int32_t GetFormatLoader(const PlaylistFormat& format, void** out);

// Lets go of every module object (last detach). Objects still held elsewhere live on.
void ReleaseCoreModuleObjects();

}  // namespace vk2

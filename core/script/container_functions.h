// The script functions of the `players` and `playlists` containers, and the audio device list
// functions that `players` carries besides.
#pragma once

#include "core/script/script_container.h"

namespace vk2 {

void RegisterContainerFunctions(MScriptObject* script, ContainerFunctionTarget* target,
                                bool playlists);
void RegisterDeviceListFunctions(MScriptObject* script);

}  // namespace vk2

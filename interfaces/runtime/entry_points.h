// The exported entry points of the runtime and of every module, with their C types.
#pragma once

#include <cstdint>

#include "foundation/util/guid.h"

namespace vk2 {
class MUnknown;
class MRegistrar;
}  // namespace vk2

extern "C" {
// Runtime: creates any class, own or a module's. 0 and one reference in `*out`, else `*out` null.
using MCreateInstanceFn = int32_t (*)(const vk2::Guid* classId, const vk2::Guid* iid, void** out,
                                      vk2::MUnknown* outer);
// Runtime and modules: 1 after loading (0 refuses), -1 before unloading.
using DllAttachFn = int32_t (*)(int32_t reason);
// Modules: the class object of a served class, or -15 and a null `*out`.
using MIFactoryFn = int32_t (*)(const vk2::Guid* classId, void** out);
// Modules: registers (mode 1) or unregisters (mode 0) the module's classes with `registrar`,
// passing `context` back with every class.
using RegisterOruFn = int32_t (*)(int32_t mode, vk2::MRegistrar* registrar, uintptr_t context);
}

namespace vk2 {

inline constexpr char kExportMCreateInstance[] = "MCreateInstance";
inline constexpr char kExportDllAttach[] = "DLLAttach";
inline constexpr char kExportMIFactory[] = "MIFactory";
inline constexpr char kExportRegisterOru[] = "RegisterORU";

inline constexpr int32_t kAttachReason = 1;
inline constexpr int32_t kDetachReason = -1;

inline constexpr int32_t kRegisterMode = 1;
inline constexpr int32_t kUnregisterMode = 0;

}  // namespace vk2

// File-type associations of the program: its program identifier "Velkora2.File" and the
// extensions that name it, in the registry stand-in under HKEY_CLASSES_ROOT, reflected onto the
// Linux desktop as a desktop entry and the MIME defaults of mimeapps.list, so that the file
// manager opens associated files with the player. A previous owner of an extension is kept
// ("Velkora2_Old", and beside it the previous desktop default) and given back on unregister.
#pragma once

#include <cstdint>
#include <string>

namespace vk2 {

// A registry write that failed.
inline constexpr int32_t kAssociationRegistryFailure = -25;

// The program identifier's keys and the desktop entry for the program at `programPath`.
void CreateProgIdKeys(const std::string& programPath);
// `extension` without its dot, UTF-8. 0, or kAssociationRegistryFailure.
int32_t SetExtensionAssociation(const std::string& extension, bool registered);
// 1 when the extension's default value names the program identifier (any case), else 0.
int32_t IsExtensionAssociated(const std::string& extension);

// The MIME type the desktop knows the extension by ("mp3" -> "audio/mpeg"); empty when the
// extension has none the program reflects.
std::string MimeTypeOfExtension(const std::string& extension);

}  // namespace vk2

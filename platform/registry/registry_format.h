// The registry file: a small XML document of nested keys and typed values.
//
//   <?xml version="1.0" encoding="UTF-8"?>
//   <registry version="1">
//     <key name="HKEY_CLASSES_ROOT">
//       <key name="ORU">
//         <value name="sharedpath" type="string">/opt/velkora2/lib/velkora2/oru.so</value>
//       </key>
//     </key>
//   </registry>
//
// The reader accepts exactly this shape (plus comments and processing instructions between
// elements) and rejects anything else with a message naming the line.
#pragma once

#include <string>
#include <string_view>

#include "platform/registry/registry_tree.h"

namespace vk2::registry {

// Fills `root` (whose children become the top keys). False with `error` set on bad input;
// `root` is then left empty.
bool ParseRegistryText(std::string_view text, RegistryKey* root, std::string* error);
std::string FormatRegistryText(const RegistryKey& root);

}  // namespace vk2::registry

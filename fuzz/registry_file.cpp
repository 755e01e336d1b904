// The registry file reader: any bytes give a tree or an error, and a tree read back from its own
// written form is the same tree.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/registry/registry_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  vk2::registry::RegistryKey root;
  std::string error;
  if (!vk2::registry::ParseRegistryText(text, &root, &error)) {
    if (error.empty() || !root.Children().empty()) std::abort();
    return 0;
  }
  std::string written = vk2::registry::FormatRegistryText(root);
  vk2::registry::RegistryKey again;
  if (!vk2::registry::ParseRegistryText(written, &again, &error)) std::abort();
  if (!(again == root)) std::abort();
  return 0;
}

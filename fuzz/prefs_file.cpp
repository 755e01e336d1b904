// The preferences file reader: any bytes give a tree or an error; what it writes it reads back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "oru/services/prefs/preference_tree.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  vk2::oru::PrefSection root;
  std::string error;
  if (!vk2::oru::ParsePreferencesText(text, &root, &error)) return 0;
  std::string written = vk2::oru::FormatPreferencesText(root);
  vk2::oru::PrefSection again;
  if (!vk2::oru::ParsePreferencesText(written, &again, &error)) std::abort();
  if (vk2::oru::FormatPreferencesText(again) != written) std::abort();
  return 0;
}

// The language file reader: any bytes give languages or an error, never a crash.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "oru/services/language/language_data.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<vk2::oru::Language> languages;
  std::string error;
  vk2::oru::ParseLanguageText(std::string_view(reinterpret_cast<const char*>(data), size),
                              &languages, &error);
  vk2::oru::LanguageData merged;
  std::lock_guard lock(merged.Mutex());
  merged.Merge(std::move(languages));
  return 0;
}

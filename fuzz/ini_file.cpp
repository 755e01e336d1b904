// The INI reader: any text parses, and writing it back gives the same lines.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "oru/services/ini/ini_document.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vk2::oru::IniDocument doc;
  doc.Parse(std::string_view(reinterpret_cast<const char*>(data), size));
  std::string written = doc.Format();
  vk2::oru::IniDocument again;
  again.Parse(written);
  if (again.Format() != written) std::abort();
  doc.Set("section", "key", "value");
  if (doc.Get("SECTION", "KEY") != "value") std::abort();
  return 0;
}

// Output device property names ("outputdevice<n>") and device naming, against the rules stated
// plainly: strtol with base 0 over the digits after the prefix, signs refused, n below the count.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "audio/common/device_names.h"

namespace {

int32_t Reference(const std::u16string& name, uint32_t count, uint32_t* index) {
  const std::u16string prefix = u"outputdevice";
  if (name.size() < prefix.size()) return -5;
  for (size_t i = 0; i < prefix.size(); ++i) {
    char16_t c = name[i];
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
    if (c != prefix[i]) return -5;
  }
  std::string rest;
  for (size_t i = prefix.size(); i < name.size() && name[i] != 0; ++i) {
    rest += name[i] < 128 ? static_cast<char>(name[i]) : '#';
  }
  if (rest.empty() || rest[0] == '-' || rest[0] == '+' || rest[0] == ' ' || rest[0] == '\t' ||
      rest[0] == '\n' || rest[0] == '\r' || rest[0] == '\v' || rest[0] == '\f') {
    return -5;
  }
  char* end = nullptr;
  const unsigned long long v = std::strtoull(rest.c_str(), &end, 0);
  if (end == rest.c_str()) return -5;
  // "0x" without hex digits reads as 0 for strtoull; the engine wants digits after "0x".
  if ((rest.rfind("0x", 0) == 0 || rest.rfind("0X", 0) == 0) && end == rest.c_str() + 1) return -5;
  if (v >= count) return -5;
  *index = static_cast<uint32_t>(v);
  return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint32_t count = data[0] % 20;
  std::u16string name(u"outputdevice");
  for (size_t i = 1; i + 1 < size && name.size() < 64; i += 2) {
    name += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
  }
  if (size > 1 && (data[1] & 1)) name = name.substr(12);  // sometimes without the prefix
  uint32_t a = 0;
  uint32_t b = 0;
  const int32_t got = vk2::ParseOutputDeviceIndex(name.c_str(), count, &a);
  const int32_t want = Reference(name, count, &b);
  if (got != want || (got == 0 && a != b)) std::abort();
  if (got == 0 && a >= count) std::abort();

  std::vector<vk2::TString> descriptions;
  for (size_t i = 0; i < size && descriptions.size() < 12; ++i) {
    descriptions.push_back(vk2::TString(data[i] % 3 == 0 ? u"Speakers" : u"USB"));
  }
  const auto names = vk2::NameDevices(descriptions);
  if (names.size() != descriptions.size()) std::abort();
  return 0;
}

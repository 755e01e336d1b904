#include "audio/common/device_names.h"

#include "foundation/util/result.h"

namespace vk2 {

std::vector<DeviceName> NameDevices(const std::vector<TString>& descriptions) {
  std::vector<DeviceName> out(descriptions.size());
  for (size_t i = 0; i < descriptions.size(); ++i) {
    out[i].description = descriptions[i];
    out[i].duplicate = 0;
    for (size_t j = i; j-- > 0;) {
      if (descriptions[j] == descriptions[i]) {
        out[i].duplicate = out[j].duplicate + 1;
        break;
      }
    }
  }
  for (size_t i = 0; i < out.size(); ++i) {
    bool later = false;
    for (size_t j = i + 1; j < out.size() && !later; ++j)
      later = descriptions[j] == descriptions[i];
    if (out[i].duplicate == 0 && !later) {
      out[i].name = descriptions[i];
    } else {
      out[i].name = TString::Format(u"%s%d", descriptions[i].c_str(),
                                    static_cast<int32_t>(out[i].duplicate + 1));
    }
  }
  return out;
}

int32_t ParseOutputDeviceIndex(const char16_t* name, uint32_t count, uint32_t* index) {
  static constexpr char16_t kPrefix[] = u"outputdevice";
  constexpr int32_t kPrefixLength = 12;
  if (!name || WideCompare(name, kPrefix, false, kPrefixLength) != 0) return kErrNotFound;
  const char16_t* p = name + kPrefixLength;
  if (*p == u'-' || *p == u'+') return kErrNotFound;  // a signed index is never a device
  // Read as strtol with base 0 reads: the leading digits count, the rest is ignored.
  int base = 10;
  bool digits = false;
  if (p[0] == u'0' && (p[1] == u'x' || p[1] == u'X')) {
    base = 16;
    p += 2;
  } else if (p[0] == u'0') {
    base = 8;
    digits = true;
    ++p;
  }
  uint64_t value = 0;
  for (; *p; ++p) {
    int digit = -1;
    if (*p >= u'0' && *p <= u'9') digit = *p - u'0';
    if (*p >= u'a' && *p <= u'f') digit = *p - u'a' + 10;
    if (*p >= u'A' && *p <= u'F') digit = *p - u'A' + 10;
    if (digit < 0 || digit >= base) break;
    digits = true;
    value = value * base + static_cast<uint64_t>(digit);
    if (value >= count) return kErrNotFound;
  }
  if (!digits || value >= count) return kErrNotFound;
  *index = static_cast<uint32_t>(value);
  return kOk;
}

}  // namespace vk2

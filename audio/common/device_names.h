// Names of the devices an output device library lists, and the "outputdevice<n>" property.
//
// Devices are listed in the platform's order with their description texts. An entry's duplicate
// number is one more than that of the latest earlier entry with the same description (0 when
// there is none); its name is the description alone when its duplicate number is 0 and no later
// entry has the same description, otherwise the description followed by the duplicate number
// plus 1. So two devices described alike are named with 1 and 2 after the description.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/text/tstring.h"

namespace vk2 {

struct DeviceName {
  TString name;
  TString description;
  uint32_t duplicate = 0;  // the (duplicate + 1)-th device of this description
};

std::vector<DeviceName> NameDevices(const std::vector<TString>& descriptions);

// The index n of a property name "outputdevice" followed by a number (decimal, hexadecimal after
// "0x", octal after a leading 0; what follows the digits is ignored). The first 12 characters
// are compared without regard to case. -5 for another name, no digits, a signed number (a
// negative index would read outside the list) or one not below `count`.
int32_t ParseOutputDeviceIndex(const char16_t* name, uint32_t count, uint32_t* index);

}  // namespace vk2

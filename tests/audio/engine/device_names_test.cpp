#include "audio/common/device_names.h"

#include <gtest/gtest.h>

#include "foundation/util/result.h"
#include "tests/fixtures/audio/tstring_printer.h"

namespace vk2 {
namespace {

TEST(DeviceNames, DuplicatesAreNumberedFromOne) {
  const auto names = NameDevices({u"Speakers", u"USB", u"Speakers", u"HDMI", u"Speakers"});
  ASSERT_EQ(names.size(), 5u);
  EXPECT_EQ(names[0].name, u"Speakers1");
  EXPECT_EQ(names[1].name, u"USB");
  EXPECT_EQ(names[2].name, u"Speakers2");
  EXPECT_EQ(names[3].name, u"HDMI");
  EXPECT_EQ(names[4].name, u"Speakers3");
  EXPECT_EQ(names[2].duplicate, 1u);
}

TEST(DeviceNames, OutputDeviceIndex) {
  struct Case {
    const char16_t* name;
    int32_t result;
    uint32_t index;
  };
  const Case cases[] = {
      {u"outputdevice0", 0, 0},    {u"OutputDevice2", 0, 2},     {u"outputdevice0x1", 0, 1},
      {u"outputdevice010", -5, 0},  // octal 8: beyond the count
      {u"outputdevice07", 0, 7},   {u"outputdevice3junk", 0, 3}, {u"outputdevice", -5, 0},
      {u"outputdevice-1", -5, 0},  {u"outputdevice+1", -5, 0},   {u"outputdevice8", -5, 0},
      {u"outputdevic", -5, 0},     {u"curoutputdevice", -5, 0},  {u"outputdevicex", -5, 0},
  };
  for (const Case& c : cases) {
    uint32_t index = 99;
    EXPECT_EQ(ParseOutputDeviceIndex(c.name, 8, &index), c.result) << Utf8(TString(c.name)).c_str();
    if (c.result == 0) {
      EXPECT_EQ(index, c.index);
    }
  }
}

}  // namespace
}  // namespace vk2

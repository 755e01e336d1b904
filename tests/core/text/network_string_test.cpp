#include "core/text/network_string.h"

#include <gtest/gtest.h>

namespace vk2 {
namespace {

TEST(NetworkString, ReadsBigEndianUnitsAtAnyAlignment) {
  const uint8_t raw[] = {0xAA, 0x00, 0x41, 0x00, 0xE9, 0xD8, 0x3D, 0xDE, 0x00};
  TString s;
  EXPECT_EQ(ReadNetworkString(&s, raw + 1, sizeof raw - 1, 4), 8);
  ASSERT_EQ(s.Length(), 4u);
  EXPECT_EQ(s[0], u'A');
  EXPECT_EQ(s[1], u'\u00e9');
  EXPECT_EQ(s[2], 0xD83D);
  EXPECT_EQ(s[3], 0xDE00);
}

TEST(NetworkString, CountZeroIsTheEmptyString) {
  TString s = u"old";
  EXPECT_EQ(ReadNetworkString(&s, nullptr, 0, 0), 0);
  EXPECT_TRUE(s.IsEmpty());
}

TEST(NetworkString, ShortSourceIsRefusedAndKeepsTheString) {
  const uint8_t raw[] = {0x00, 0x41, 0x00};
  TString s = u"old";
  EXPECT_EQ(ReadNetworkString(&s, raw, sizeof raw, 2), -1);
  EXPECT_EQ(ReadNetworkString(&s, raw, sizeof raw, 0xFFFFFFFFu), -1);
  EXPECT_EQ(ReadNetworkString(&s, nullptr, 100, 1), -1);
  EXPECT_EQ(s, u"old");
}

}  // namespace
}  // namespace vk2

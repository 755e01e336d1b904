#include "core/text/base64.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vk2 {
namespace {

std::string Bytes(const TArray<uint8_t>& a) {
  return std::string(a.begin(), a.end());
}

TString Encode(const std::string& s) {
  return Base64Encode(reinterpret_cast<const uint8_t*>(s.data()), s.size());
}

struct Known {
  const char* bytes;
  const char* text;
};

TEST(Base64, KnownTextsEncodeUnpaddedAndDecodeBack) {
  const Known cases[] = {
      {"", ""},
      {"a", "YQ"},
      {"ab", "YWI"},
      {"abc", "YWJj"},
      {"abcd", "YWJjZA"},
      {"foobar", "Zm9vYmFy"},
      {"\xff\xfe\xfd", "//79"},
      {"\xfb\xef", "++8"},
  };
  for (const Known& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Encode(c.bytes), Utf16(c.text));
    TArray<uint8_t> out;
    EXPECT_EQ(Base64Decode(Utf16(c.text), &out), static_cast<int32_t>(std::string(c.bytes).size()));
    EXPECT_EQ(Bytes(out), c.bytes);
  }
}

TEST(Base64, EveryByteValueAndLengthRoundTrips) {
  std::string all;
  for (int i = 0; i < 256; ++i)
    all.push_back(static_cast<char>(i));
  for (size_t n = 0; n <= all.size(); n += 7) {
    const std::string part = all.substr(all.size() - n);
    const TString text = Encode(part);
    EXPECT_EQ(text.Length(), n * 4 / 3 + (n % 3 ? 1 : 0));
    TArray<uint8_t> out;
    ASSERT_EQ(Base64Decode(text, &out), static_cast<int32_t>(n));
    EXPECT_EQ(Bytes(out), part);
  }
}

TEST(Base64, PaddedInputIsAccepted) {
  TArray<uint8_t> out;
  EXPECT_EQ(Base64Decode(u"YQ==", -1, &out), 1);
  EXPECT_EQ(Bytes(out), "a");
  EXPECT_EQ(Base64Decode(u"YWI=", -1, &out), 2);
  EXPECT_EQ(Bytes(out), "ab");
}

TEST(Base64, MalformedTextIsRefusedAndLeavesNothing) {
  const char16_t* bad[] = {u"YW Jj", u"YWJj!", u"Y-Jj", u"YWJjZ", u"YQ===", u"=YWJ", u"YW\u00e9j"};
  for (const char16_t* text : bad) {
    TArray<uint8_t> out;
    out.Append(7);
    EXPECT_EQ(Base64Decode(text, -1, &out), kErrBadBase64) << Utf8(TString(text)).c_str();
    EXPECT_EQ(out.Count(), 0u);
  }
}

TEST(Base64, TooShortTextDecodesToNothing) {
  TArray<uint8_t> out;
  EXPECT_EQ(Base64Decode(u"", -1, &out), 0);
  EXPECT_EQ(Base64Decode(u"Y", -1, &out), 0);
  EXPECT_EQ(Base64Decode(nullptr, -1, &out), 0);
  EXPECT_EQ(out.Count(), 0u);
  EXPECT_LT(Base64Decode(u"YQ", -1, nullptr), 0);
}

TEST(Base64, LengthBoundsTheDecodedText) {
  TArray<uint8_t> out;
  EXPECT_EQ(Base64Decode(u"YWJjZGVm", 4, &out), 3);
  EXPECT_EQ(Bytes(out), "abc");
}

}  // namespace
}  // namespace vk2

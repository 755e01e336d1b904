#include "platform/instance/request_frame.h"

#include <gtest/gtest.h>

#include <string>

namespace vk2::instance {
namespace {

Request Make(RequestKind kind, uint32_t message, uint64_t wParam, int64_t lParam,
             std::string bytes) {
  Request r;
  r.kind = kind;
  r.message = message;
  r.wParam = wParam;
  r.lParam = lParam;
  r.bytes = std::move(bytes);
  return r;
}

TEST(RequestFrameTest, FramesRoundTripAndArriveOnlyWhenComplete) {
  const std::string withNuls("a\0b c\0", 6);
  for (const Request& sent : {
           Make(RequestKind::kWindowMessage, 0x4A, 0, 0, withNuls),
           Make(RequestKind::kWindowMessage, 0x9004, ~0ull, -1, ""),
           Make(RequestKind::kDdeConnect, 0, 0, 0, EncodeDdeNames("velkora2", "any")),
           Make(RequestKind::kDdeExecute, 0, 0, 0, std::string(kMaxRequestBytes, 'x')),
           Make(RequestKind::kDdePoke, 7, 1, INT64_MIN, "p"),
       }) {
    std::string frame;
    ASSERT_TRUE(EncodeRequest(sent, &frame));
    frame += "next";  // bytes of a following frame stay unread
    // Every cut short of the whole frame asks for more.
    for (size_t cut : {size_t{0}, size_t{3}, size_t{8}, kRequestHeaderBytes - 1,
                       kRequestHeaderBytes, frame.size() - 5}) {
      Request partial;
      size_t used = 99;
      if (cut >= frame.size() - 4) continue;  // the whole frame is in
      EXPECT_EQ(ParseRequest(std::string_view(frame).substr(0, cut), &partial, &used),
                ParseStatus::kNeedMore)
          << cut;
      EXPECT_EQ(used, 0u);
    }
    Request got;
    size_t used = 0;
    ASSERT_EQ(ParseRequest(frame, &got, &used), ParseStatus::kReady);
    EXPECT_EQ(used, frame.size() - 4);
    EXPECT_EQ(got.kind, sent.kind);
    EXPECT_EQ(got.message, sent.message);
    EXPECT_EQ(got.wParam, sent.wParam);
    EXPECT_EQ(got.lParam, sent.lParam);
    EXPECT_EQ(got.bytes, sent.bytes);
  }
}

TEST(RequestFrameTest, StrangersAndOversizedRequestsAreRefused) {
  std::string good;
  ASSERT_TRUE(EncodeRequest(Make(RequestKind::kDdeExecute, 0, 0, 0, "-play"), &good));
  Request out;
  size_t used = 0;

  // Another protocol is turned away as soon as its first four bytes are in.
  EXPECT_EQ(ParseRequest("GET / HTTP/1.0\r\n", &out, &used), ParseStatus::kBad);
  std::string unknownKind = good;
  unknownKind[4] = 9;
  EXPECT_EQ(ParseRequest(std::string_view(unknownKind).substr(0, 8), &out, &used),
            ParseStatus::kBad);

  // The byte count is judged before any of the bytes arrive.
  std::string huge = good.substr(0, kRequestHeaderBytes);
  const uint32_t tooMany = kMaxRequestBytes + 1;
  for (int i = 0; i < 4; ++i)
    huge[28 + i] = static_cast<char>((tooMany >> (8 * i)) & 0xFF);
  EXPECT_EQ(ParseRequest(huge, &out, &used), ParseStatus::kTooLarge);
  huge[31] = static_cast<char>(0xFF);
  EXPECT_EQ(ParseRequest(huge, &out, &used), ParseStatus::kTooLarge);

  std::string frame;
  EXPECT_FALSE(EncodeRequest(
      Make(RequestKind::kDdeExecute, 0, 0, 0, std::string(kMaxRequestBytes + 1, 'x')), &frame));
  EXPECT_TRUE(frame.empty());
}

TEST(RequestFrameTest, RepliesAndDdeNamesRoundTrip) {
  for (int64_t value : {int64_t{0}, int64_t{0x8000}, int64_t{-1}, INT64_MAX, INT64_MIN}) {
    EXPECT_EQ(DecodeReply(EncodeReply(value).data()), value);
  }
  std::string_view service, topic;
  const std::string names = EncodeDdeNames("velkora2", "any topic");
  ASSERT_TRUE(ParseDdeNames(names, &service, &topic));
  EXPECT_EQ(service, "velkora2");
  EXPECT_EQ(topic, "any topic");
  ASSERT_TRUE(ParseDdeNames(std::string_view("\0", 1), &service, &topic));
  EXPECT_TRUE(service.empty() && topic.empty());
  EXPECT_FALSE(ParseDdeNames("no separator", &service, &topic));
}

}  // namespace
}  // namespace vk2::instance

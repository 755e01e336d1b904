#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/net/ftp_reply.h"
#include "platform/net/http_response.h"
#include "platform/net/url_parts.h"

namespace vk2 {
namespace {

struct UrlCase {
  const char* text;
  bool valid;
  const char* scheme;
  const char* host;
  uint16_t port;
  const char* path;
};

TEST(UrlPartsTest, CutsUrlsAsTheyStand) {
  const UrlCase cases[] = {
      {"http://example.org/a/b.ogg", true, "http", "example.org", 80, "/a/b.ogg"},
      {"HTTP://Example.org:8000", true, "http", "Example.org", 8000, "/"},
      {"http://h/a%20b?x=1#frag", true, "http", "h", 80, "/a%20b?x=1"},
      {"ftp://user:pw@h:2121/f.mp3", true, "ftp", "h", 2121, "/f.mp3"},
      {"raw://127.0.0.1:9000", true, "raw", "127.0.0.1", 9000, "/"},
      {"http://[::1]:81/x", true, "http", "::1", 81, "/x"},
      {"http://h?q", true, "http", "h", 80, "/?q"},
      {"http://:80/x", false, "", "", 0, ""},
      {"http://h:0/", false, "", "", 0, ""},
      {"http://h:65536/", false, "", "", 0, ""},
      {"http://h:/", false, "", "", 0, ""},
      {"http://h:8x/", false, "", "", 0, ""},
      {"http://h/a b", true, "http", "h", 80, "/a b"},
      {"http://h /a", false, "", "", 0, ""},
      {"http://h\r\n:80/a", false, "", "", 0, ""},
      {"noscheme/x", false, "", "", 0, ""},
      {"1http://h/", false, "", "", 0, ""},
      {"http://[::1/x", false, "", "", 0, ""},
  };
  for (const UrlCase& c : cases) {
    SCOPED_TRACE(c.text);
    const auto parts = ParseUrl(c.text);
    ASSERT_EQ(parts.has_value(), c.valid);
    if (!c.valid) continue;
    EXPECT_EQ(parts->scheme, c.scheme);
    EXPECT_EQ(parts->host, c.host);
    EXPECT_EQ(parts->port, c.port);
    EXPECT_EQ(parts->path, c.path);
  }
  const auto user = ParseUrl("ftp://user:pw@h/f");
  EXPECT_EQ(user->user, "user");
  EXPECT_EQ(user->password, "pw");
}

TEST(UrlPartsTest, ResolvesLocationsAgainstTheRequest) {
  const UrlParts base = *ParseUrl("http://h:81/dir/file.ogg");
  EXPECT_EQ(ResolveLocation(base, "/other")->path, "/other");
  EXPECT_EQ(ResolveLocation(base, "next.ogg")->path, "/dir/next.ogg");
  EXPECT_EQ(ResolveLocation(base, "next.ogg")->port, 81);
  EXPECT_EQ(ResolveLocation(base, "http://x/y")->host, "x");
  EXPECT_EQ(ResolveLocation(base, "//z:5/w")->host, "z");
  EXPECT_FALSE(ResolveLocation(base, ""));
  EXPECT_EQ(HostHeader(base), "h:81");
  EXPECT_EQ(WirePath("/a b/%41\xc3\xa4\r\n"), "/a%20b/%41%C3%A4%0D%0A");
  EXPECT_EQ(HostHeader(*ParseUrl("http://[::1]/")), "[::1]");
}

TEST(HttpResponseTest, ReadsStatusHeadersAndLength) {
  const std::string text =
      "HTTP/1.1 206 Partial\r\nContent-Range: bytes 10-19/100\r\nicy-title: A\r\n  B\r\n"
      "X-Empty:\r\n\r\nbody";
  EXPECT_EQ(FindHeadEnd(text), text.size() - 4);
  const auto head = ParseResponseHead(text.substr(0, FindHeadEnd(text)));
  ASSERT_TRUE(head);
  EXPECT_EQ(head->status, 206);
  EXPECT_EQ(*head->headers.Find("ICY-TITLE"), "A B");
  EXPECT_EQ(*head->headers.Find("x-empty"), "");
  EXPECT_EQ(AnnouncedLength(*head), 10);

  const auto icy = ParseResponseHead("ICY 200 OK\nicy-genre: Jazz\nContent-Length: 12\n\n");
  ASSERT_TRUE(icy);
  EXPECT_EQ(icy->status, 200);
  EXPECT_EQ(AnnouncedLength(*icy), 12);
  EXPECT_EQ(FindHeadEnd("HTTP/1.0 200 OK\r\nA: b\r\n"), 0u);
}

TEST(HttpResponseTest, RefusesBrokenHeads) {
  for (const char* text : {"", "HTTP/1.1 20 OK\r\n\r\n", "FTP/1.0 200 OK\r\n\r\n",
                           "HTTP/1.1 200 OK\r\nno colon here\r\n\r\n", "HTTP/x.1 200 OK\r\n\r\n",
                           "HTTP/1.1 2000\r\n\r\n", "HTTP/1.1 200 OK\r\n continued\r\n\r\n"}) {
    SCOPED_TRACE(text);
    EXPECT_FALSE(ParseResponseHead(text));
  }
  HttpResponseHead head;
  head.headers.Add("Content-Length", "-5");
  EXPECT_EQ(AnnouncedLength(head), -1);
  head.headers.Set("Content-Length", "99999999999999999999");
  EXPECT_EQ(AnnouncedLength(head), -1);
}

TEST(ChunkedDecoderTest, DecodesPiecewiseAndRefusesBadFraming) {
  const std::string framed = "5;x=y\r\nhello\r\n6\r\n world\r\n0\r\nT: 1\r\n\r\n";
  // Fed one byte at a time, the data comes out whole.
  ChunkedDecoder decoder;
  std::string out;
  for (char c : framed) {
    char buffer[1];
    const int64_t n = decoder.Feed(std::string_view(&c, 1), buffer);
    ASSERT_GE(n, 0);
    out.append(buffer, static_cast<size_t>(n));
  }
  EXPECT_EQ(out, "hello world");
  EXPECT_TRUE(decoder.Finished());

  for (const char* bad : {"zz\r\n", "5\r\nhelloXX", "\r\n", "1234567890123456\r\n"}) {
    ChunkedDecoder d;
    std::vector<char> buffer(64);
    EXPECT_EQ(d.Feed(bad, buffer.data()), -1) << bad;
  }
}

TEST(FtpReplyTest, TakesSingleAndMultiLineReplies) {
  std::string buffer = "220-Welcome\r\n220-more\r\n220 ready\r\n331 pass\r\n";
  auto first = TakeFtpReply(buffer);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->code, 220);
  EXPECT_EQ(first->text, "ready");
  auto second = TakeFtpReply(buffer);
  ASSERT_TRUE(second);
  EXPECT_EQ(second->code, 331);
  EXPECT_TRUE(buffer.empty());
  std::string partial = "220-a\r\n220 b";
  EXPECT_FALSE(TakeFtpReply(partial));
  std::string junk = "hello\r\n";
  EXPECT_EQ(TakeFtpReply(junk)->code, -1);
}

TEST(FtpReplyTest, FindsPassivePorts) {
  EXPECT_EQ(PassivePort(227, "Entering Passive Mode (127,0,0,1,195,80)."), 195 * 256 + 80);
  EXPECT_EQ(PassivePort(229, "Entering Extended Passive Mode (|||40001|)"), 40001);
  EXPECT_FALSE(PassivePort(227, "Entering Passive Mode (127,0,0,1,300,80)"));
  EXPECT_FALSE(PassivePort(227, "(1,2,3)"));
  EXPECT_FALSE(PassivePort(229, "(|||99999|)"));
  EXPECT_FALSE(PassivePort(200, "(|||21|)"));
}

}  // namespace
}  // namespace vk2

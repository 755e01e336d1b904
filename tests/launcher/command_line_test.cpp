#include "launcher/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/executable_path.h"

namespace vk2::launcher {
namespace {

std::vector<std::string> Narrow(const TArray<TString>& tokens) {
  std::vector<std::string> out;
  for (const TString& t : tokens)
    out.emplace_back(Utf8(t).c_str());
  return out;
}

TEST(CommandLineTest, AHandedOverLineSplitsIntoTheArgumentsItWasJoinedFrom) {
  using Args = std::vector<std::string>;
  struct Case {
    Args args;
    std::string joined;
  };
  for (const Case& c : {
           Case{{"a.mp3", "b c.mp3"}, "a.mp3 \"b c.mp3\""},
           Case{{"-a", "/music/x y/z.wav", "http://h/s"}, "-a \"/music/x y/z.wav\" http://h/s"},
           Case{{"tab\there"}, "tab\there"},  // tabs do not separate
           Case{{"ü ö.ogg"}, "\"ü ö.ogg\""}, Case{{" lead", "trail "}, "\" lead\" \"trail \""},
           Case{{"a", "", "b"}, "a \"\" b"},  // an empty argument survives
       }) {
    std::vector<const char*> argv{"velkora2"};
    for (const std::string& a : c.args)
      argv.push_back(a.c_str());
    const std::string joined = JoinForHandOver(static_cast<int>(argv.size()), argv.data());
    EXPECT_EQ(joined, c.joined);
    EXPECT_EQ(Narrow(SplitCommandBytes(joined + '\0')), c.args) << joined;
  }
}

TEST(CommandLineTest, ReceivedBytesAreBoundedByTheirCountAndTheFirstNul) {
  EXPECT_EQ(Narrow(SplitCommandBytes(std::string("a b\0c d", 7))),
            (std::vector<std::string>{"a", "b"}));
  // No terminator: the count alone ends the text.
  EXPECT_EQ(Narrow(SplitCommandBytes("x  y")), (std::vector<std::string>{"x", "y"}));
  EXPECT_TRUE(SplitCommandBytes("").IsEmpty());
  EXPECT_TRUE(SplitCommandBytes(std::string("\0a", 2)).IsEmpty());
  // Bytes that are not UTF-8 are kept as Latin-1 instead of being lost.
  const TArray<TString> latin = SplitCommandBytes("caf\xE9.mp3");
  ASSERT_EQ(latin.Count(), 1u);
  EXPECT_EQ(latin[0], u"caf\u00E9.mp3");
}

TEST(CommandLineTest, TheFullInstanceTokensStartWithTheProgramItself) {
  const char* argv[] = {"relative/name", "a.mp3", "b c.mp3", ""};
  const TArray<TString> tokens = BuildTokens(4, argv);
  ASSERT_EQ(tokens.Count(), 4u);
  EXPECT_EQ(std::string(Utf8(tokens[0]).c_str()), ExecutablePath());
  EXPECT_EQ(tokens[1], u"a.mp3");
  EXPECT_EQ(tokens[2], u"b c.mp3");
  EXPECT_EQ(tokens[3], u"");
}

TEST(CommandLineTest, OnlyTheExactTokenMinusSStartsTheServer) {
  struct Case {
    std::vector<const char16_t*> tokens;
    bool server;
  };
  for (const Case& c : {
           Case{{u"/bin/velkora2", u"-s"}, true},
           Case{{u"/bin/velkora2", u"a.mp3", u"-s"}, true},
           Case{{u"/bin/velkora2", u"-sx"}, false},
           Case{{u"/bin/velkora2", u"-shuffle"}, false},
           Case{{u"/bin/velkora2", u"-stop"}, false},
           Case{{u"/bin/velkora2", u"-S"}, false},
           Case{{u"-s"}, false},  // token 0 is the program
           Case{{}, false},
       }) {
    TArray<TString> tokens;
    for (const char16_t* t : c.tokens)
      tokens.Append(TString(t));
    EXPECT_EQ(IsServerStart(tokens), c.server) << c.tokens.size();
  }
}

}  // namespace
}  // namespace vk2::launcher

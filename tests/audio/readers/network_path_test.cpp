#include "audio/readers/file/network_path.h"

#include <gtest/gtest.h>

namespace vk2 {
namespace {

struct PathCase {
  const char16_t* path;
  bool otherMachine;
};

class NetworkPathTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(NetworkPathTest, TellsSharesOnOtherMachinesFromLocalPaths) {
  EXPECT_EQ(IsPathOnOtherMachine(GetParam().path, u"MYBOX"), GetParam().otherMachine)
      << std::string(GetParam().path,
                     GetParam().path + std::char_traits<char16_t>::length(GetParam().path));
}

INSTANTIATE_TEST_SUITE_P(
    Paths, NetworkPathTest,
    ::testing::Values(
        PathCase{u"\\\\server\\music\\a.wav", true}, PathCase{u"\\\\9host\\share", true},
        PathCase{u"\\\\localhost\\music\\a.wav", false}, PathCase{u"\\\\LocalHost\\music", false},
        PathCase{u"\\\\127.0.0.1\\music", false}, PathCase{u"\\\\mybox\\music\\a.wav", false},
        PathCase{u"\\\\myboxes\\music", true}, PathCase{u"\\\\?\\UNC\\server\\share\\a.wav", true},
        PathCase{u"\\\\\\\\.\\\\server\\x", true}, PathCase{u"\\\\_x\\share", false},
        PathCase{u"C:\\music\\a.wav", false}, PathCase{u"/home/user/a.wav", false},
        PathCase{u"//server/share/a.wav", false}, PathCase{u"", false}));

TEST(NetworkFileSystemTest, LocalTemporaryFolderIsNotANetworkShare) {
  EXPECT_FALSE(IsOnNetworkFileSystem("/tmp"));
  EXPECT_FALSE(IsOnNetworkFileSystem("/no/such/path"));
  EXPECT_FALSE(IsOnNetworkFileSystem(nullptr));
}

}  // namespace
}  // namespace vk2

#include "platform/user_folders.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "platform/environment.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/temp_folder.h"

namespace vk2 {
namespace {

// Points HOME and the XDG variables at a temporary folder and restores them afterwards.
class UserFoldersTest : public ::testing::Test {
 protected:
  void SetUp() override { SetEnv("HOME", home()); }
  std::string home() const { return tmp_ / "home"; }

  static mode_t ModeOf(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) return 0;
    return st.st_mode & 07777;
  }

  test::ScopedEnvironment environment_{"HOME", "XDG_CONFIG_HOME", "XDG_STATE_HOME",
                                       "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"};
  test::TempFolder tmp_;
};

TEST_F(UserFoldersTest, FoldersComeFromTheVariablesOrHome) {
  struct Case {
    UserFolder which;
    const char* variable;
    const char* value;  // relative to the temporary folder; null: unset; "rel:" kept relative
    const char* expected;
  };
  for (const Case& c : {
           Case{UserFolder::kConfig, "XDG_CONFIG_HOME", "cfg", "cfg/velkora2"},
           Case{UserFolder::kConfig, "XDG_CONFIG_HOME", nullptr, "home/.config/velkora2"},
           Case{UserFolder::kConfig, "XDG_CONFIG_HOME", "rel:cfg", "home/.config/velkora2"},
           Case{UserFolder::kState, "XDG_STATE_HOME", "st", "st/velkora2"},
           Case{UserFolder::kState, "XDG_STATE_HOME", nullptr, "home/.local/state/velkora2"},
           Case{UserFolder::kCache, "XDG_CACHE_HOME", "ca", "ca/velkora2"},
           Case{UserFolder::kCache, "XDG_CACHE_HOME", nullptr, "home/.cache/velkora2"},
           Case{UserFolder::kRuntime, "XDG_RUNTIME_DIR", "run", "run/velkora2"},
       }) {
    if (!c.value) {
      UnsetEnv(c.variable);
    } else if (std::string(c.value).starts_with("rel:")) {
      SetEnv(c.variable, c.value + 4);
    } else {
      SetEnv(c.variable, tmp_ / c.value);
    }
    std::error_code ec;
    const std::string path = UserFolderPath(c.which, &ec);
    EXPECT_FALSE(ec) << ec.message();
    EXPECT_EQ(path, tmp_ / c.expected);
    EXPECT_EQ(ModeOf(path), 0700u) << path;
    UnsetEnv(c.variable);
  }
  EXPECT_EQ(ModeOf(home() + "/.local"), 0700u) << "missing parents are private too";
}

TEST_F(UserFoldersTest, ExistingFoldersKeepTheirMode) {
  SetEnv("XDG_CONFIG_HOME", tmp_ / "cfg");
  ASSERT_EQ(mkdir((tmp_ / "cfg").c_str(), 0755), 0);
  ASSERT_EQ(mkdir((tmp_ / "cfg/velkora2").c_str(), 0755), 0);
  chmod((tmp_ / "cfg/velkora2").c_str(), 0755);
  EXPECT_EQ(UserFolderPath(UserFolder::kConfig), tmp_ / "cfg/velkora2");
  EXPECT_EQ(ModeOf(tmp_ / "cfg/velkora2"), 0755u);
}

TEST_F(UserFoldersTest, RuntimeFolderIsMadePrivate) {
  SetEnv("XDG_RUNTIME_DIR", tmp_ / "run");
  ASSERT_EQ(mkdir((tmp_ / "run").c_str(), 0700), 0);
  ASSERT_EQ(mkdir((tmp_ / "run/velkora2").c_str(), 0755), 0);
  EXPECT_EQ(UserFolderPath(UserFolder::kRuntime), tmp_ / "run/velkora2");
  EXPECT_EQ(ModeOf(tmp_ / "run/velkora2"), 0700u);
}

TEST_F(UserFoldersTest, RuntimeFallsBackToAPrivateFolderInTmp) {
  std::error_code ec;
  const std::string path = UserFolderPath(UserFolder::kRuntime, &ec);
  ASSERT_FALSE(ec) << ec.message();
  const std::string base = "/tmp/velkora2-runtime-" + std::to_string(geteuid());
  EXPECT_EQ(path, base + "/velkora2");
  EXPECT_EQ(ModeOf(base), 0700u);
  EXPECT_EQ(ModeOf(path), 0700u);
}

TEST_F(UserFoldersTest, UnusableFoldersGiveAnError) {
  std::ofstream(tmp_ / "file") << "x";
  SetEnv("XDG_CACHE_HOME", tmp_ / "file");
  std::error_code ec;
  EXPECT_EQ(UserFolderPath(UserFolder::kCache, &ec), "");
  EXPECT_TRUE(ec);
  EXPECT_TRUE(MakeFolders(""));
  EXPECT_TRUE(MakeFolders(tmp_ / "file/below"));
}

TEST_F(UserFoldersTest, PrivateFolderRefusesWhatIsNotOurOwnDirectory) {
  std::ofstream(tmp_ / "file") << "x";
  ASSERT_EQ(mkdir((tmp_ / "real").c_str(), 0755), 0);
  ASSERT_EQ(symlink((tmp_ / "real").c_str(), (tmp_ / "link").c_str()), 0);
  EXPECT_EQ(MakePrivateFolder(tmp_ / "file"), std::errc::not_a_directory);
  EXPECT_EQ(MakePrivateFolder(tmp_ / "link"), std::errc::not_a_directory);
  EXPECT_EQ(ModeOf(tmp_ / "real"), 0755u) << "a link is not followed";
  EXPECT_FALSE(MakePrivateFolder(tmp_ / "real"));
  EXPECT_EQ(ModeOf(tmp_ / "real"), 0700u);
  if (geteuid() == 0) {
    ASSERT_EQ(mkdir((tmp_ / "theirs").c_str(), 0700), 0);
    ASSERT_EQ(chown((tmp_ / "theirs").c_str(), 65534, 65534), 0);
    EXPECT_EQ(MakePrivateFolder(tmp_ / "theirs"), std::errc::operation_not_permitted);
  }
}

}  // namespace
}  // namespace vk2

// The online content pass against a loopback HTTP server: the welcome package once, the
// online package after it, a fresh package swapped in whole, and a failed or absent server that
// leaves the old package shown or the window with its message.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "gui/online_window/online_content.h"
#include "oru/core/error_tables.h"
#include "oru/network/network_connection.h"
#include "oru/services/prefs/preference_store.h"
#include "platform/whole_file.h"
#include "tests/gui/windows/window_test_text.h"
#include "tests/platform/net/http_test_server.h"
#include "tests/support/temp_folder.h"

namespace vk2::gui {
namespace {

using test::HttpAnswer;
using test::HttpTestServer;
using test::TempFolder;

std::string Contents(const std::string& path) {
  std::string text;
  return ReadWholeFile(path, &text) ? std::string("<none>") : text;
}

class RecordingHost final : public OnlineContentHost {
 public:
  bool ShowPackageWindow(const PackageWindowRef& window) override {
    shown.push_back(Text(window.window) + " of " + Text(window.uniqueName) + " from " +
                    Contents(Text(window.path)));
    return true;
  }
  void ShowUnavailable() override { shown.push_back("unavailable"); }
  std::vector<std::string> shown;
};

class OnlineContentTest : public ::testing::Test {
 protected:
  OnlineContentTest() : tree_(std::make_shared<oru::PreferenceTree>(prefsFolder_ / "prefs.xml")) {}

  RefPtr<MPreferenceStore> Store() {
    return RefPtr<MPreferenceStore>(new oru::PreferenceStoreObject(tree_, &errors_));
  }
  static RefPtr<MNetwork> Network() {
    void* p = nullptr;
    EXPECT_EQ(oru::CreateNetworkObject(kIID_MNetwork, &p, nullptr), 0);
    return RefPtr<MNetwork>::Adopt(static_cast<MNetwork*>(p));
  }
  void Put(const char* name, const std::string& contents) {
    ASSERT_FALSE(WriteFileAtomic(folder_ / name, contents, 0644));
  }
  OnlinePassResult Run(const std::string& url, RecordingHost* host, int64_t now = 1000) {
    RefPtr<MPreferenceStore> store = Store();
    RefPtr<MNetwork> network = Network();
    OnlinePass pass;
    pass.store = store.Get();
    pass.network = network.Get();
    pass.folder = Utf16(folder_.Path());
    pass.url = Utf16(url);
    pass.now = now;
    pass.host = host;
    return RunOnlinePass(pass);
  }
  bool WelcomeFlag() {
    RefPtr<MPreferenceStore> store = Store();
    bool flag = true;
    EXPECT_EQ(store->OpenSection(u"onlinecontent", 0), 0);
    EXPECT_EQ(store->GetBool(u"showwelcomescreen", &flag), 0);
    return flag;
  }

  TempFolder folder_;  // the application's folder
  TempFolder prefsFolder_;
  oru::ErrorTables errors_;
  std::shared_ptr<oru::PreferenceTree> tree_;
};

constexpr char kOnline[] = "contentwindow of ridurodoror/velkora2_online/online from ";
constexpr char kWelcome[] = "mainwelcomewindow of ridurodoror/velkora2_online/welcome from ";

TEST_F(OnlineContentTest, WelcomeOnceThenTheOnlineContentFetchedFromTheServer) {
  int requests = 0;
  HttpTestServer server([&](const std::string& path, const std::string&) {
    ++requests;
    HttpAnswer answer;
    answer.body = "fresh " + path;
    return answer;
  });
  Put("Welcome.zip", "hello");
  RecordingHost first;
  OnlinePassResult result = Run(server.Url("/vk2dyn/dynup.php"), &first);
  EXPECT_TRUE(result.welcomeShown);
  EXPECT_TRUE(result.downloaded);
  // The fresh package is in place but the welcome stays on this first run.
  EXPECT_EQ(first.shown, (std::vector<std::string>{std::string(kWelcome) + "hello"}));
  EXPECT_EQ(Contents(folder_ / "Online.zip"), "fresh /vk2dyn/dynup.php");
  EXPECT_FALSE(WelcomeFlag());

  RecordingHost second;
  result = Run(server.Url("/vk2dyn/dynup.php"), &second);
  EXPECT_FALSE(result.welcomeShown);
  EXPECT_EQ(second.shown,
            (std::vector<std::string>{std::string(kOnline) + "fresh /vk2dyn/dynup.php"}));
  EXPECT_EQ(requests, 2);
  EXPECT_EQ(folder_.List(), (std::vector<std::string>{"Online.zip", "Welcome.zip"}));
}

TEST_F(OnlineContentTest, NoWelcomePackageShowsTheOnlineContentAndKeepsTheFlag) {
  HttpTestServer server([](const std::string&, const std::string&) {
    HttpAnswer answer;
    answer.body = "new";
    return answer;
  });
  RecordingHost host;
  Run(server.Url("/c"), &host);
  EXPECT_EQ(host.shown, (std::vector<std::string>{std::string(kOnline) + "new"}));
  EXPECT_TRUE(WelcomeFlag());  // cleared for this run only
}

TEST_F(OnlineContentTest, AFailedDownloadKeepsTheOldPackageAndShowsIt) {
  struct Case {
    const char* name;
    HttpAnswer answer;
  };
  HttpAnswer missing;
  missing.status = 404;
  missing.body = "not here";
  HttpAnswer cut;
  cut.body = std::string(5000, 'x');
  cut.closeAfter = 100;
  for (const Case& c : {Case{"404", missing}, Case{"cut short", cut}}) {
    SCOPED_TRACE(c.name);
    HttpTestServer server([&](const std::string&, const std::string&) { return c.answer; });
    Put("Online.zip", "old");
    RecordingHost host;
    const OnlinePassResult result = Run(server.Url("/c"), &host);
    EXPECT_FALSE(result.downloaded);
    EXPECT_EQ(host.shown, (std::vector<std::string>{std::string(kOnline) + "old"}));
    EXPECT_EQ(Contents(folder_ / "Online.zip"), "old");
    EXPECT_EQ(folder_.List(), (std::vector<std::string>{"Online.zip"}));
  }
}

TEST_F(OnlineContentTest, NoServerAndNoPackageLeavesTheWindowWithItsMessage) {
  std::string url;
  {
    // A port that was just free: nothing listens there any more.
    HttpTestServer gone([](const std::string&, const std::string&) { return HttpAnswer{}; });
    url = gone.Url("/c");
  }
  RecordingHost host;
  const OnlinePassResult result = Run(url, &host);
  EXPECT_FALSE(result.contentShown);
  EXPECT_EQ(host.shown, (std::vector<std::string>{"unavailable"}));
}

TEST_F(OnlineContentTest, ContentNotYetDueIsNotFetched) {
  int requests = 0;
  HttpTestServer server([&](const std::string&, const std::string&) {
    ++requests;
    return HttpAnswer{};
  });
  {
    RefPtr<MPreferenceStore> store = Store();
    ASSERT_EQ(store->OpenSection(u"onlinecontent", 1), 0);
    ASSERT_EQ(store->SetUnsigned(u"contentupdatedate", 5000), 0);
  }
  Put("Online.zip", "kept");
  RecordingHost host;
  EXPECT_FALSE(Run(server.Url("/c"), &host, 5000).downloaded);
  EXPECT_EQ(requests, 0);
  EXPECT_EQ(host.shown, (std::vector<std::string>{std::string(kOnline) + "kept"}));
  EXPECT_TRUE(Run(server.Url("/c"), &host, 5001).downloaded);
  EXPECT_EQ(requests, 1);
}

TEST_F(OnlineContentTest, AnEmptyUrlPreferenceUsesTheBuiltInServer) {
  RefPtr<MPreferenceStore> store = Store();
  EXPECT_EQ(Text(ReadOnlineUrl(store.Get())), Text(TString(kBuiltInOnlineUrl)));
  ASSERT_EQ(store->OpenSection(u"/velkora/gui", 1), 0);
  ASSERT_EQ(store->SetString(u"velkora_online_url", u""), 0);
  EXPECT_EQ(Text(ReadOnlineUrl(store.Get())), "http://online.velkora2.invalid/vk2dyn/dynup.php");
  ASSERT_EQ(store->SetString(u"velkora_online_url", u"http://127.0.0.1:9/x"), 0);
  EXPECT_EQ(Text(ReadOnlineUrl(store.Get())), "http://127.0.0.1:9/x");
}

}  // namespace
}  // namespace vk2::gui

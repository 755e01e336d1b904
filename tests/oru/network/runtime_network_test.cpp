// The runtime serves connections by NetworkClass's id, each a whole object of its own.
#include "component/module/runtime_loader.h"
#include "foundation/util/result.h"
#include "tests/oru/network/network_env.h"
#include "tests/oru/sandbox.h"

namespace vk2::test {
namespace {

TEST(RuntimeNetworkTest, RuntimeMakesAConnectionPerRequest) {
  Sandbox sandbox;
  RuntimeSession session;
  ASSERT_TRUE(session.Bound());
  HttpTestServer server([](const std::string& path, const std::string&) {
    HttpAnswer a;
    a.body = "served " + path;
    return a;
  });
  RefPtr<MNetwork> first = CreateRuntimeObject<MNetwork>(kNetworkClass, kIID_MNetwork);
  RefPtr<MNetwork> second = CreateRuntimeObject<MNetwork>(kNetworkClass, kIID_MNetwork);
  ASSERT_TRUE(first && second);
  EXPECT_NE(first.Get(), second.Get());
  ASSERT_EQ(first->Open(server.Url("/one").c_str(), kNetworkOpenRead, 0, -1, nullptr), kNetworkOk);
  ASSERT_EQ(second->Open(server.Url("/two").c_str(), kNetworkOpenRead, 7, -1, nullptr), kNetworkOk);
  int64_t ended = 1;
  EXPECT_EQ(ReadAll(*first, &ended), "served /one");
  EXPECT_EQ(ReadAll(*second, &ended), "/two");

  // No other interface, and never a part of another object.
  void* p = nullptr;
  EXPECT_EQ(RuntimeCreateInstance(kNetworkClass, kIID_MConsole, &p), kErrNoInterface);
  EXPECT_EQ(p, nullptr);
  EXPECT_EQ(RuntimeCreateInstance(kNetworkClass, kIID_MNetwork, &p, first.Get()), kErrNoInterface);
  EXPECT_EQ(p, nullptr);
}

}  // namespace
}  // namespace vk2::test

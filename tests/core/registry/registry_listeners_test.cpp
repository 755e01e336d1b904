#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "core/registry/named_object_registry.h"
#include "tests/core/registry/registry_fixture.h"

namespace vk2::test {
namespace {

class Recorder : public MNamedObjectListener {
 public:
  void OnChange(int32_t change, const TString& name, const TString& second) override {
    heard.push_back(std::to_string(change) + " " + Utf8(name).c_str() + " " + Utf8(second).c_str());
    if (react) react(change, name);
  }
  std::vector<std::string> heard;
  std::function<void(int32_t, const TString&)> react;
};

TEST(RegistryListenersTest, HearEveryChangeInOrder) {
  ThingRegistry r;
  Recorder a, b;
  ASSERT_EQ(r.registry.AddRemoveListener(&a, 1), 0);
  ASSERT_EQ(r.registry.AddRemoveListener(&a, 1), kErrAlreadyPresent);
  ASSERT_EQ(r.registry.AddRemoveListener(&b, 1), 0);
  r.registry.AddRemove(u"x", true);
  r.registry.Rename(u"x", u"y");
  r.registry.AddRemove(u"y", true);  // refused: nothing to hear
  r.registry.AddRemove(u"y", false);
  const std::vector<std::string> expected = {"0 x ", "2 x y", "1 y "};
  EXPECT_EQ(a.heard, expected);
  EXPECT_EQ(b.heard, expected);
  ASSERT_EQ(r.registry.AddRemoveListener(&a, 0), 0);
  ASSERT_EQ(r.registry.AddRemoveListener(&a, 0), kErrNotFound);
  r.registry.AddRemove(u"z", true);
  EXPECT_EQ(a.heard.size(), 3u);
  EXPECT_EQ(b.heard.size(), 4u);
}

TEST(RegistryListenersTest, MayChangeTheRegistryFromTheirCallback) {
  ThingRegistry r;
  Recorder chained, quitter, bystander;
  // Adding "first" makes "second"; the quitter leaves at its first call.
  chained.react = [&](int32_t change, const TString& name) {
    if (change == kNamedObjectAdded && name == u"first") r.registry.AddRemove(u"second", true);
  };
  quitter.react = [&](int32_t, const TString&) { r.registry.AddRemoveListener(&quitter, 0); };
  for (Recorder* l : {&chained, &quitter, &bystander})
    ASSERT_EQ(r.registry.AddRemoveListener(l, 1), 0);
  ASSERT_EQ(r.registry.AddRemove(u"first", true), 0);
  const std::vector<std::string> both = {"0 first ", "0 second "};
  EXPECT_EQ(chained.heard, both);
  EXPECT_EQ(quitter.heard, std::vector<std::string>{"0 first "});
  EXPECT_EQ(bystander.heard, both) << "every listener hears the changes in the same order";
}

TEST(RegistryListenersTest, RemovalWaitsForACallInFlight) {
  ThingRegistry r;
  std::promise<void> entered;
  std::atomic<bool> release{false}, finished{false};
  Recorder slow;
  slow.react = [&](int32_t, const TString&) {
    entered.set_value();
    while (!release.load())
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    finished = true;
  };
  ASSERT_EQ(r.registry.AddRemoveListener(&slow, 1), 0);
  auto adder = std::async(std::launch::async, [&] { return r.registry.AddRemove(u"a", true); });
  entered.get_future().wait();
  auto remover =
      std::async(std::launch::async, [&] { return r.registry.AddRemoveListener(&slow, 0); });
  EXPECT_EQ(remover.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
  // The registry itself is free while the listener runs.
  EXPECT_EQ(r.registry.ListNames().size(), 1u);
  release = true;
  EXPECT_EQ(remover.get(), 0);
  EXPECT_TRUE(finished.load());
  EXPECT_EQ(adder.get(), 0);
}

}  // namespace
}  // namespace vk2::test

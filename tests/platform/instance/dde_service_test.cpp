#include "platform/instance/dde_service.h"

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

#include "platform/instance/instance_paths.h"
#include "platform/instance/message_window.h"
#include "tests/platform/instance/private_run_folder.h"

namespace vk2::instance {
namespace {

constexpr uint32_t kWayOut = 30'000;

struct Seen {
  DdeTransaction type;
  std::string service, topic, data;
};

class DdeServiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    service_ = DdeService::Register("velkora2");
    ASSERT_NE(service_, nullptr);
    ASSERT_TRUE(service_->Serve([this](const DdeCall& call) -> int64_t {
      std::lock_guard lock(mutex_);
      seen_.push_back(
          {call.type, std::string(call.service), std::string(call.topic), std::string(call.data)});
      if (call.type == DdeTransaction::kConnect) return call.topic == "refused" ? 0 : 1;
      return call.type == DdeTransaction::kExecute ? kDdeFAck : 0;
    }));
  }

  test::PrivateRunFolder run_;
  std::unique_ptr<DdeService> service_;
  std::mutex mutex_;
  std::vector<Seen> seen_;
};

TEST_F(DdeServiceTest, AConversationConnectsToATopicAndExecutesInIt) {
  EXPECT_EQ(DdeSocketPath("velkora2"), run_.RunFolder() + "/dde/velkora2.sock");
  auto conversation = DdeConversation::Connect("velkora2", "anything", kWayOut);
  ASSERT_NE(conversation, nullptr);
  const std::string command("-clearplaylist\0", 15);
  EXPECT_EQ(conversation->Execute(command, kWayOut), kDdeFAck);
  EXPECT_EQ(conversation->Execute(std::string(kMaxRequestBytes, 'x'), kWayOut), kDdeFAck);
  EXPECT_FALSE(conversation->Execute(std::string(kMaxRequestBytes + 1, 'x'), kWayOut));

  std::lock_guard lock(mutex_);
  ASSERT_EQ(seen_.size(), 3u);
  EXPECT_EQ(seen_[0].type, DdeTransaction::kConnect);
  EXPECT_EQ(seen_[0].service, "velkora2");
  EXPECT_EQ(seen_[0].topic, "anything");
  EXPECT_EQ(seen_[1].type, DdeTransaction::kExecute);
  EXPECT_EQ(seen_[1].topic, "anything");
  EXPECT_EQ(seen_[1].data, command);
}

TEST_F(DdeServiceTest, RefusedTopicsUnknownServicesAndUnconnectedTransactionsDoNothing) {
  EXPECT_EQ(DdeConversation::Connect("velkora2", "refused", kWayOut), nullptr);
  EXPECT_EQ(DdeConversation::Connect("another", "anything", kWayOut), nullptr);
  EXPECT_EQ(DdeConversation::Connect("a/b", "anything", kWayOut), nullptr);

  // An execute without a conversation is answered 0 and never reaches the callback.
  UniqueFd fd;
  ASSERT_FALSE(ConnectTo(DdeSocketPath("velkora2"), &fd));
  Request execute;
  execute.kind = RequestKind::kDdeExecute;
  execute.bytes = "-play";
  EXPECT_EQ(Transact(fd.Get(), execute, kWayOut), 0);
  // A window message is no DDE transaction: the connection is closed unanswered.
  Request message;
  message.kind = RequestKind::kWindowMessage;
  EXPECT_FALSE(Transact(fd.Get(), message, kWayOut));

  std::lock_guard lock(mutex_);
  ASSERT_EQ(seen_.size(), 1u);
  EXPECT_EQ(seen_[0].topic, "refused");
}

TEST_F(DdeServiceTest, ASecondRegistrationOfALiveServiceFails) {
  std::error_code error;
  EXPECT_EQ(DdeService::Register("velkora2", &error), nullptr);
  EXPECT_EQ(error, std::errc::address_in_use);
  EXPECT_NE(DdeConversation::Connect("velkora2", "t", kWayOut), nullptr);
  service_->Close();
  EXPECT_EQ(DdeConversation::Connect("velkora2", "t", kWayOut), nullptr);
  EXPECT_NE(DdeService::Register("velkora2"), nullptr);
}

}  // namespace
}  // namespace vk2::instance

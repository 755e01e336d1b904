// The console: entries by index, listeners, levels and the disk log.
#include <gtest/gtest.h>

#include "component/module/runtime_loader.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/console.h"
#include "oru/services/console.h"
#include "tests/oru/sandbox.h"

namespace vk2::test {
namespace {

class Listener : public MConsoleListener {
 public:
  explicit Listener(MConsole* console) : console_(console) {}
  bool OnConsoleNotify(uint32_t code) override {
    codes.push_back(code);
    // Reading the console back from the notification is allowed.
    uint32_t newest = 0, count = 0;
    console_->GetNewest(&newest, &count);
    return true;
  }
  std::vector<uint32_t> codes;

 private:
  MConsole* console_;
};

class ConsoleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(session_.Bound());
    console_ = CreateRuntimeObject<MConsole>(kServiceClass, kIID_MConsole);
    ASSERT_TRUE(console_);
  }
  std::string Entry(uint32_t index, int32_t* level = nullptr) {
    TString text;
    if (console_->GetEntry(&text, index, level) != 0) return "<none>";
    return Utf8(text).c_str();
  }

  Sandbox sandbox_;
  RuntimeSession session_;
  RefPtr<MConsole> console_;
};

TEST_F(ConsoleTest, EntriesAreKeptByIndexWithTheirLevels) {
  uint32_t newest = 7, count = 7;
  EXPECT_EQ(console_->GetNewest(&newest, &count), -5);
  EXPECT_EQ(newest, 7u);
  const uint32_t base = 0;
  ASSERT_EQ(console_->Write(kConsoleWarning, u"first\n", 1), 0);
  ASSERT_EQ(console_->Printf(kConsoleError, u"%u Interface(s) found\n", 3u), 21);
  ASSERT_EQ(console_->GetNewest(&newest, &count), 0);
  EXPECT_EQ(newest, base + 1);
  int32_t level = 0;
  EXPECT_EQ(Entry(base, &level), "first\n");
  EXPECT_EQ(level, kConsoleWarning);
  EXPECT_EQ(Entry(base + 1, &level), "3 Interface(s) found\n");
  EXPECT_EQ(level, kConsoleError);
  EXPECT_EQ(Entry(base + 2), "<none>");
  // Levels outside 1..7 are brought into range.
  ASSERT_EQ(console_->Write(99, u"loud", 1), 0);
  EXPECT_EQ(Entry(base + 2, &level), "loud");
  EXPECT_EQ(level, 7);
}

TEST_F(ConsoleTest, AnOpenEntryIsContinuedByTheNextWrite) {
  uint32_t newest = 0;
  console_->Write(kConsoleInfo, u"start", 1);
  console_->GetNewest(&newest, nullptr);
  console_->Write(kConsoleProgress, u"loading", 0);
  console_->Write(kConsoleProgress, u"... done", 1);
  console_->Write(kConsoleProgress, u"next", 1);
  EXPECT_EQ(Entry(newest + 1), "loading... done");
  EXPECT_EQ(Entry(newest + 2), "next");
}

TEST_F(ConsoleTest, OnlyTheNewestEntriesAreKept) {
  uint32_t before = 0;
  console_->GetNewest(&before, nullptr);
  for (size_t i = 0; i < oru::ConsoleObject::kKeptEntries + 5; ++i) {
    console_->Printf(kConsoleInfo, u"line %u", static_cast<uint32_t>(i));
  }
  uint32_t newest = 0, count = 0;
  ASSERT_EQ(console_->GetNewest(&newest, &count), 0);
  EXPECT_EQ(count, oru::ConsoleObject::kKeptEntries);
  EXPECT_EQ(Entry(newest), "line " + std::to_string(oru::ConsoleObject::kKeptEntries + 4));
  EXPECT_EQ(Entry(newest - count), "<none>");
  EXPECT_EQ(Entry(before + 1), "<none>");
}

TEST_F(ConsoleTest, ListenersHearNewOutput) {
  Listener listener(console_.Get());
  ASSERT_EQ(console_->AddRemoveListener(&listener, 1), 0);
  EXPECT_EQ(console_->AddRemoveListener(&listener, 1), -6);
  console_->Write(kConsoleInfo, u"a", 1);
  console_->Printf(kConsoleInfo, u"%s", u"b");
  EXPECT_EQ(listener.codes, (std::vector<uint32_t>{kConsoleNewOutput, kConsoleNewOutput}));
  ASSERT_EQ(console_->AddRemoveListener(&listener, 0), 0);
  EXPECT_EQ(console_->AddRemoveListener(&listener, 0), -5);
  console_->Write(kConsoleInfo, u"c", 1);
  EXPECT_EQ(listener.codes.size(), 2u);
}

TEST_F(ConsoleTest, DiskLogHoldsWhatWasWrittenWhileItWasOn) {
  console_->Write(kConsoleInfo, u"before", 1);
  ASSERT_EQ(console_->SetDiskLogging(true), 0);
  console_->Write(kConsoleWarning, u"caf\u00e9", 1);
  console_->Printf(kConsoleError, u"failed: %d\n", -5);
  ASSERT_EQ(console_->SetDiskLogging(false), 0);
  console_->Write(kConsoleInfo, u"after", 1);
  EXPECT_EQ(ReadTextFile(sandbox_.ConsoleLogPath()), "[6] caf\xC3\xA9\n[7] failed: -5\n");
}

}  // namespace
}  // namespace vk2::test

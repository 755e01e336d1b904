// Named error tables: codes, copies of the texts, and entry tests.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "component/module/error_entry.h"
#include "component/module/runtime_loader.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/error_registry.h"
#include "interfaces/runtime/error_tables.h"
#include "tests/oru/sandbox.h"

namespace vk2::test {
namespace {

class ErrorTablesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(session_.Bound());
    errors_ = CreateRuntimeObject<MErrorRegistry>(kRuntimeRootClass, kIID_MErrorRegistry);
    ASSERT_TRUE(errors_);
  }

  Sandbox sandbox_;
  RuntimeSession session_;
  RefPtr<MErrorRegistry> errors_;
};

TEST_F(ErrorTablesTest, TablesGetDistinctCodesBelowTheBasicRange) {
  ErrorRecord first[3] = {{"one"}, {"two"}, {"three"}};
  ErrorRecord second[2] = {{"alpha"}, {"beta"}};
  ASSERT_EQ(errors_->RegisterTable(first, 3, "First"), 0);
  ASSERT_EQ(errors_->RegisterTable(second, 2, "Second"), 0);
  std::set<int32_t> codes;
  for (const ErrorRecord& r : first)
    codes.insert(r.code);
  for (const ErrorRecord& r : second)
    codes.insert(r.code);
  EXPECT_EQ(codes.size(), 5u);
  for (int32_t code : codes)
    EXPECT_LT(code, -255);
  for (uint32_t i = 0; i < 3; ++i)
    EXPECT_EQ(first[i].index, i);
  EXPECT_EQ(first[1].reserved[0], 0u);
}

TEST_F(ErrorTablesTest, SameTableAgainGetsTheSameCodesAndTheTextsAreCopied) {
  char text[] = "the stream ended early";
  ErrorRecord mine[2] = {{text}, {"another"}};
  ASSERT_EQ(errors_->RegisterTable(mine, 2, "Shared"), 0);
  ErrorRecord theirs[2] = {{"the stream ended early"}, {"another"}};
  ASSERT_EQ(errors_->RegisterTable(theirs, 2, "Shared"), 0);
  EXPECT_EQ(mine[0].code, theirs[0].code);
  EXPECT_EQ(mine[1].code, theirs[1].code);

  // The registry keeps its own copy: the module's memory may go.
  std::memset(text, 'x', sizeof text - 1);
  const ErrorRecord* record = errors_->GetRecord(mine[0].code, 0);
  ASSERT_NE(record, nullptr);
  EXPECT_STREQ(record->message, "the stream ended early");
  EXPECT_NE(record, &mine[0]);
}

TEST_F(ErrorTablesTest, RecordsAreFoundByCodeAndTable) {
  ErrorRecord records[3] = {{"a"}, {"b"}, {"c"}};
  ASSERT_EQ(errors_->RegisterTable(records, 3, "Lookup"), 0);
  ErrorTableHandle table = errors_->FindTable("Lookup");
  ASSERT_NE(table, 0u);
  EXPECT_EQ(errors_->FindTable("Nowhere"), 0u);
  ASSERT_NE(errors_->GetRecord(records[2].code, table), nullptr);
  EXPECT_EQ(errors_->GetRecord(records[2].code, table)->index, 2u);
  EXPECT_EQ(errors_->GetRecord(records[2].code, errors_->FindTable(kBasicErrorsTable)), nullptr);
  EXPECT_EQ(errors_->GetRecord(-99999, 0), nullptr);

  EXPECT_TRUE(IsErrorEntry(errors_.Get(), records[1].code, 1, "Lookup"));
  EXPECT_FALSE(IsErrorEntry(errors_.Get(), records[1].code, 2, "Lookup"));
  EXPECT_FALSE(IsErrorEntry(errors_.Get(), records[1].code, 1, "Nowhere"));
  EXPECT_FALSE(IsErrorEntry(errors_.Get(), -123456, 1, "Lookup"));
  EXPECT_FALSE(IsErrorEntry(nullptr, records[1].code, 1, "Lookup"));
}

TEST_F(ErrorTablesTest, BasicErrorsNameTheSmallCodes) {
  const ErrorRecord* notFound = errors_->GetRecord(-5, 0);
  ASSERT_NE(notFound, nullptr);
  EXPECT_STREQ(notFound->message, "the item was not found");
  EXPECT_TRUE(IsErrorEntry(errors_.Get(), -5, kBasicErrorNotFound, kBasicErrorsTable));
  EXPECT_NE(errors_->GetRecord(-15, errors_->FindTable(kBasicErrorsTable)), nullptr);
  EXPECT_NE(errors_->FindTable(kPreferenceSystemTable), 0u);
}

TEST_F(ErrorTablesTest, BadTablesAreRefused) {
  ErrorRecord one[1] = {{"x"}};
  EXPECT_LT(errors_->RegisterTable(nullptr, 1, "T"), 0);
  EXPECT_LT(errors_->RegisterTable(one, 0, "T"), 0);
  EXPECT_LT(errors_->RegisterTable(one, 1, nullptr), 0);
  EXPECT_LT(errors_->RegisterTable(one, 1, ""), 0);
  EXPECT_EQ(one[0].code, 0);
}

}  // namespace
}  // namespace vk2::test

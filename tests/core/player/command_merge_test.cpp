// Merging of commands still waiting in the queue when the player thread takes the next one.
#include <deque>

#include "core/player/player_command_queue.h"

namespace vk2 {
namespace {

PlayerCommand Cmd(uint32_t kind, uintptr_t target = 0, double position = -1.0) {
  PlayerCommand c;
  c.command = kind;
  c.target = target;
  c.position = position;
  return c;
}

struct MergeCase {
  const char* name;
  std::vector<PlayerCommand> queued;
  // The survivor.
  uint32_t command;
  uintptr_t target;
  int32_t steps;
  size_t merged;
  size_t left;  // records left in the queue
};

class CommandMergeTest : public ::testing::TestWithParam<MergeCase> {};

TEST_P(CommandMergeTest, MergesWaitingRecords) {
  const MergeCase& c = GetParam();
  std::deque<QueuedCommand> queue;
  for (auto& record : c.queued)
    queue.push_back(QueuedCommand{record, nullptr});
  CommandBatch batch = TakeMerged(queue);
  EXPECT_EQ(batch.survivor.record.command, c.command);
  EXPECT_EQ(batch.survivor.record.target, c.target);
  EXPECT_EQ(batch.survivor.record.steps, c.steps);
  EXPECT_EQ(batch.merged.size(), c.merged);
  EXPECT_EQ(queue.size(), c.left);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandMergeTest,
    ::testing::Values(MergeCase{"LoneNextStaysNext", {Cmd(kCommandNext)}, kCommandNext, 0, 0, 0, 0},
                      MergeCase{"FiveNextsAreOneMoveByFive",
                                {Cmd(kCommandNext), Cmd(kCommandNext), Cmd(kCommandNext),
                                 Cmd(kCommandNext), Cmd(kCommandNext)},
                                kCommandGoToItem,
                                0,
                                5,
                                4,
                                0},
                      MergeCase{"NextNextPreviousIsOne",
                                {Cmd(kCommandNext), Cmd(kCommandNext), Cmd(kCommandPrevious)},
                                kCommandGoToItem,
                                0,
                                1,
                                2,
                                0},
                      MergeCase{"PreviousThenNextCancelOut",
                                {Cmd(kCommandPrevious), Cmd(kCommandNext)},
                                kCommandGoToItem,
                                0,
                                0,
                                1,
                                0},
                      MergeCase{"JumpReplacesSteps",
                                {Cmd(kCommandNext), Cmd(kCommandGoToItem, 7), Cmd(kCommandNext)},
                                kCommandGoToItem,
                                7,
                                1,
                                2,
                                0},
                      MergeCase{"IndexJumpReplacesSteps",
                                {Cmd(kCommandNext), Cmd(kCommandGoToIndex, 3)},
                                kCommandGoToIndex,
                                3,
                                0,
                                1,
                                0},
                      MergeCase{"PlayEndsTheRun",
                                {Cmd(kCommandNext), Cmd(kCommandPlay), Cmd(kCommandNext)},
                                kCommandNext,
                                0,
                                0,
                                0,
                                2},
                      MergeCase{"StepsDoNotSwallowSeeksInTheItem",
                                {Cmd(kCommandNext), Cmd(kCommandGoToItem, 0, 10.0)},
                                kCommandNext,
                                0,
                                0,
                                0,
                                1},
                      MergeCase{"LastSeekInTheItemWins",
                                {Cmd(kCommandGoToItem, 0, 10.0), Cmd(kCommandGoToItem, 0, 20.0),
                                 Cmd(kCommandGoToItem, 0, 30.0), Cmd(kCommandStop)},
                                kCommandGoToItem,
                                0,
                                0,
                                2,
                                1},
                      MergeCase{"PlaylistChangesAreNeverMerged",
                                {Cmd(kCommandSetPlaylist, 1), Cmd(kCommandSetPlaylist, 2)},
                                kCommandSetPlaylist,
                                1,
                                0,
                                0,
                                1}),
    [](const auto& info) { return info.param.name; });

TEST(CommandMerge, SeekSurvivorKeepsItsPositionAndMergedOnesClearNone) {
  std::deque<QueuedCommand> queue;
  queue.push_back({Cmd(kCommandGoToItem, 0, 10.0), nullptr});
  queue.push_back({Cmd(kCommandGoToItem, 0, 30.0), nullptr});
  CommandBatch batch = TakeMerged(queue);
  EXPECT_EQ(batch.survivor.record.position, 30.0);
  EXPECT_FALSE(batch.clearHeldPosition);
}

TEST(CommandMerge, AJumpWithoutPositionClearsThePositionAMergedSeekShowed) {
  std::deque<QueuedCommand> queue;
  queue.push_back({Cmd(kCommandGoToIndex, 1, 42.0), nullptr});
  queue.push_back({Cmd(kCommandGoToItem, 9), nullptr});
  CommandBatch batch = TakeMerged(queue);
  EXPECT_EQ(batch.survivor.record.target, 9u);
  EXPECT_TRUE(batch.clearHeldPosition);
}

TEST(CommandMerge, MergedWaitersHearTheSurvivorsFailureOrThatTheyWereMerged) {
  for (int32_t survivorResult : {0, -42}) {
    std::deque<QueuedCommand> queue;
    auto first = std::make_shared<PlayerCompletion>();
    auto second = std::make_shared<PlayerCompletion>();
    queue.push_back({Cmd(kCommandNext), nullptr});
    queue.push_back({Cmd(kCommandNext), first});
    queue.push_back({Cmd(kCommandNext), second});
    CommandBatch batch = TakeMerged(queue);
    CompleteMerged(batch, survivorResult);
    const int32_t expected = survivorResult < 0 ? survivorResult : kPlayerCommandMerged;
    EXPECT_EQ(first->Wait(0), expected);
    EXPECT_EQ(second->Wait(0), expected);
  }
}

TEST(CommandQueue, StopHandsBackWhatWasQueuedAndRefusesMore) {
  PlayerCommandQueue queue;
  ASSERT_TRUE(queue.Push({Cmd(kCommandPlay), nullptr}));
  ASSERT_TRUE(queue.Push({Cmd(kCommandStop), nullptr}));
  auto left = queue.Stop();
  ASSERT_EQ(left.size(), 2u);
  EXPECT_EQ(left[1].record.command, kCommandStop);
  EXPECT_FALSE(queue.Push({Cmd(kCommandPlay), nullptr}));
  EXPECT_FALSE(queue.Take().has_value());
}

}  // namespace
}  // namespace vk2

#include "core/player/player_command_queue.h"

#include <chrono>
#include <utility>

#include "platform/wait.h"

namespace vk2 {

void PlayerCompletion::Complete(int32_t value) {
  {
    std::lock_guard lock(mutex);
    result = value;
    completed = true;
  }
  done.notify_all();
}

std::optional<int32_t> PlayerCompletion::Wait(uint32_t timeoutMs) {
  std::unique_lock lock(mutex);
  if (timeoutMs == kInfinite) {
    done.wait(lock, [&] { return completed; });
  } else if (!done.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                            [&] { return completed; })) {
    return std::nullopt;
  }
  return result;
}

namespace {

bool IsStepOrJump(const PlayerCommand& c) {
  return c.command == kCommandNext || c.command == kCommandPrevious ||
         (c.command == kCommandGoToItem && c.target != 0) || c.command == kCommandGoToIndex;
}

bool IsRelativeSeek(const PlayerCommand& c) {
  return c.command == kCommandGoToItem && c.target == 0;
}

// A Next or Previous becomes a move from the current item.
void MakeRelativeMove(PlayerCommand& c) {
  const int32_t step = c.command == kCommandNext ? 1 : -1;
  c.command = kCommandGoToItem;
  c.target = 0;
  c.steps = step;
  c.position = -1.0;
  c.exact = 1;
  c.play = 0;
}

}  // namespace

CommandBatch TakeMerged(std::deque<QueuedCommand>& queue) {
  CommandBatch batch{std::move(queue.front()), {}, false};
  queue.pop_front();
  PlayerCommand& acc = batch.survivor.record;
  bool shownPosition = acc.position != -1.0;
  auto drop = [&](QueuedCommand&& replaced) {
    shownPosition = shownPosition || replaced.record.position != -1.0;
    batch.merged.push_back(std::move(replaced));
  };
  if (IsStepOrJump(acc)) {
    while (!queue.empty() && IsStepOrJump(queue.front().record)) {
      QueuedCommand next = std::move(queue.front());
      queue.pop_front();
      if (acc.command == kCommandNext || acc.command == kCommandPrevious) MakeRelativeMove(acc);
      const uint32_t kind = next.record.command;
      if (kind == kCommandNext || kind == kCommandPrevious) {
        acc.steps += kind == kCommandNext ? 1 : -1;
        drop(std::move(next));
      } else {
        std::swap(batch.survivor, next);
        drop(std::move(next));
      }
    }
  } else if (IsRelativeSeek(acc)) {
    while (!queue.empty() && IsRelativeSeek(queue.front().record)) {
      QueuedCommand next = std::move(queue.front());
      queue.pop_front();
      std::swap(batch.survivor, next);
      drop(std::move(next));
    }
  }
  // The survivor's own position (held when it was posted) replaces what the others showed.
  batch.clearHeldPosition =
      shownPosition && !batch.merged.empty() && batch.survivor.record.position == -1.0;
  return batch;
}

void CompleteMerged(CommandBatch& batch, int32_t result) {
  for (QueuedCommand& c : batch.merged) {
    if (c.waiter) c.waiter->Complete(result < 0 ? result : kPlayerCommandMerged);
  }
}

bool PlayerCommandQueue::Push(QueuedCommand command) {
  {
    std::lock_guard lock(mutex_);
    if (stopped_) return false;
    queue_.push_back(std::move(command));
  }
  wake_.notify_one();
  return true;
}

std::optional<CommandBatch> PlayerCommandQueue::Take() {
  std::unique_lock lock(mutex_);
  wake_.wait(lock, [&] { return stopped_ || !queue_.empty(); });
  if (stopped_) return std::nullopt;
  return TakeMerged(queue_);
}

std::vector<QueuedCommand> PlayerCommandQueue::Stop() {
  std::vector<QueuedCommand> left;
  {
    std::lock_guard lock(mutex_);
    stopped_ = true;
    for (auto& c : queue_)
      left.push_back(std::move(c));
    queue_.clear();
  }
  wake_.notify_all();
  return left;
}

}  // namespace vk2

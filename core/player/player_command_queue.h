// The player's command queue: callers post transport records, the player thread takes them one
// at a time, merging runs of steps and seeks that are still waiting so that five quick Next
// presses become one move by five items.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "interfaces/core/player.h"

namespace vk2 {

// What a waiting caller waits on.
struct PlayerCompletion {
  void Complete(int32_t result);
  // The result, or nothing when `timeoutMs` passed first.
  std::optional<int32_t> Wait(uint32_t timeoutMs);

  std::mutex mutex;
  std::condition_variable done;
  bool completed = false;
  int32_t result = 0;
};

struct QueuedCommand {
  PlayerCommand record;
  std::shared_ptr<PlayerCompletion> waiter;  // null for an asynchronous caller
};

// What the player thread runs next, and the records merged into it.
struct CommandBatch {
  QueuedCommand survivor;
  std::vector<QueuedCommand> merged;
  // A merged-away record had shown a held position that the survivor does not replace.
  bool clearHeldPosition = false;
};

// Takes the front of `queue` and merges into it what may be merged.
CommandBatch TakeMerged(std::deque<QueuedCommand>& queue);

// Completes the merged records of a batch whose survivor gave `result`.
void CompleteMerged(CommandBatch& batch, int32_t result);

class PlayerCommandQueue {
 public:
  // False once stopped: the record is not queued.
  bool Push(QueuedCommand command);
  // Waits for a batch; nothing once stopped.
  std::optional<CommandBatch> Take();
  // Refuses further records and wakes the taker; returns what was still queued.
  std::vector<QueuedCommand> Stop();

 private:
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<QueuedCommand> queue_;
  bool stopped_ = false;
};

}  // namespace vk2

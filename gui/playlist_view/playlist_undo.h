// Undo records of the playlist list: moves and removals, each kept as runs of consecutive rows
// with the id of the row before each run, so that undoing puts every run back where it was.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "core/playlist/item_info.h"

namespace vk2::gui {

struct UndoRun {
  uint32_t before = 0;  // the id of the row before the run; 0 at the top
  std::vector<uint32_t> ids;
  std::vector<ItemInfo> records;  // removals only: the items as they were
};

struct PlaylistUndoRecord {
  enum Kind { kMove = 0, kRemoval = 1 };
  Kind kind = kMove;
  std::vector<UndoRun> runs;
  std::vector<uint32_t> movedIds;  // moves: every id, in list order
  uint32_t target = 0;             // moves: the id they were dropped after
};

// Splits (index, id) pairs, sorted by index, into runs of consecutive indexes. `idAt` gives the
// id of a row by index.
template <class IdAt>
std::vector<UndoRun> SplitRuns(const std::vector<std::pair<int32_t, uint32_t>>& sorted, IdAt idAt) {
  std::vector<UndoRun> runs;
  int32_t previous = -2;
  for (const auto& [index, id] : sorted) {
    if (index != previous + 1) {
      runs.emplace_back();
      runs.back().before = index > 0 ? idAt(index - 1) : 0;
    }
    runs.back().ids.push_back(id);
    previous = index;
  }
  return runs;
}

// The undo and redo stacks. The undo stack keeps the ten newest records.
class UndoStacks {
 public:
  static constexpr size_t kUndoDepth = 10;

  // A new action: the redo stack empties.
  void Push(std::unique_ptr<PlaylistUndoRecord> record);
  // Puts a redone record back without touching the redo stack.
  void PushUndoKeepRedo(std::unique_ptr<PlaylistUndoRecord> record);
  void PushRedo(std::unique_ptr<PlaylistUndoRecord> record);
  std::unique_ptr<PlaylistUndoRecord> PopUndo();
  std::unique_ptr<PlaylistUndoRecord> PopRedo();
  size_t UndoCount();
  size_t RedoCount();

 private:
  std::mutex mutex_;
  std::vector<std::unique_ptr<PlaylistUndoRecord>> undo_;
  std::vector<std::unique_ptr<PlaylistUndoRecord>> redo_;
};

}  // namespace vk2::gui

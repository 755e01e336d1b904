#include "gui/playlist_view/playlist_undo.h"

namespace vk2::gui {

void UndoStacks::Push(std::unique_ptr<PlaylistUndoRecord> record) {
  std::lock_guard lock(mutex_);
  redo_.clear();
  if (undo_.size() >= kUndoDepth) undo_.erase(undo_.begin());
  undo_.push_back(std::move(record));
}

void UndoStacks::PushUndoKeepRedo(std::unique_ptr<PlaylistUndoRecord> record) {
  std::lock_guard lock(mutex_);
  if (undo_.size() >= kUndoDepth) undo_.erase(undo_.begin());
  undo_.push_back(std::move(record));
}

void UndoStacks::PushRedo(std::unique_ptr<PlaylistUndoRecord> record) {
  std::lock_guard lock(mutex_);
  redo_.push_back(std::move(record));
}

std::unique_ptr<PlaylistUndoRecord> UndoStacks::PopUndo() {
  std::lock_guard lock(mutex_);
  if (undo_.empty()) return nullptr;
  auto record = std::move(undo_.back());
  undo_.pop_back();
  return record;
}

std::unique_ptr<PlaylistUndoRecord> UndoStacks::PopRedo() {
  std::lock_guard lock(mutex_);
  if (redo_.empty()) return nullptr;
  auto record = std::move(redo_.back());
  redo_.pop_back();
  return record;
}

size_t UndoStacks::UndoCount() {
  std::lock_guard lock(mutex_);
  return undo_.size();
}

size_t UndoStacks::RedoCount() {
  std::lock_guard lock(mutex_);
  return redo_.size();
}

}  // namespace vk2::gui

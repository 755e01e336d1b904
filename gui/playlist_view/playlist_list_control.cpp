#include "gui/playlist_view/playlist_list_control.h"

#include <algorithm>

#include "gui/playlist_view/playlist_column.h"
#include "gui/playlist_view/playlist_row.h"

namespace vk2::gui {

// Hears the player's events on the player's event thread.
class PlaylistListControl::PlayerEar final
    : public ComObject<PlayerEar, SilentFace<MPlayerListener>> {
 public:
  explicit PlayerEar(PlaylistListControl* owner) : owner_(owner) {}
  void OnEvent(MPlayer*, int32_t code, const char16_t*) override { owner_->OnPlayerEvent(code); }

 private:
  PlaylistListControl* const owner_;
};

PlaylistListControl::PlaylistListControl(MPlaylistView* view, MPlaylist* playlist, MPlayer* player,
                                         const PlaylistSkin* skin)
    : view_(view), playlist_(playlist), player_(player), skin_(skin) {
  if (playlist_) {
    playlist_->AddRemoveListener(this, 1, 1);
    BuildRows();
  }
  if (player_) {
    ear_ = RefPtr<PlayerEar>(new PlayerEar(this));
    player_->AddRemoveListener(ear_.Get(), 1);
  }
  ReadPlayerInfo();
  searching_.store(false);
}

PlaylistListControl::~PlaylistListControl() {
  // Removal waits for a delivery in flight, so nothing calls in after this.
  if (player_ && ear_) player_->AddRemoveListener(ear_.Get(), 0);
  if (playlist_) playlist_->AddRemoveListener(this, 0, 1);
  // The rows go with the list view, which the window releases next.
}

void PlaylistListControl::AddColumns() {
  struct Spec {
    const char16_t* name;
    double share;
    int32_t minimum;
    int32_t maximum;
    uint32_t flags;
  };
  static constexpr Spec kColumns[] = {
      {u"#", 0.05, 16, 40, kColumnSelectedSet},   {u"Name", 0.35, 16, kColumnUnlimited, 0},
      {u"Author", 0.25, 16, kColumnUnlimited, 0}, {u"Genre", 0.2, 16, kColumnUnlimited, 0},
      {u"Time", 0.15, 16, kColumnUnlimited, 0},
  };
  for (const Spec& spec : kColumns) {
    RefPtr<PlaylistColumn> column(
        new PlaylistColumn(this, spec.name, spec.share, spec.minimum, spec.maximum, spec.flags));
    view_->AddColumn(column.Get());
  }
  ClearSearch();
}

RefPtr<MListViewRow> PlaylistListControl::MakeRow(uint32_t id) {
  return RefPtr<MListViewRow>(new PlaylistRow(this, id));
}

void PlaylistListControl::BuildRows() {
  std::lock_guard lock(rowsMutex_);
  TArray<uint32_t> ids;
  if (playlist_->GetCurrentList(&ids, nullptr) < 0 || ids.IsEmpty()) return;
  std::vector<RefPtr<MListViewRow>> rows;
  std::vector<MListViewRow*> raw;
  for (uint32_t id : ids) {
    rows.push_back(MakeRow(id));
    raw.push_back(rows.back().Get());
  }
  view_->SetRows(raw.data(), static_cast<int32_t>(raw.size()));
}

uint32_t PlaylistListControl::IdAt(int32_t index) {
  MListViewRow* row = nullptr;
  if (!view_->GetRows(index, 1, &row) || !row) return 0;
  const uint32_t id = row->GetId();
  row->Release();
  return id;
}

int32_t PlaylistListControl::InsertIndex(uint32_t afterId) {
  if (afterId == kPlaylistTop) return 0;
  if (afterId == kPlaylistBottom) return view_->RowCount();
  const int32_t at = view_->IndexOfId(afterId);
  return at < 0 ? -1 : at + 1;
}

int32_t PlaylistListControl::OnChange(const PlaylistChangeList* changes) {
  std::lock_guard lock(rowsMutex_);
  if (!changes) {
    view_->RemoveAllRows();
    BuildRows();
    view_->InvalidateRows(0, -1);
    return 0;
  }
  for (const PlaylistChange& change : changes->records)
    ApplyChange(change);
  return 0;
}

void PlaylistListControl::ApplyChange(const PlaylistChange& change) {
  const auto count = static_cast<int32_t>(change.ids.Count());
  switch (change.type) {
    case PlaylistChangeType::kItemsAdded: {
      const int32_t at = InsertIndex(change.idAfter);
      if (at < 0 || count == 0) return;
      std::vector<RefPtr<MListViewRow>> rows;
      std::vector<MListViewRow*> raw;
      for (uint32_t id : change.ids) {
        // A row made from the list the control started with already stands for it.
        if (view_->IndexOfId(id) >= 0) continue;
        rows.push_back(MakeRow(id));
        raw.push_back(rows.back().Get());
      }
      if (raw.empty()) return;
      view_->InsertRows(at, raw.data(), static_cast<int32_t>(raw.size()));
      view_->InvalidateRows(at, -1);
      return;
    }
    case PlaylistChangeType::kItemsRemoved: {
      // The ids need not be neighbours in the list: each goes on its own.
      int32_t first = -1;
      for (uint32_t id : change.ids) {
        const int32_t at = view_->IndexOfId(id);
        if (at < 0) continue;
        view_->RemoveRows(at, 1);
        first = first < 0 ? at : std::min(first, at);
      }
      if (first >= 0) view_->InvalidateRows(first, -1);
      return;
    }
    case PlaylistChangeType::kItemsUpdated: {
      for (uint32_t id : change.ids) {
        const int32_t at = view_->IndexOfId(id);
        if (at < 0) continue;
        MListViewRow* row = nullptr;
        if (view_->GetRows(at, 1, &row) && row) {
          if (auto* playlistRow = dynamic_cast<PlaylistRow*>(row)) playlistRow->MarkNotFetched();
          row->Release();
        }
        view_->InvalidateRows(at, at + 1);
      }
      return;
    }
    case PlaylistChangeType::kItemsMoved: {
      // The moved ids now follow `idAfter` in order; they may have come from anywhere.
      uint32_t previous = change.idAfter;
      int32_t lowest = view_->RowCount();
      for (uint32_t id : change.ids) {
        const int32_t from = view_->IndexOfId(id);
        if (from < 0) continue;
        int32_t to = 0;
        if (previous != kPlaylistTop) {
          int32_t after = view_->IndexOfId(previous);
          if (after < 0) {
            view_->InvalidateRows(0, -1);
            return;
          }
          if (after > from) --after;  // its index once the moved row has left
          to = after + 1;
        }
        if (to != from) view_->MoveRows(to, from, 1);
        lowest = std::min({lowest, from, to});
        previous = id;
      }
      view_->InvalidateRows(lowest, -1);
      return;
    }
    case PlaylistChangeType::kAllItemsRemoved:
      view_->RemoveAllRows();
      view_->InvalidateRows(0, -1);
      return;
    case PlaylistChangeType::kAllItemsMoved: {
      const int32_t rowCount = view_->RowCount();
      if (count != rowCount || count == 0) return;
      std::vector<MListViewRow*> rows(static_cast<size_t>(count), nullptr);
      if (!view_->GetRows(0, count, rows.data())) return;
      std::vector<MListViewRow*> sorted = rows;
      std::sort(sorted.begin(), sorted.end(),
                [](MListViewRow* a, MListViewRow* b) { return a->GetId() < b->GetId(); });
      std::vector<MListViewRow*> order;
      order.reserve(rows.size());
      for (uint32_t id : change.ids) {
        auto found =
            std::lower_bound(sorted.begin(), sorted.end(), id,
                             [](MListViewRow* row, uint32_t v) { return row->GetId() < v; });
        if (found == sorted.end() || (*found)->GetId() != id) break;
        order.push_back(*found);
      }
      if (order.size() == rows.size()) {
        view_->ReplaceRows(0, order.data(), count);
        view_->InvalidateRows(0, -1);
      }
      for (MListViewRow* row : rows)
        row->Release();
      return;
    }
    default:
      return;
  }
}

void PlaylistListControl::ReadPlayerInfo() {
  std::lock_guard lock(playerMutex_);
  PlayerInfo info;
  if (player_ && player_->GetInfo(&info) >= 0) {
    playersItem_.store(info.currentId);
    playing_.store((info.state & kPlayerStateMask) != 0);
  } else {
    playersItem_.store(0);
    playing_.store(false);
  }
}

void PlaylistListControl::InvalidateId(uint32_t id) {
  if (id == 0) return;
  const int32_t at = view_->IndexOfId(id);
  if (at >= 0) view_->InvalidateRows(at, at + 1);
}

void PlaylistListControl::OnPlayerEvent(int32_t code) {
  std::lock_guard lock(playerMutex_);
  switch (code) {
    case kPlayerPlaying:
      playing_.store(true);
      InvalidateId(playersItem_.load());
      break;
    case kPlayerPlayFailed:
    case kPlayerStopping:
      playing_.store(false);
      InvalidateId(playersItem_.load());
      break;
    case kPlayerCurrentIdChanged: {
      const uint32_t old = playersItem_.load();
      PlayerInfo info;
      if (player_ && player_->GetInfo(&info) >= 0) playersItem_.store(info.currentId);
      InvalidateId(old);
      InvalidateId(playersItem_.load());
      break;
    }
    default:
      break;
  }
}

bool PlaylistListControl::SortedIndexes(const std::vector<uint32_t>& ids,
                                        std::vector<std::pair<int32_t, uint32_t>>* pairs) {
  pairs->clear();
  for (uint32_t id : ids) {
    const int32_t at = view_->IndexOfId(id);
    if (at < 0) return false;
    pairs->emplace_back(at, id);
  }
  std::sort(pairs->begin(), pairs->end());
  return true;
}

bool PlaylistListControl::DropRows(MListViewRow* const* rows, int32_t count, int32_t target) {
  if (!playlist_ || !rows || count <= 0) return false;
  std::vector<uint32_t> ids;
  for (int32_t i = 0; i < count; ++i)
    ids.push_back(rows[i]->GetId());
  std::vector<std::pair<int32_t, uint32_t>> pairs;
  if (!SortedIndexes(ids, &pairs)) return false;
  // Dropped before row `target`: after the nearest row above it that does not move.
  const int32_t rowCount = view_->RowCount();
  int32_t above = (target < 0 || target > rowCount) ? rowCount - 1 : target - 1;
  auto moving = [&](int32_t index) {
    return std::any_of(pairs.begin(), pairs.end(), [&](const auto& p) { return p.first == index; });
  };
  while (above >= 0 && moving(above))
    --above;
  auto record = std::make_unique<PlaylistUndoRecord>();
  record->kind = PlaylistUndoRecord::kMove;
  record->runs = SplitRuns(pairs, [&](int32_t index) { return IdAt(index); });
  for (const auto& pair : pairs)
    record->movedIds.push_back(pair.second);
  record->target = above >= 0 ? IdAt(above) : kPlaylistTop;
  const int32_t moved = playlist_->MoveItems(
      record->movedIds.data(), static_cast<uint32_t>(record->movedIds.size()), record->target);
  if (moved < 0) return false;
  stacks_.Push(std::move(record));
  return true;
}

void PlaylistListControl::RemoveSelection() {
  const int32_t count = view_->GetSelection(nullptr, 0);
  if (count <= 0) return;
  std::vector<uint32_t> ids(static_cast<size_t>(count));
  ids.resize(static_cast<size_t>(std::min(count, view_->GetSelection(ids.data(), count))));
  RemoveIds(std::move(ids));
}

void PlaylistListControl::RemoveIds(std::vector<uint32_t> ids) {
  if (!playlist_ || ids.empty()) return;
  std::vector<std::pair<int32_t, uint32_t>> pairs;
  if (!SortedIndexes(ids, &pairs)) return;
  auto record = std::make_unique<PlaylistUndoRecord>();
  record->kind = PlaylistUndoRecord::kRemoval;
  record->runs = SplitRuns(pairs, [&](int32_t index) { return IdAt(index); });
  for (UndoRun& run : record->runs) {
    for (uint32_t id : run.ids) {
      ItemInfo item;
      if (playlist_->GetUIDInfo(id, &item) < 0) return;
      run.records.push_back(std::move(item));
    }
  }
  std::vector<uint32_t> sortedIds;
  for (const auto& pair : pairs)
    sortedIds.push_back(pair.second);
  if (playlist_->RemoveItems(sortedIds.data(), static_cast<uint32_t>(sortedIds.size())) < 0) return;
  stacks_.Push(std::move(record));
}

void PlaylistListControl::Undo() {
  auto record = stacks_.PopUndo();
  if (!record || !playlist_) return;
  for (UndoRun& run : record->runs) {
    int32_t result = 0;
    if (record->kind == PlaylistUndoRecord::kMove) {
      result =
          playlist_->MoveItems(run.ids.data(), static_cast<uint32_t>(run.ids.size()), run.before);
    } else {
      // The items come back under their old ids, so older records still name them.
      for (ItemInfo& item : run.records)
        item.Set(kIdPresent);
      result = playlist_->AddItems(run.records.data(), static_cast<uint32_t>(run.records.size()),
                                   run.before, nullptr);
    }
    if (result < 0) return;
  }
  stacks_.PushRedo(std::move(record));
}

void PlaylistListControl::Redo() {
  auto record = stacks_.PopRedo();
  if (!record || !playlist_) return;
  if (record->kind == PlaylistUndoRecord::kMove) {
    if (playlist_->MoveItems(record->movedIds.data(),
                             static_cast<uint32_t>(record->movedIds.size()), record->target) >= 0) {
      stacks_.PushUndoKeepRedo(std::move(record));
    }
    return;
  }
  std::vector<uint32_t> ids;
  for (const UndoRun& run : record->runs)
    ids.insert(ids.end(), run.ids.begin(), run.ids.end());
  // Redoing keeps what is left to redo, as a redone move does.
  std::vector<std::unique_ptr<PlaylistUndoRecord>> keep;
  while (auto rest = stacks_.PopRedo())
    keep.push_back(std::move(rest));
  RemoveIds(std::move(ids));
  for (auto it = keep.rbegin(); it != keep.rend(); ++it)
    stacks_.PushRedo(std::move(*it));
}

TString PlaylistListControl::SearchText() {
  std::lock_guard lock(searchMutex_);
  return search_;
}

void PlaylistListControl::ClearSearch() {
  std::lock_guard lock(searchMutex_);
  search_ = TString();
  searchPosition_ = 0;
  searchForward_ = true;
}

void PlaylistListControl::SelectionOrCurrentChanged() {
  if (!searching_.load()) ClearSearch();
}

int32_t PlaylistListControl::CurrentRow() {
  const uint32_t id = view_->GetCurrentId();
  return id ? view_->IndexOfId(id) : -1;
}

bool PlaylistListControl::RowMatches(int32_t index, const TString& text) {
  MListViewRow* row = nullptr;
  if (!view_->GetRows(index, 1, &row) || !row) return false;
  bool match = false;
  if (auto* playlistRow = dynamic_cast<PlaylistRow*>(row)) {
    for (const char16_t* column : {u"Name", u"Author", u"Genre"}) {
      if (playlistRow->Text(column, index).Find(text.c_str(), false) >= 0) {
        match = true;
        break;
      }
    }
  }
  row->Release();
  return match;
}

bool PlaylistListControl::Search(int32_t position, bool forward) {
  const TString text = SearchText();
  const int32_t count = view_->RowCount();
  if (count == 0 || text.IsEmpty()) return false;
  int32_t i = position;
  bool wrapped = false;
  for (;;) {
    if (i < 0 || i >= count) {
      if (wrapped) return false;
      wrapped = true;
      i = forward ? 0 : count - 1;
    }
    if (wrapped && i == position) return false;
    if (RowMatches(i, text)) {
      const uint32_t id = IdAt(i);
      {
        std::lock_guard lock(searchMutex_);
        searchPosition_ = i;
        searchForward_ = forward;
      }
      searching_.store(true);
      view_->SetCurrentId(id);
      view_->ScrollToShow(id);
      view_->SearchMatched(i);
      searching_.store(false);
      return true;
    }
    i += forward ? 1 : -1;
  }
}

bool PlaylistListControl::Escape() {
  bool hadText = false;
  {
    std::lock_guard lock(searchMutex_);
    hadText = !search_.IsEmpty();
  }
  ClearSearch();
  if (hadText) {
    const int32_t row = CurrentRow();
    if (row >= 0) view_->InvalidateRows(row, row + 1);
  }
  view_->SetSelection(nullptr, 0);
  return false;  // the list view hears Escape too
}

bool PlaylistListControl::Backspace() {
  int32_t position = 0;
  bool forward = true;
  {
    std::lock_guard lock(searchMutex_);
    if (search_.IsEmpty()) return true;
    search_ = search_.Mid(0, static_cast<int32_t>(search_.Length()) - 1);
    position = searchPosition_;
    forward = searchForward_;
  }
  if (!Search(position, forward)) {
    const int32_t row = CurrentRow();
    if (row >= 0) view_->InvalidateRows(row, row + 1);
  }
  return true;
}

bool PlaylistListControl::TypeCharacter(char16_t c) {
  int32_t position = 0;
  bool forward = true;
  TString before;
  {
    std::lock_guard lock(searchMutex_);
    before = search_;
    search_ += c;
    position = searchPosition_;
    forward = searchForward_;
  }
  if (Search(position, forward)) return true;
  std::lock_guard lock(searchMutex_);
  search_ = before;  // nothing matches: the character is taken back
  return false;
}

bool PlaylistListControl::KeyDown(int32_t key, uint32_t modifiers) {
  if (modifiers & kModCtrl) {
    switch (key) {
      case 'z':
      case 'Z':
        Undo();
        return true;
      case 'y':
      case 'Y':
        Redo();
        return true;
      case 'd':
      case 'D':
        // Emptying the list is not kept for undo.
        if (playlist_) playlist_->RemoveAll();
        return true;
      default:
        break;
    }
  }
  switch (key) {
    case kKeyDelete:
      RemoveSelection();
      return true;
    case kKeyEnter: {
      const uint32_t id = view_->GetCurrentId();
      if (id != 0 && player_) player_->SeekToUID(id, 0.0, 1, 1, 1);
      return true;
    }
    case kKeyF3: {
      const int32_t row = CurrentRow();
      if (row < 0) return true;
      const bool backward = (modifiers & kModShift) != 0;
      {
        std::lock_guard lock(searchMutex_);
        searchForward_ = !backward;
      }
      Search(backward ? row - 1 : row + 1, !backward);
      return true;
    }
    case kKeyEscape:
      return Escape();
    case kKeyBackspace:
      return Backspace();
    default:
      return false;
  }
}

bool PlaylistListControl::Text(const char16_t* text, int32_t length) {
  bool took = false;
  for (int32_t i = 0; text && (length < 0 ? text[i] != 0 : i < length); ++i) {
    if (text[i] >= 32) {
      TypeCharacter(text[i]);
      took = true;
    }
  }
  return took;
}

}  // namespace vk2::gui

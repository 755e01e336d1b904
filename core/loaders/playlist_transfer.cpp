#include "core/loaders/playlist_transfer.h"

#include <utility>

#include "core/loaders/playlist_lock.h"
#include "foundation/util/result.h"

namespace vk2 {
namespace {

// Records as new items: ids are the playlist's to give.
void AsNewItems(ItemInfoArray* records) {
  for (ItemInfo& record : *records) {
    record.Clear(kIdPresent);
    record.id = 0;
  }
}

bool AllHaveUrls(const ItemInfoArray& records) {
  for (const ItemInfo& record : records) {
    if (!record.Has(kUrlPresent) || record.url.IsEmpty()) return false;
  }
  return true;
}

}  // namespace

int32_t SnapshotPlaylist(MPlaylist* playlist, ItemInfoArray* records) {
  if (!playlist || !records) return kErrMissingArg;
  PlaylistLock lock(playlist);
  uint32_t revision = 0;
  records->Clear();
  int32_t r = playlist->GetCurrentItems(records, &revision);
  if (r < 0) return r;
  if (records->IsEmpty()) return kOk;
  r = playlist->GetItemsInfo(records->Data(), records->Count());
  return r < 0 ? r : kOk;
}

int32_t ReplacePlaylistItems(MPlaylist* playlist, ItemInfoArray records) {
  if (!playlist) return kErrMissingArg;
  if (!AllHaveUrls(records)) return kErrBadData;
  AsNewItems(&records);
  PlaylistLock lock(playlist);
  ItemInfoArray old;
  int32_t r = SnapshotPlaylist(playlist, &old);
  if (r < 0) return r;
  r = playlist->RemoveAll();
  if (r < 0) return r;
  if (records.IsEmpty()) return 0;
  r = playlist->AddItems(records.Data(), records.Count(), kPlaylistTop, nullptr);
  if (r < 0) {
    AsNewItems(&old);
    if (!old.IsEmpty()) playlist->AddItems(old.Data(), old.Count(), kPlaylistTop, nullptr);
    return r;
  }
  return static_cast<int32_t>(records.Count());
}

int32_t AppendToPlaylist(MPlaylist* playlist, ItemInfoArray records, TArray<uint32_t>* ids) {
  if (!playlist) return kErrMissingArg;
  if (records.IsEmpty()) return 0;
  AsNewItems(&records);
  TArray<uint32_t> added;
  const int32_t r = playlist->AddItems(records.Data(), records.Count(), kPlaylistBottom, &added);
  if (r < 0) return r;
  if (ids) {
    for (uint32_t id : added)
      ids->Append(id);
  }
  return static_cast<int32_t>(records.Count());
}

}  // namespace vk2

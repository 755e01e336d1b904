#include "oru/gui/controls/item_list_object.h"

#include <algorithm>
#include <new>

#include "foundation/util/result.h"

namespace vk2::gui {

RefPtr<ItemListObject> ItemListObject::Make() {
  return RefPtr<ItemListObject>(new ItemListObject);
}

void ItemListObject::Tell(ItemListChange change) {
  // A copy: the observer may change the list's observer while it runs.
  if (auto observer = observer_) observer(change);
}

int32_t ItemListObject::Count() {
  return static_cast<int32_t>(items_.size());
}

MListItem* ItemListObject::ItemAt(int32_t index) {
  if (index < 0 || index >= Count()) return nullptr;
  return items_[static_cast<size_t>(index)].Get();
}

int32_t ItemListObject::IndexOf(MListItem* item) {
  if (!item) return -1;
  auto it = std::find_if(items_.begin(), items_.end(),
                         [item](const RefPtr<MListItem>& held) { return held.Get() == item; });
  return it == items_.end() ? -1 : static_cast<int32_t>(it - items_.begin());
}

int32_t ItemListObject::Replace(int32_t index, MListItem* item) {
  if (!item) return kErrMissingArg;
  if (index < 0 || index >= Count()) return kErrOutOfRange;
  items_[static_cast<size_t>(index)] = RefPtr<MListItem>(item);
  Tell({ItemListChange::Kind::kReplaced, index, 1});
  return 0;
}

int32_t ItemListObject::Append(MListItem* item) {
  return Insert(Count(), item);
}

int32_t ItemListObject::Insert(int32_t index, MListItem* item) {
  if (!item) return kErrMissingArg;
  if (index < 0 || index > Count()) return kErrOutOfRange;
  items_.insert(items_.begin() + index, RefPtr<MListItem>(item));
  Tell({ItemListChange::Kind::kInserted, index, 1});
  return 0;
}

int32_t ItemListObject::RemoveAt(int32_t index) {
  if (index < 0 || index >= Count()) return kErrOutOfRange;
  // Released after the owner heard of it: an item's release may run the caller's code.
  RefPtr<MListItem> leaving = std::move(items_[static_cast<size_t>(index)]);
  items_.erase(items_.begin() + index);
  Tell({ItemListChange::Kind::kRemoved, index, 1});
  return 0;
}

int32_t ItemListObject::RemoveAll() {
  const int32_t count = Count();
  if (count == 0) return 0;
  std::vector<RefPtr<MListItem>> leaving;
  leaving.swap(items_);
  Tell({ItemListChange::Kind::kRemoved, 0, count});
  return 0;
}

}  // namespace vk2::gui

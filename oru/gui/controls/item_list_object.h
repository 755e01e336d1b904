// The item list of a selection list or picker (MItemList): the caller's items in order, each
// held with a reference. The owning part hears of every change so that its selection and
// current item stay with their items.
#pragma once

#include <functional>
#include <vector>

#include "component/object/com_object.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/gui/controls.h"
#include "interfaces/ids.h"

namespace vk2::gui {

struct ItemListChange {
  enum class Kind { kInserted, kRemoved, kReplaced };
  Kind kind = Kind::kInserted;
  int32_t index = 0;
  int32_t count = 0;
};

class ItemListObject final : public ComObject<ItemListObject, Face<MItemList, kIID_MItemList>> {
 public:
  static RefPtr<ItemListObject> Make();

  int32_t Count() override;
  MListItem* ItemAt(int32_t index) override;
  int32_t IndexOf(MListItem* item) override;
  int32_t Replace(int32_t index, MListItem* item) override;
  int32_t Append(MListItem* item) override;
  int32_t Insert(int32_t index, MListItem* item) override;
  int32_t RemoveAt(int32_t index) override;
  int32_t RemoveAll() override;

  // The owner's ear (cleared by the owner when it goes; the list may outlive it).
  void SetObserver(std::function<void(const ItemListChange&)> observer) {
    observer_ = std::move(observer);
  }

 private:
  ItemListObject() = default;
  ~ItemListObject() override = default;
  void Tell(ItemListChange change);

  std::vector<RefPtr<MListItem>> items_;
  std::function<void(const ItemListChange&)> observer_;
};

}  // namespace vk2::gui

// The item methods the selection list and the picker share (GetItem, SetItem, AddItem,
// InsertItem, RemoveItem, GetItems, SetItems) and the argument readers behind them.
#pragma once

#include <cstdint>

#include "foundation/text/tstring.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/gui/controls.h"
#include "interfaces/script/handler_call.h"
#include "interfaces/script/script_object.h"
#include "markup/controls/list_item.h"

namespace vk2::markup {

class ItemOwner {
 public:
  // The part's item list (one reference), or null.
  virtual RefPtr<MItemList> ItemList() = 0;
  // A new item with the next identifier, not yet in the list; null when none could be made.
  virtual RefPtr<ListItem> NewItem(const TString& text, MScriptObject* data) = 0;
  // After SetItem changed the item at `index`.
  virtual void ItemReplaced(int32_t index) = 0;
  // After items were added, inserted, removed or all set.
  virtual void ItemsChanged() = 0;

 protected:
  ~ItemOwner() = default;
};

// How GetItem and RemoveItem read their arguments: the list through the argument unpacker
// ("U", "W"), the picker by reading the index argument itself.
enum class ItemArgStyle { kList, kPicker };

void RegisterItemMethods(MScriptObject* script, ItemOwner* owner, ItemArgStyle style);

// Messages of refused calls.
inline constexpr char16_t kMsgNoText[] = u"no text specified";
inline constexpr char16_t kMsgNotIndex[] = u"parameter is not an integer index";
inline constexpr char16_t kMsgOutOfRange[] = u"index out of range";
inline constexpr char16_t kMsgPickerError[] = u"error in picker";
inline constexpr char16_t kMsgNotFound[] = u"item not found";
inline constexpr char16_t kMsgNotArray[] = u"parameter is not an array";
inline constexpr char16_t kMsgTextNotFound[] =
    u"item with the specified text not found in the list";

// The call's argument `i` (no reference), or null.
MScriptObject* CallArgument(const HandlerCall& call, uint32_t i);
uint32_t CallArgumentCount(const HandlerCall& call);
bool IsArrayValue(MScriptObject* value);
TString ValueText(MScriptObject* value);
// The leading unsigned number of a text (decimal, or hexadecimal after "0x"); false when it
// does not start with one.
bool ReadLeadingIndex(const TString& text, int32_t* index);
// An index argument: a text starting with a number; false for an array or anything else.
bool ReadIndexArgument(MScriptObject* value, int32_t* index);
// An item value: a plain text, or an array with the members "text" and "data".
void ReadItemValue(MScriptObject* value, TString* text, RefPtr<MScriptObject>* data);
// The item's data (when it has some) and then its text as "text", into the call's result.
void WriteItemContents(HandlerCall& call, ListItem* item);
// The index of the first item whose text equals `text` ignoring case, or -1.
int32_t FindItemByText(MItemList* items, const TString& text);

}  // namespace vk2::markup

#include "markup/controls/item_methods.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <optional>

#include "component/script/handler_call_args.h"
#include "component/script/script_report.h"
#include "foundation/util/result.h"
#include "markup/controls/control_methods.h"
#include "markup/window/window_methods.h"

namespace vk2::markup {
namespace {

struct ItemCall {
  ItemOwner* owner;
  ItemArgStyle style;
};

// handlerData: the owner; handlerTag: the argument style.
ItemCall CallOf(const HandlerCall& call) {
  return ItemCall{reinterpret_cast<ItemOwner*>(call.handlerData),
                  static_cast<ItemArgStyle>(call.handlerTag)};
}

// The member `name` of an array, or null; asking the array itself would report a missing one.
MScriptObject* NamedMember(ScriptDataEntity* array, const char16_t* name) {
  const uint32_t count = array->ArraySize();
  for (uint32_t i = 0; i < count; ++i) {
    MScriptObject* member = array->GetAt(i);
    TString memberName;
    if (member) member->GetName(&memberName);
    if (memberName.Equals(name)) return member;
  }
  return nullptr;
}

ListItem* ItemAt(MItemList* items, int32_t index) {
  return items ? AsListItem(items->ItemAt(index)) : nullptr;
}

// The index of GetItem (list: "U") or RemoveItem's first step; -3 or -4 already answered
// through `answer` when it fails.
bool ReadGetIndex(HandlerCall& call, ItemArgStyle style, int32_t* index, int32_t* answer) {
  if (CallArgumentCount(call) != 1) {
    *answer = kMethodBadArguments;
    return false;
  }
  if (style == ItemArgStyle::kList) {
    uint32_t value = 0;
    if (UnpackScriptArgs(call, u"U", &value) < 0) {
      *answer = kMethodBadArguments;
      return false;
    }
    *index = static_cast<int32_t>(value);
    return true;
  }
  if (!ReadIndexArgument(CallArgument(call, 0), index)) {
    *answer = RejectMethod(call, kMsgNotIndex);
    return false;
  }
  return true;
}

int32_t GetItem(HandlerCall& call) {
  const ItemCall c = CallOf(call);
  int32_t index = 0, answer = 0;
  if (!ReadGetIndex(call, c.style, &index, &answer)) return answer;
  RefPtr<MItemList> items = c.owner->ItemList();
  ListItem* item = ItemAt(items.Get(), index);
  if (!item) return RejectMethod(call, kMsgOutOfRange);
  WriteItemContents(call, item);
  return kMethodDone;
}

// An item value as AddItem, SetItem and InsertItem take it.
struct NewItemValue {
  TString text;
  RefPtr<MScriptObject> data;
};

// The item value in argument `at`; without text refused, the refusal in `answer`.
bool ReadNewItemValue(HandlerCall& call, uint32_t at, NewItemValue* value, int32_t* answer) {
  ReadItemValue(CallArgument(call, at), &value->text, &value->data);
  if (!value->text.IsEmpty()) return true;
  *answer = RejectMethod(call, kMsgNoText);
  return false;
}

// SetItem's and InsertItem's arguments: an index, then an item value.
bool ReadIndexedValue(HandlerCall& call, int32_t* index, NewItemValue* value, int32_t* answer) {
  if (CallArgumentCount(call) != 2) {
    *answer = kMethodBadArguments;
    return false;
  }
  if (!ReadIndexArgument(CallArgument(call, 0), index)) {
    *answer = RejectMethod(call, kMsgNotIndex);
    return false;
  }
  return ReadNewItemValue(call, 1, value, answer);
}

// Tells the owner its items changed and answers `done` as the result.
int32_t ItemsChangedDone(HandlerCall& call, ItemOwner* owner, const char16_t* done) {
  owner->ItemsChanged();
  SetMethodResult(call, done);
  return kMethodDone;
}

// Makes an item of `value` and appends it, or inserts it at `insertAt`; `refusal` when that
// fails.
int32_t PlaceNewItem(HandlerCall& call, const NewItemValue& value, std::optional<int32_t> insertAt,
                     const char16_t* refusal, const char16_t* done) {
  const ItemCall c = CallOf(call);
  RefPtr<MItemList> items = c.owner->ItemList();
  RefPtr<ListItem> item = c.owner->NewItem(value.text, value.data.Get());
  if (!items || !item) return RejectMethod(call, refusal);
  const int32_t placed =
      insertAt ? items->Insert(*insertAt, item.Get()) : items->Append(item.Get());
  if (placed != kOk) return RejectMethod(call, refusal);
  return ItemsChangedDone(call, c.owner, done);
}

int32_t SetItem(HandlerCall& call) {
  int32_t index = 0, answer = 0;
  NewItemValue value;
  if (!ReadIndexedValue(call, &index, &value, &answer)) return answer;
  const ItemCall c = CallOf(call);
  RefPtr<MItemList> items = c.owner->ItemList();
  ListItem* item = ItemAt(items.Get(), index);
  if (!item) return RejectMethod(call, kMsgPickerError);
  item->SetText(value.text);
  item->SetData(value.data.Get());
  c.owner->ItemReplaced(index);
  SetMethodResult(call, u"set");
  return kMethodDone;
}

int32_t AddItem(HandlerCall& call) {
  if (CallArgumentCount(call) != 1) return kMethodBadArguments;
  int32_t answer = 0;
  NewItemValue value;
  if (!ReadNewItemValue(call, 0, &value, &answer)) return answer;
  return PlaceNewItem(call, value, std::nullopt, kMsgPickerError, u"added");
}

int32_t InsertItem(HandlerCall& call) {
  int32_t index = 0, answer = 0;
  NewItemValue value;
  if (!ReadIndexedValue(call, &index, &value, &answer)) return answer;
  return PlaceNewItem(call, value, index, kMsgOutOfRange, u"inserted");
}

int32_t RemoveItem(HandlerCall& call) {
  const ItemCall c = CallOf(call);
  if (CallArgumentCount(call) != 1) return kMethodBadArguments;
  TString text;
  if (c.style == ItemArgStyle::kList) {
    if (UnpackScriptArgs(call, u"W", &text) < 0) return kMethodBadArguments;
  } else {
    MScriptObject* argument = CallArgument(call, 0);
    if (IsArrayValue(argument)) return RejectMethod(call, kMsgNotIndex);
    text = ValueText(argument);
  }
  RefPtr<MItemList> items = c.owner->ItemList();
  if (!items) return RejectMethod(call, kMsgOutOfRange);
  int32_t index = 0;
  if (!ReadLeadingIndex(text, &index)) {
    index = FindItemByText(items.Get(), text);
    if (index < 0) return RejectMethod(call, kMsgNotFound);
  }
  if (items->RemoveAt(index) != kOk) return RejectMethod(call, kMsgOutOfRange);
  return ItemsChangedDone(call, c.owner, u"removed");
}

int32_t GetItems(HandlerCall& call) {
  const ItemCall c = CallOf(call);
  if (CallArgumentCount(call) != 0) return kMethodBadArguments;
  RefPtr<MItemList> items = c.owner->ItemList();
  ScriptDataEntity* result = AsDataEntity(call.result);
  if (!items || !result) return kMethodDone;
  const int32_t count = items->Count();
  for (int32_t i = 0; i < count; ++i) {
    ListItem* item = ItemAt(items.Get(), i);
    if (!item) continue;
    MScriptObject* member = result->AppendNew();
    if (!member) continue;
    AddArrayMember(member, item->Text(), TString(u"text"));
    if (item->Data()) {
      if (ScriptDataEntity* entry = AsDataEntity(member)) entry->Append(item->Data());
    }
  }
  return kMethodDone;
}

int32_t SetItems(HandlerCall& call) {
  const ItemCall c = CallOf(call);
  if (CallArgumentCount(call) != 1) return kMethodBadArguments;
  MScriptObject* argument = CallArgument(call, 0);
  if (!IsArrayValue(argument)) return RejectMethod(call, kMsgNotArray);
  RefPtr<MItemList> items = c.owner->ItemList();
  if (!items) return RejectMethod(call, kMsgPickerError);
  items->RemoveAll();
  ScriptDataEntity* array = AsDataEntity(argument);
  const uint32_t count = array->ArraySize();
  for (uint32_t i = 0; i < count; ++i) {
    TString text;
    RefPtr<MScriptObject> data;
    ReadItemValue(array->GetAt(i), &text, &data);
    if (text.IsEmpty()) continue;
    if (RefPtr<ListItem> item = c.owner->NewItem(text, data.Get())) items->Append(item.Get());
  }
  return ItemsChangedDone(call, c.owner, u"set");
}

constexpr ControlMethod kItemMethods[] = {
    {u"GetItem", &GetItem, u"Gets the contents of an item by index"},
    {u"SetItem", &SetItem, u"Sets the contents of an item by index"},
    {u"AddItem", &AddItem, u"Adds a new item onto the end of the picker list"},
    {u"InsertItem", &InsertItem, u"Inserts a new item into the picker list"},
    {u"RemoveItem", &RemoveItem, u"Removes an item from the picker list"},
    {u"GetItems", &GetItems, u"Gets the contents of the picker list"},
    {u"SetItems", &SetItems, u"Sets the contents of the picker list"},
};

}  // namespace

MScriptObject* CallArgument(const HandlerCall& call, uint32_t i) {
  ScriptDataEntity* list = AsDataEntity(call.params);
  return list && i < list->ArraySize() ? list->GetAt(i) : nullptr;
}

uint32_t CallArgumentCount(const HandlerCall& call) {
  return HandlerCallArgs(call).Count();
}

bool IsArrayValue(MScriptObject* value) {
  ScriptDataEntity* data = AsDataEntity(value);
  return data && data->IsArray() && data->ArraySize() > 0;
}

TString ValueText(MScriptObject* value) {
  TString text;
  if (ScriptDataEntity* data = AsDataEntity(value)) data->GetValue(&text);
  return text;
}

bool ReadLeadingIndex(const TString& text, int32_t* index) {
  uint32_t value = 0;
  if (text.ParseUnsigned(&value) <= 0) return false;
  *index = static_cast<int32_t>(value);
  return true;
}

bool ReadIndexArgument(MScriptObject* value, int32_t* index) {
  if (!value || IsArrayValue(value)) return false;
  return ReadLeadingIndex(ValueText(value), index);
}

void ReadItemValue(MScriptObject* value, TString* text, RefPtr<MScriptObject>* data) {
  *text = TString();
  *data = nullptr;
  ScriptDataEntity* entity = AsDataEntity(value);
  if (!entity) return;
  if (!IsArrayValue(value)) {
    entity->GetValue(text);
    return;
  }
  if (MScriptObject* member = NamedMember(entity, u"text")) *text = ValueText(member);
  if (MScriptObject* member = NamedMember(entity, u"data")) *data = RefPtr<MScriptObject>(member);
}

void WriteItemContents(HandlerCall& call, ListItem* item) {
  ScriptDataEntity* result = AsDataEntity(call.result);
  if (!result || !item) return;
  if (item->Data()) result->Append(item->Data());
  AddArrayMember(call.result, item->Text(), TString(u"text"));
}

int32_t FindItemByText(MItemList* items, const TString& text) {
  if (!items) return -1;
  const int32_t count = items->Count();
  for (int32_t i = 0; i < count; ++i) {
    ListItem* item = AsListItem(items->ItemAt(i));
    if (item && item->Text().Equals(text, false)) return i;
  }
  return -1;
}

void RegisterItemMethods(MScriptObject* script, ItemOwner* owner, ItemArgStyle style) {
  if (!owner) return;
  // The argument style rides in each handler's tag.
  std::array<ControlMethod, std::size(kItemMethods)> methods;
  std::copy(std::begin(kItemMethods), std::end(kItemMethods), methods.begin());
  for (ControlMethod& method : methods)
    method.tag = static_cast<uintptr_t>(style);
  RegisterControlMethods(script, owner, methods);
}

}  // namespace vk2::markup

#include "markup/controls/picker.h"

#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "markup/controls/control_methods.h"
#include "markup/controls/control_properties.h"
#include "markup/controls/item_markup.h"
#include "markup/controls/switch_methods.h"
#include "markup/services/markup_services.h"
#include "markup/window/script_events.h"
#include "markup/window/window_methods.h"

namespace vk2::markup {
namespace {

// No item stands at the current index: refused without a message.
constexpr int32_t kMethodNoItem = -2;

Picker* PickerOf(const HandlerCall& call) {
  return ControlOfCall<Picker>(call);
}

ListItem* CurrentItem(Picker* picker) {
  MPicker* part = picker->PickerPart();
  RefPtr<MItemList> items = picker->ItemList();
  if (!part || !items) return nullptr;
  return AsListItem(items->ItemAt(part->GetCurrent()));
}

int32_t GetCurrentItem(HandlerCall& call) {
  if (CallArgumentCount(call) != 0) return kMethodBadArguments;
  ListItem* item = CurrentItem(PickerOf(call));
  if (!item) return kMethodNoItem;
  WriteItemContents(call, item);
  return kMethodDone;
}

int32_t GetCurrentItemIndex(HandlerCall& call) {
  if (CallArgumentCount(call) != 0) return kMethodBadArguments;
  MPicker* part = PickerOf(call)->PickerPart();
  SetMethodResult(call, TString::Format(u"%d", part ? part->GetCurrent() : -1));
  return kMethodDone;
}

int32_t SetCurrentItem(HandlerCall& call) {
  if (CallArgumentCount(call) != 1) return kMethodBadArguments;
  TString text;
  RefPtr<MScriptObject> data;
  ReadItemValue(CallArgument(call, 0), &text, &data);
  if (text.IsEmpty()) return RejectMethod(call, kMsgNoText);
  Picker* picker = PickerOf(call);
  ListItem* item = CurrentItem(picker);
  if (!item) return kMethodNoItem;
  item->SetText(text);
  item->SetData(data.Get());
  picker->ItemsChanged();
  SetMethodResult(call, TString(u"set"));
  return kMethodDone;
}

int32_t SetCurrentItemIndex(HandlerCall& call) {
  if (CallArgumentCount(call) != 1) return kMethodBadArguments;
  int32_t index = 0;
  if (!ReadLeadingIndex(ValueText(CallArgument(call, 0)), &index))
    return RejectMethod(call, kMsgNotIndex);
  MPicker* part = PickerOf(call)->PickerPart();
  const int32_t result = part ? part->SetCurrent(index) : kErrNotFound;
  if (result >= 0) return kMethodDone;
  const TString message = ErrorText(result);
  return RejectMethod(call, message.IsEmpty() ? TString(u"unknown error") : message);
}

constexpr ControlMethod kPickerMethods[] = {
    {u"GetCurrentItem", &GetCurrentItem, u"Get the currently selected item"},
    {u"GetCurrentItemIndex", &GetCurrentItemIndex, u"Get the currently selected item's index"},
    {u"SetCurrentItem", &SetCurrentItem, u"Get the currently selected item"},
    {u"SetCurrentItemIndex", &SetCurrentItemIndex, u"Get the currently selected item by index"},
};

bool DrawBackground(MImageStyleDrawing* style, MWindowElement* window, MCanvas* canvas) {
  if (!style || !window || !canvas) return false;
  SizeI size;
  window->GetValue(kValueVirtualSize, &size, sizeof size);
  return style->Draw(RectI{0, 0, size.width, size.height}, canvas, kStyleStateNormal, 1.0,
                     VisualParameters{}) != 0;
}

}  // namespace

Picker::Picker(MUnknown* controlling) : MarkupWindow(controlling), face_(this) {}

Picker::Face::Face(Picker* owner) : ButtonSlotsFace(owner), picker_(owner) {}

#define VK2_TO_PART(call, fallback)      \
  MPicker* part = picker_->PickerPart(); \
  return part ? part->call : fallback

MPicker* Picker::Face::ButtonPart() {
  return picker_->PickerPart();
}
int32_t Picker::Face::GetItems(MItemList** out) {
  VK2_TO_PART(GetItems(out), kErrNotFound);
}
int32_t Picker::Face::ItemsChanged() {
  VK2_TO_PART(ItemsChanged(), kErrNotFound);
}
int32_t Picker::Face::GetCurrent() {
  VK2_TO_PART(GetCurrent(), -1);
}
int32_t Picker::Face::SetCurrent(int32_t index) {
  VK2_TO_PART(SetCurrent(index), kErrNotFound);
}
int32_t Picker::Face::OpenMenu() {
  VK2_TO_PART(OpenMenu(), kErrNotFound);
}
int32_t Picker::Face::CloseMenu() {
  VK2_TO_PART(CloseMenu(), kErrNotFound);
}
MWindowElement* Picker::Face::MenuWindow() {
  VK2_TO_PART(MenuWindow(), nullptr);
}

#undef VK2_TO_PART

int32_t Picker::Face::PaintMenuBackground(MWindowElement* menu, MCanvas* canvas, uintptr_t) {
  return picker_->PaintMenuBackground(menu, canvas);
}

MPicker* Picker::PickerPart() {
  if (!part_)
    part_ = static_cast<MPicker*>(FindPartFace(kIID_MPicker, static_cast<MPicker*>(&face_)));
  return part_;
}

MUnknown* Picker::QueryMore(const Guid& iid) {
  if (iid == kIID_MPicker || iid == kIID_MButton) return static_cast<MPicker*>(&face_);
  return MarkupWindow::QueryMore(iid);
}

void Picker::SetUpControl() {
  ResetLooks(looks_);
  nextId_ = 1;
  RemoveAllItems();
  MScriptObject* script = Script();
  if (!script || !script->GetMemberRegistry()) return;
  script->SetClassName(TString(u"MML_Picker"));
  RegisterHoverMethods(script, static_cast<MWindowElement*>(this));
  RegisterControlMethods(script, this, kPickerMethods);
  RegisterItemMethods(script, this, ItemArgStyle::kPicker);
}

void Picker::RemoveAllItems() {
  if (RefPtr<MItemList> items = ItemList()) items->RemoveAll();
  ItemsChanged();
}

void Picker::LoadProperties(MInterfaceDefinition* iface) {
  RemoveAllItems();
  textShadow_ = true;
  MWindowDefinition* definition = GetDefinition();
  if (definition) {
    LoadDefinition();
    menuBackground_ = nullptr;
    pickerBackground_ = nullptr;
    definition->FindImageStyle(u"img_menu_background", menuBackground_.Put());
    definition->FindImageStyle(u"img_picker_background", pickerBackground_.Put());
    LoadItemImages(definition, u"img_item", looks_);
    const ItemMarkup markup = LoadItemMarkup(static_cast<MWindowElement*>(this),
                                             PropertyElementOf(definition), iface, &looks_, 1);
    fadeDuration_ = markup.fadeDuration;
    textShadow_ = markup.textShadow;
  }
  Invalidate(nullptr);
}

// ---- Items ---------------------------------------------------------------------------------

RefPtr<MItemList> Picker::ItemList() {
  MPicker* part = PickerPart();
  RefPtr<MItemList> items;
  if (part) part->GetItems(items.Put());
  return items;
}

RefPtr<ListItem> Picker::NewItem(const TString& text, MScriptObject* data) {
  RefPtr<ListItem> item =
      ListItem::Make(static_cast<MWindowElement*>(this), &looks_, nullptr, nextId_++, textShadow_);
  if (!item) return nullptr;
  item->SetText(text);
  item->SetData(data);
  return item;
}

void Picker::ItemReplaced(int32_t index) {
  (void)index;
  ItemsChanged();
}

void Picker::ItemsChanged() {
  if (MPicker* part = PickerPart()) part->ItemsChanged();
}

// ---- Window --------------------------------------------------------------------------------

int32_t Picker::Paint(MCanvas* canvas, const PaintRecord* record) {
  bool drew = DrawBackground(pickerBackground_.Get(), this, canvas);
  MWindowElement* part = Part();
  if (part && part->Paint(canvas, record) > 0) drew = true;
  return drew ? 1 : 0;
}

int32_t Picker::PaintMenuBackground(MWindowElement* menu, MCanvas* canvas) {
  return DrawBackground(menuBackground_.Get(), menu, canvas) ? 1 : 0;
}

int32_t Picker::HitCode(const PointI* point) {
  // Where the markup makes it take the pointer, a press gives it the keyboard too.
  const int32_t code = MarkupWindow::HitCode(point);
  return code == kHitNone ? code : code | kHitInputFocus;
}

int32_t Picker::Notify(uint32_t code, uintptr_t argument) {
  RefPtr<MWindowElement> keep(static_cast<MWindowElement*>(this));
  if (code == kNotifyItemChosen && Script()) {
    RefPtr<MScriptObject> params =
        MakeEventParams({TString::Format(u"%d", static_cast<int32_t>(argument))});
    FireScriptEvent(Script(), u"OnItemSelected", params.Get());
  }
  return MarkupWindow::Notify(code, argument);
}

}  // namespace vk2::markup

#include "markup/controls/selection_list.h"

#include "component/object/query.h"
#include "component/script/handler_call_args.h"
#include "component/script/script_report.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "markup/controls/control_methods.h"
#include "markup/controls/control_properties.h"
#include "markup/controls/item_markup.h"
#include "markup/controls/scroll_bar_control.h"
#include "markup/controls/switch_methods.h"
#include "markup/window/script_events.h"
#include "markup/window/window_methods.h"

namespace vk2::markup {
namespace {

constexpr int32_t kBarThickness = 10;
constexpr uint32_t kBarPlacement =
    kPlaceVisible | kPlaceEnabled | kPlaceClipToParent | kPlaceNoFocus;

SelectionList* ListOf(const HandlerCall& call) {
  return ControlOfCall<SelectionList>(call);
}

const char16_t* TrueFalse(bool value) {
  return value ? u"true" : u"false";
}

int32_t GetSelectionArray(HandlerCall& call) {
  if (CallArgumentCount(call) != 0) return kMethodBadArguments;
  SelectionList* list = ListOf(call);
  MSelectionList* part = list->ListPart();
  RefPtr<MItemList> items = list->ItemList();
  ScriptDataEntity* result = AsDataEntity(call.result);
  if (!part || !items || !result) return kMethodDone;
  const int32_t count = items->Count();
  for (int32_t i = 0; i < count; ++i) {
    ListItem* item = AsListItem(items->ItemAt(i));
    MScriptObject* entry = result->AppendNew();
    if (!entry) continue;
    AddArrayMember(entry, item ? item->Text() : TString(), TString(u"name"));
    AddArrayMember(entry, TString(TrueFalse(part->IsSelected(i) != 0)), TString(u"selected"));
  }
  return kMethodDone;
}

int32_t IsItemIndexSelected(HandlerCall& call) {
  uint32_t index = 0;
  if (CallArgumentCount(call) != 1 || UnpackScriptArgs(call, u"U", &index) < 0)
    return kMethodBadArguments;
  SelectionList* list = ListOf(call);
  RefPtr<MItemList> items = list->ItemList();
  MSelectionList* part = list->ListPart();
  if (!items || !part || !items->ItemAt(static_cast<int32_t>(index)))
    return RejectMethod(call, kMsgOutOfRange);
  SetMethodResult(call, TString(TrueFalse(part->IsSelected(static_cast<int32_t>(index)) != 0)));
  return kMethodDone;
}

int32_t IsItemSelected(HandlerCall& call) {
  TString name;
  if (CallArgumentCount(call) != 1 || UnpackScriptArgs(call, u"W", &name) < 0)
    return kMethodBadArguments;
  SelectionList* list = ListOf(call);
  RefPtr<MItemList> items = list->ItemList();
  MSelectionList* part = list->ListPart();
  const int32_t index = FindItemByText(items.Get(), name);
  if (index < 0 || !part) return RejectMethod(call, kMsgTextNotFound);
  SetMethodResult(call, TString(TrueFalse(part->IsSelected(index) != 0)));
  return kMethodDone;
}

int32_t SelectItemIndex(HandlerCall& call) {
  uint32_t index = 0;
  bool selected = false;
  if (CallArgumentCount(call) != 2 || UnpackScriptArgs(call, u"UB", &index, &selected) < 0)
    return kMethodBadArguments;
  MSelectionList* part = ListOf(call)->ListPart();
  if (!part || part->SetSelected(static_cast<int32_t>(index), selected ? 1 : 0) < 0)
    return RejectMethod(call, kMsgOutOfRange);
  SetMethodResult(call, TString(u"set"));
  return kMethodDone;
}

int32_t SelectedItem(HandlerCall& call) {
  TString name;
  bool selected = false;
  if (CallArgumentCount(call) != 2 || UnpackScriptArgs(call, u"WB", &name, &selected) < 0)
    return kMethodBadArguments;
  SelectionList* list = ListOf(call);
  RefPtr<MItemList> items = list->ItemList();
  MSelectionList* part = list->ListPart();
  const int32_t index = FindItemByText(items.Get(), name);
  if (index < 0 || !part || part->SetSelected(index, selected ? 1 : 0) < 0)
    return RejectMethod(call, kMsgTextNotFound);
  SetMethodResult(call, TString(u"set"));
  return kMethodDone;
}

constexpr ControlMethod kListMethods[] = {
    {u"GetSelectionArray", &GetSelectionArray,
     u"Returns an array with the name of each item in the list and whether or not it is "
     u"selected"},
    {u"IsItemIndexSelected", &IsItemIndexSelected,
     u"Returns whether the supplied index is selected or not"},
    {u"IsItemSelected", &IsItemSelected,
     u"Returns whether the item with the supplied name is selected or not"},
    {u"SelectItemIndex", &SelectItemIndex, u"Change whether the supplied index is selected or not"},
    {u"SelectedItem", &SelectedItem,
     u"Change whether the item with the supplied name is selected or not"},
};

// The placement of a bar: edges as fractions of the list plus pixels.
PlacementRecord BarPlacement(bool vertical) {
  PlacementRecord record;
  AnchoredRect& rect = record.rect;
  if (vertical) {
    const double alignment[4] = {1.0, 0.0, 1.0, 1.0};
    const int32_t offset[4] = {-kBarThickness, 0, 0, -kBarThickness};
    for (int32_t i = 0; i < 4; ++i) {
      rect.alignment[i] = alignment[i];
      rect.offset[i] = offset[i];
    }
  } else {
    const double alignment[4] = {0.0, 1.0, 1.0, 1.0};
    const int32_t offset[4] = {0, -kBarThickness, -kBarThickness, 0};
    for (int32_t i = 0; i < 4; ++i) {
      rect.alignment[i] = alignment[i];
      rect.offset[i] = offset[i];
    }
  }
  record.flags = kBarPlacement;
  record.mode = kPlaceModeChild;
  record.name = u"";
  return record;
}

}  // namespace

SelectionList::SelectionList(MUnknown* controlling) : MarkupWindow(controlling), face_(this) {}

SelectionList::~SelectionList() = default;

SelectionList::Face::Face(SelectionList* owner) : ElementFace(owner), list_(owner) {}

#define VK2_TO_PART(call, fallback)         \
  MSelectionList* part = list_->ListPart(); \
  return part ? part->call : fallback

int32_t SelectionList::Face::ItemIndex(uintptr_t argument) {
  VK2_TO_PART(ItemIndex(argument), -1);
}
int32_t SelectionList::Face::GetItems(MItemList** out) {
  VK2_TO_PART(GetItems(out), kErrNotFound);
}
int32_t SelectionList::Face::IsSelected(int32_t index) {
  VK2_TO_PART(IsSelected(index), 0);
}
int32_t SelectionList::Face::SetSelected(int32_t index, int32_t selected) {
  VK2_TO_PART(SetSelected(index, selected), kErrNotFound);
}
int32_t SelectionList::Face::ItemChanged(int32_t index) {
  VK2_TO_PART(ItemChanged(index), kErrNotFound);
}
int32_t SelectionList::Face::SetMultiple(int32_t multiple) {
  VK2_TO_PART(SetMultiple(multiple), kErrNotFound);
}
int32_t SelectionList::Face::GetCurrent() {
  VK2_TO_PART(GetCurrent(), -1);
}
int32_t SelectionList::Face::ScrollToShow(int32_t index) {
  VK2_TO_PART(ScrollToShow(index), kErrNotFound);
}
int32_t SelectionList::Face::GetTop() {
  VK2_TO_PART(GetTop(), 0);
}

#undef VK2_TO_PART

MSelectionList* SelectionList::ListPart() {
  if (!part_) {
    part_ = static_cast<MSelectionList*>(
        FindPartFace(kIID_MSelectionList, static_cast<MSelectionList*>(&face_)));
  }
  return part_;
}

MUnknown* SelectionList::QueryMore(const Guid& iid) {
  if (iid == kIID_MSelectionList) return static_cast<MSelectionList*>(&face_);
  return MarkupWindow::QueryMore(iid);
}

void SelectionList::SetUpControl() {
  ResetLooks(looks_[0]);
  ResetLooks(looks_[1]);
  MakeScrollBars();
  nextId_ = 1;
  MScriptObject* script = Script();
  if (!script || !script->GetMemberRegistry()) return;
  script->SetClassName(TString(u"MML_SelectionList"));
  RegisterHoverMethods(script, static_cast<MWindowElement*>(this));
  RegisterControlMethods(script, this, kListMethods);
  RegisterItemMethods(script, this, ItemArgStyle::kList);
}

void SelectionList::MakeScrollBars() {
  for (int32_t i = 0; i < 2; ++i) {
    if (RefPtr<MScrollBar> bar = ScrollBarControl::Make(i == 1))
      bars_[i] = RefPtr<MWindowElement>(static_cast<MWindowElement*>(bar.Get()));
  }
}

void SelectionList::AttachScrollBars() {
  for (int32_t i = 0; i < 2; ++i) {
    MWindowElement* bar = bars_[i].Get();
    if (!bar) continue;
    PropertyValue self;
    self.type = kPropertyObject;
    self.object = static_cast<MWindowElement*>(this);
    bar->SetProperty(kPropScrollDest, kPropertyObject, &self);
    if (AttachChild(bar, kPlaceModeChild) != kOk) continue;
    PlacementRecord placement = BarPlacement(i == 0);
    bar->PostCommand(kCmdPlacement, 0, 0, reinterpret_cast<uintptr_t>(&placement), nullptr, 0, 0);
  }
}

void SelectionList::LoadProperties(MInterfaceDefinition* iface) {
  textShadow_ = true;
  MWindowDefinition* definition = GetDefinition();
  if (definition) {
    LoadDefinition();
    background_ = nullptr;
    definition->FindImageStyle(u"background", background_.Put());
    LoadItemImages(definition, u"img_item_off", looks_[0]);
    LoadItemImages(definition, u"img_item_on", looks_[1]);
    const ItemMarkup markup = LoadItemMarkup(static_cast<MWindowElement*>(this),
                                             PropertyElementOf(definition), iface, looks_, 2);
    fadeDuration_ = markup.fadeDuration;
    textShadow_ = markup.textShadow;
  }
  // The bars take their look from the interface.
  for (const RefPtr<MWindowElement>& bar : bars_) {
    if (auto scroll = bar ? vk2::Query<MScrollBar>(bar.Get(), kIID_MScrollBar) : nullptr)
      scroll->ApplyStyle(static_cast<MUnknown*>(iface), nullptr);
  }
  Invalidate(nullptr);
}

// ---- Items ---------------------------------------------------------------------------------

RefPtr<MItemList> SelectionList::ItemList() {
  MSelectionList* part = ListPart();
  RefPtr<MItemList> items;
  if (part) part->GetItems(items.Put());
  return items;
}

RefPtr<ListItem> SelectionList::NewItem(const TString& text, MScriptObject* data) {
  RefPtr<ListItem> item = ListItem::Make(static_cast<MWindowElement*>(this), &looks_[0], &looks_[1],
                                         nextId_++, textShadow_);
  if (!item) return nullptr;
  item->SetText(text);
  item->SetData(data);
  return item;
}

void SelectionList::ItemReplaced(int32_t index) {
  if (MSelectionList* part = ListPart()) part->ItemChanged(index);
}

// ---- Window --------------------------------------------------------------------------------

int32_t SelectionList::Paint(MCanvas* canvas, const PaintRecord* record) {
  bool drew = false;
  if (background_ && canvas) {
    SizeI size;
    GetValue(kValueVirtualSize, &size, sizeof size);
    drew = background_->Draw(RectI{0, 0, size.width, size.height}, canvas, kStyleStateNormal, 1.0,
                             VisualParameters{}) != 0;
  }
  // The part draws the rows (each item draws itself).
  MWindowElement* part = Part();
  if (part && part->Paint(canvas, record) > 0) drew = true;
  return drew ? 1 : 0;
}

int32_t SelectionList::HitCode(const PointI* point) {
  // Where the markup makes it take the pointer, a press gives it the keyboard too.
  const int32_t code = MarkupWindow::HitCode(point);
  return code == kHitNone ? code : code | kHitInputFocus;
}

int32_t SelectionList::Notify(uint32_t code, uintptr_t argument) {
  RefPtr<MWindowElement> keep(static_cast<MWindowElement*>(this));
  if (code == kNotifyItemChosen && Script()) {
    MSelectionList* part = ListPart();
    const int32_t index = part ? part->ItemIndex(argument) : -1;
    RefPtr<MScriptObject> params = MakeEventParams({TString::Format(u"%d", index)});
    FireScriptEvent(Script(), u"OnItemSelected", params.Get());
  }
  const int32_t answer = MarkupWindow::Notify(code, argument);
  if (code == kNotifyCreated) AttachScrollBars();
  return answer;
}

}  // namespace vk2::markup

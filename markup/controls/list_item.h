// An item of a selection list or picker: a caption with optional script data, drawn by the
// list's part through the looks of its place. The looks and the font are the control's: the
// item reads them when it draws, so changes at load reach every item.
#pragma once

#include <cstdint>

#include "component/object/com_object.h"
#include "foundation/text/tstring.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/gui/controls.h"
#include "interfaces/ids.h"
#include "interfaces/script/script_object.h"
#include "markup/controls/item_styles.h"

namespace vk2::markup {

class ListItem final : public ComObject<ListItem, Face<MListItem, kIID_MListItem>> {
 public:
  // `owner` gives the font and the disabled state; `on` (may be null) is drawn over `off` while
  // the item is selected. The control outlives its items' drawing.
  static RefPtr<ListItem> Make(MWindowElement* owner, const ItemLookSet* off, const ItemLookSet* on,
                               int32_t identifier, bool shadow);

  const TString& Text() const { return text_; }
  void SetText(const TString& text) { text_ = text; }
  MScriptObject* Data() const { return data_.Get(); }
  void SetData(MScriptObject* data) { data_ = RefPtr<MScriptObject>(data); }
  int32_t Identifier() const { return identifier_; }

  int32_t DrawItem(MCanvas* canvas, const RectI* rect, uint32_t state, int32_t position) override;
  int32_t ItemHeight() override;

 private:
  ListItem() = default;
  ~ListItem() override = default;

  MWindowElement* owner_ = nullptr;
  const ItemLookSet* off_ = nullptr;
  const ItemLookSet* on_ = nullptr;
  int32_t identifier_ = 0;
  bool shadow_ = true;
  TString text_;
  RefPtr<MScriptObject> data_;
};

// The item behind a list entry, or null when it is not one of ours.
ListItem* AsListItem(MListItem* item);

}  // namespace vk2::markup

#include "oru/gui/menus/menu_item.h"

#include <string>

#include "foundation/util/result.h"

namespace vk2 {

int32_t MenuItem::GetLabel(TString* label) {
  if (!label) return kErrMissingArg;
  *label = label_;
  return 0;
}

int32_t MenuItem::GetSubmenu(MMenuWindow** out) {
  if (!out) return kErrMissingArg;
  *out = submenu_.Get();
  if (!*out) return kErrNotFound;
  (*out)->AddRef();
  return 0;
}

int32_t MenuItem::MakeSubmenu(const char16_t* label, MMenuWindow* submenu, uint32_t flags,
                              uint32_t) {
  if (!submenu) return kErrMissingArg;
  if (kind_ != MenuItemKind::kNone) return kErrWrongState;
  kind_ = MenuItemKind::kSubmenu;
  label_ = label ? label : u"";
  flags_ = flags | kMenuItemSubmenu;
  submenu_ = RefPtr<MMenuWindow>(submenu);
  return 0;
}

int32_t MenuItem::MakeCommand(const char16_t* label, uint32_t, int32_t id, uint32_t flags,
                              uint32_t) {
  if (kind_ != MenuItemKind::kNone) return kErrWrongState;
  kind_ = (flags & kMenuItemSeparator) ? MenuItemKind::kSeparator : MenuItemKind::kCommand;
  label_ = label ? label : u"";
  id_ = id;
  flags_ = flags & ~kMenuItemSubmenu;
  return 0;
}

int32_t MenuItem::SetTextShadow(int32_t shadow) {
  shadow_ = shadow != 0;
  return 0;
}

int32_t MenuItem::SetFlags(uint32_t flags) {
  // The kind is fixed at set-up; only the state bits change.
  constexpr uint32_t kStateBits = kMenuItemDisabled | kMenuItemChecked;
  flags_ = (flags_ & ~kStateBits) | (flags & kStateBits);
  return 0;
}

MenuLabel ParseMenuLabel(const TString& label) {
  MenuLabel parsed;
  std::u16string shown;
  const std::u16string_view text = label.view();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != u'&') {
      shown += text[i];
    } else if (i + 1 < text.size() && text[i + 1] == u'&') {
      shown += u'&';
      ++i;
    } else if (i + 1 < text.size() && !parsed.mnemonic) {
      const char16_t c = text[i + 1];
      parsed.mnemonic = (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
    }
  }
  parsed.shown = TString(std::u16string_view(shown));
  return parsed;
}

}  // namespace vk2

// The two fonts the user interface draws its own texts with, the display font and the menu
// font, their face and size chosen by the current language.
#pragma once

#include "foundation/text/tstring.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/runtime/language_service.h"

namespace vk2 {
class MFont;
}

namespace vk2::gui {

// A font's face and size as the language chose them.
struct InterfaceFontChoice {
  TString face;
  int32_t size = 0;
};

inline constexpr char16_t kDefaultFontFace[] = u"arial";
inline constexpr int32_t kDefaultFontSize = 10;

// The face and size of `key` in the domain; "arial" and 10 where the domain gives none.
InterfaceFontChoice ChooseFont(MTextDomain* domain, const char16_t* key);

class InterfaceFonts {
 public:
  InterfaceFonts();
  ~InterfaceFonts();
  InterfaceFonts(const InterfaceFonts&) = delete;
  InterfaceFonts& operator=(const InterfaceFonts&) = delete;

  // Builds both fonts anew from the domain's "display" and "menu" keys; true when both exist.
  bool InitFonts(MTextDomain* domain);

  MFont* DisplayFont() const { return display_.Get(); }
  MFont* MenuFont() const { return menu_.Get(); }
  const InterfaceFontChoice& DisplayChoice() const { return displayChoice_; }
  const InterfaceFontChoice& MenuChoice() const { return menuChoice_; }

 private:
  RefPtr<MFont> display_;
  RefPtr<MFont> menu_;
  InterfaceFontChoice displayChoice_;
  InterfaceFontChoice menuChoice_;
};

}  // namespace vk2::gui

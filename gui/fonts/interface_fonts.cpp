#include "gui/fonts/interface_fonts.h"

#include "component/module/runtime_loader.h"
#include "interfaces/graphics/font.h"
#include "interfaces/graphics/image.h"
#include "interfaces/ids.h"

namespace vk2::gui {
namespace {

RefPtr<MFont> MakeFont(MImageService* images, const InterfaceFontChoice& choice) {
  FontDescription description;
  description.kind = kFontFace;
  description.face = choice.face.c_str();
  description.size = choice.size;
  MFont* font = nullptr;
  if (images->GetFont(&description, &font) < 0 || !font) return nullptr;
  return RefPtr<MFont>::Adopt(font);
}

}  // namespace

InterfaceFonts::InterfaceFonts() = default;
InterfaceFonts::~InterfaceFonts() = default;

InterfaceFontChoice ChooseFont(MTextDomain* domain, const char16_t* key) {
  InterfaceFontChoice choice;
  if (domain) {
    domain->GetFontFace(key, &choice.face);
    domain->GetFontSize(key, &choice.size);
  }
  if (choice.face.IsEmpty()) choice.face = kDefaultFontFace;
  if (choice.size == 0) choice.size = kDefaultFontSize;
  return choice;
}

bool InterfaceFonts::InitFonts(MTextDomain* domain) {
  display_ = nullptr;
  menu_ = nullptr;
  RefPtr<MImageService> images =
      CreateRuntimeObject<MImageService>(kImageServiceClass, kIID_MImageService);
  if (!images) return false;
  displayChoice_ = ChooseFont(domain, u"display");
  menuChoice_ = ChooseFont(domain, u"menu");
  display_ = MakeFont(images.Get(), displayChoice_);
  menu_ = MakeFont(images.Get(), menuChoice_);
  return display_ && menu_;
}

}  // namespace vk2::gui

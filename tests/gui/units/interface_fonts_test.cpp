#include "gui/fonts/interface_fonts.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "component/object/com_object.h"
#include "foundation/util/result.h"

namespace vk2::gui {
namespace {

// A domain that knows the fonts of some keys.
class FontDomain final : public ComObject<FontDomain, SilentFace<MTextDomain>> {
 public:
  std::map<std::u16string, std::pair<std::u16string, int32_t>> fonts;

  int32_t GetText(const char16_t*, TString*) override { return kErrNotFound; }
  int32_t GetFontFace(const char16_t* key, TString* face) override {
    auto it = fonts.find(key);
    if (it == fonts.end()) return kErrNotFound;
    *face = it->second.first.c_str();
    return kOk;
  }
  int32_t GetFontSize(const char16_t* key, int32_t* size) override {
    auto it = fonts.find(key);
    if (it == fonts.end()) return kErrNotFound;
    *size = it->second.second;
    return kOk;
  }
  int32_t GetSubDomain(const char16_t*, MTextDomain**) override { return kErrNotFound; }

 private:
  ~FontDomain() override = default;
};

TEST(InterfaceFonts, LanguagesChooseFacesAndSizesWithDefaults) {
  RefPtr<FontDomain> domain(new FontDomain());
  domain->fonts[u"display"] = {u"DejaVu Sans", 9};
  domain->fonts[u"menu"] = {u"", 0};
  InterfaceFontChoice display = ChooseFont(domain.Get(), u"display");
  EXPECT_EQ(display.face, TString(u"DejaVu Sans"));
  EXPECT_EQ(display.size, 9);
  for (const char16_t* key : {u"menu", u"unknown"}) {
    InterfaceFontChoice choice = ChooseFont(domain.Get(), key);
    EXPECT_EQ(choice.face, TString(u"arial"));
    EXPECT_EQ(choice.size, 10);
  }
  EXPECT_EQ(ChooseFont(nullptr, u"menu").face, TString(u"arial"));
  // Without the runtime's image service no font can be made.
  InterfaceFonts fonts;
  EXPECT_FALSE(fonts.InitFonts(domain.Get()));
  EXPECT_EQ(fonts.DisplayFont(), nullptr);
}

}  // namespace
}  // namespace vk2::gui

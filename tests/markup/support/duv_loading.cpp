#include "tests/markup/support/duv_loading.h"

#include "tests/markup/support/markup_fixture.h"

namespace vk2::test {

RefPtr<markup::InterfaceDefinition> LoadedDuv::Definition(const char16_t* name) const {
  MInterfaceDefinition* found = nullptr;
  int32_t r = name ? loader->GetByName(name, &found) : loader->GetByIndex(0, &found);
  if (r != 0) return nullptr;
  auto held = RefPtr<MInterfaceDefinition>::Adopt(found);
  return RefPtr<markup::InterfaceDefinition>(static_cast<markup::InterfaceDefinition*>(found));
}

LoadedDuv LoadDuv(const std::string& text, const char16_t* language, MInterfaceDefinition* parent,
                  std::map<std::string, std::string> files) {
  LoadedDuv loaded;
  loaded.loader = markup::InterfaceLoader::Make();
  files["index.mml"] = text;
  loaded.package = markup::MemoryPackage::Make(std::move(files));
  LoadContext context;
  context.language = language;
  TString error;
  loaded.result =
      loaded.loader->LoadFromPackage(loaded.package.Get(), "index.mml", &context, &error, parent);
  loaded.error = Narrow(error);
  return loaded;
}

std::string Duv(const std::string& body, const std::string& attributes) {
  return "<?mml version=\"0.5\"?>\n<mml>\n<interface " + attributes + ">\n" + body +
         "</interface>\n</mml>\n";
}

}  // namespace vk2::test

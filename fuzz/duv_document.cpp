// DUV documents: any text loads, or is refused, without crashing, and every lookup on what
// loaded answers. Texts are bounded in size; nesting is bounded by the reader itself.
#include <cstddef>
#include <cstdint>
#include <string>

#include "interfaces/ids.h"
#include "markup/definition/interface_loader.h"
#include "markup/package/memory_package.h"
#include "markup/services/markup_services.h"
#include "oru/services/xml/xml_document.h"

namespace {

using namespace vk2;
using namespace vk2::markup;

constexpr size_t kMaxText = 64 * 1024;

void InstallQuietServices() {
  static bool installed = [] {
    MarkupServices quiet;
    quiet.makeXmlDocument = [] { return RefPtr<MXmlDocument>(new oru::XmlDocumentObject()); };
    InstallMarkupServices(quiet);
    return true;
  }();
  (void)installed;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > kMaxText) return 0;
  InstallQuietServices();
  auto package =
      MemoryPackage::Make({{"index.mml", std::string(reinterpret_cast<const char*>(data), size)}});
  auto loader = InterfaceLoader::Make();
  LoadContext context;
  context.language = u"english";
  TString error;
  if (loader->LoadFromPackage(package.Get(), "index.mml", &context, &error, nullptr) != 0) return 0;
  for (int32_t i = 0; i < loader->Count(); ++i) {
    MInterfaceDefinition* definition = nullptr;
    if (loader->GetByIndex(i, &definition) != 0) continue;
    auto held = RefPtr<MInterfaceDefinition>::Adopt(definition);
    double values[4];
    uint32_t color = 0;
    TString text;
    FontRecord font;
    for (const char16_t* name : {u"a", u"b", u"main", u"0,0,1,1", u"a @ b"}) {
      held->GetRect(name, values);
      held->GetPoint(name, values);
      held->GetColor(name, &color);
      held->GetScript(name, &text);
      held->GetFont(name, nullptr, &font);
      MMarkupDefinition* style = nullptr;
      if (held->GetImageStyle(name, &style) == 0) style->Release();
      MHitStyleDefinition* hit = nullptr;
      if (held->GetHitStyle(name, &hit) == 0) hit->Release();
    }
    TArray<TString> names;
    held->ListWindowNames(&names, kGenericWindowClass);
  }
  loader->Clear();
  return 0;
}

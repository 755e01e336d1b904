#include "gui/top_menu/top_menu_sources.h"

#include "foundation/util/ref_ptr.h"
#include "interfaces/runtime/language_service.h"

namespace vk2::gui {
namespace {

constexpr char16_t kTextDomain[] = u"velkora gui";
constexpr char16_t kDefaultLanguage[] = u"english";
constexpr uint32_t kMostLanguages = 64;

}  // namespace

TopMenuSources TopMenuSourcesFrom(MLanguageService* languages,
                                  std::vector<InterfaceRecord> interfaces, bool reduced) {
  TopMenuSources sources;
  sources.reduced = reduced;
  sources.interfaces = std::move(interfaces);
  RefPtr<MTextDomain> table;
  if (languages) {
    RefPtr<MTextDomain> domain;
    if (languages->GetTextDomain(kTextDomain, kDefaultLanguage, domain.Put()) == 0 && domain)
      domain->GetSubDomain(u"topmenu", table.Put());
    TString names[kMostLanguages];
    const int32_t count = languages->GetLanguages(kTextDomain, names, kMostLanguages);
    for (int32_t i = 0; i < count && i < static_cast<int32_t>(kMostLanguages); ++i)
      sources.languages.push_back(names[i]);
  }
  sources.label = [table](const char16_t* key) {
    TString text;
    if (table && table->GetText(key, &text) == 0 && !text.IsEmpty()) return text;
    return TString(key);
  };
  return sources;
}

}  // namespace vk2::gui

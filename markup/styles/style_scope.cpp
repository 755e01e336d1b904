#include "markup/styles/style_scope.h"

#include "markup/definition/interface_definition.h"
#include "markup/keywords/keyword_tables.h"
#include "markup/services/markup_services.h"

namespace vk2::markup {

StyleScope StyleScope::Of(InterfaceDefinition* definition) {
  StyleScope scope;
  scope.definition = definition;
  scope.collections = definition;
  if (definition) scope.language = definition->Language();
  return scope;
}

bool LanguageAllows(const Element& child, const TString& language) {
  if (!child.HasAttribute(u"language")) return true;
  TArray<TString> languages;
  int32_t count = SplitMarkupTokens(child.Attribute(u"language").view(), &languages);
  for (int32_t i = 0; i < count; ++i) {
    if (languages[static_cast<uint32_t>(i)].Equals(language, false)) return true;
  }
  return false;
}

void ReportCircularStyle(const Element* element, std::u16string_view name) {
  ReportMmlError(element,
                 TString::Format(u"\"%s\" refers to itself: circular reference.", TString(name)));
}

// Reports made outside a definition's read would go nowhere; they are shown on the console.
ConsoleReportScope::~ConsoleReportScope() {
  if (sink_.Installed() && !sink_.Text().IsEmpty())
    WriteConsole(kConsoleError, TString::Format(u"Error loading DUV:\n%s\n", sink_.Text()));
}

Element RecordElement(MMarkupDefinition* record) {
  MXmlNode* node = nullptr;
  if (!record || record->GetElement(&node) != 0 || !node) return Element();
  return Element(RefPtr<MXmlNode>::Adopt(node));
}

}  // namespace vk2::markup

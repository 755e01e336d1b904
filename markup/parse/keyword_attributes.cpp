#include "markup/parse/value_parsers.h"
#include "markup/report/error_sink.h"

namespace vk2::markup {

bool ParseAlignment(std::u16string_view text, uint64_t* out) {
  return ParseKeywordList(text, out, Keywords(KeywordGroup::kAlignment));
}

bool ParseValueSource(std::u16string_view text, uint64_t* out) {
  return LookupKeyword(Keywords(KeywordGroup::kValueSources), text, out);
}

bool ParseOrientation(std::u16string_view text, uint64_t* out) {
  return ParseKeywordList(text, out, Keywords(KeywordGroup::kOrientation));
}

bool ParseFillModeList(std::u16string_view text, uint64_t* out) {
  return ParseKeywordList(text, out, Keywords(KeywordGroup::kFillModes));
}

bool ParseHitCodeList(std::u16string_view text, uint64_t* out) {
  return ParseKeywordList(text, out, Keywords(KeywordGroup::kHitCodes));
}

uint64_t ParseKeywordAttribute(const Element& element, const char16_t* attribute,
                               const char16_t* fallback, KeywordTable table) {
  TString value = element.Attribute(attribute, fallback);
  uint64_t code = 0;
  if (LookupKeyword(table, value.view(), &code)) return code;
  ReportInvalidAttribute(element, attribute, value, TString(fallback));
  code = 0;
  LookupKeyword(table, std::u16string_view(fallback), &code);
  return code;
}

bool ParseHitCodeAttribute(const Element& element, const char16_t* attribute, uint64_t* code) {
  TString value = element.Attribute(attribute, u"NONE");
  if (ParseHitCodeList(value.view(), code)) return true;
  ReportInvalidAttribute(element, attribute, value, TString(u"NONE"));
  *code = 0;
  return false;
}

uint64_t ParseStateAttribute(const Element& element) {
  uint64_t code = 0;
  if (ParseKeywordList(element.Attribute(u"state").view(), &code, Keywords(KeywordGroup::kStates)))
    return code;
  return 1;
}

}  // namespace vk2::markup

#include "markup/parse/identifiers.h"

#include "foundation/util/guid_text.h"
#include "markup/report/error_sink.h"

namespace vk2::markup {
namespace {

bool IsLetterOrUnderscore(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_';
}

bool IsDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}

}  // namespace

size_t IdentifierLength(std::u16string_view text) {
  if (text.empty() || !IsLetterOrUnderscore(text[0])) return 0;
  size_t i = 1;
  while (i < text.size() && (IsLetterOrUnderscore(text[i]) || IsDigit(text[i])))
    ++i;
  return i;
}

bool IsValidIdentifier(std::u16string_view text) {
  return !text.empty() && IdentifierLength(text) == text.size();
}

TString ReadIdentifierAttribute(const Element& element, const char16_t* attribute,
                                const char16_t* fallback) {
  if (!element.HasAttribute(attribute)) return TString(fallback ? fallback : u"");
  TString value = element.Attribute(attribute);
  if (IsValidIdentifier(value.view())) return value;
  ReportMmlError(&element, TString::Format(u"\"%s\" is not a valid name identifier.", value));
  return TString(fallback ? fallback : u"");
}

TString ValidIdentifierOrEmpty(const TString& text) {
  return IsValidIdentifier(text.view()) ? text : TString();
}

Element FindNamedElement(const Element& element, const char16_t* tag, const char16_t* attribute,
                         std::u16string_view value) {
  // Each ancestor passes over the subtree it was reached from: that one was searched already.
  Element searched;
  for (Element scope = element; scope; scope = scope.Parent()) {
    if (Element found = scope.FindDescendant(tag, attribute, value, searched ? &searched : nullptr))
      return found;
    searched = scope;
  }
  return Element();
}

bool ParseGuidString(std::u16string_view text, Guid* out) {
  // The registry form without braces: exactly 36 characters.
  if (text.size() != 36 || text.front() == u'{') return false;
  return ParseGuidText(text, out);
}

bool ParseUidAttribute(const Element& element, Guid* out) {
  TString uid = element.Attribute(u"uid");
  if (uid.IsEmpty()) return false;
  return ParseGuidString(uid.view(), out);
}

}  // namespace vk2::markup

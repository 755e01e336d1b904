#include "markup/resources/script_includes.h"

#include <vector>

#include "markup/parse/identifiers.h"
#include "markup/report/error_sink.h"

namespace vk2::markup {
namespace {

// Include chains longer than this are refused, so a long chain cannot exhaust the stack.
constexpr size_t kMaxIncludeDepth = 64;

TString Expand(const Element& script, std::vector<Element>* expanding) {
  TString text = script.Text();
  for (const Element& open : *expanding) {
    if (open.SameAs(script)) {
      ReportMmlError(&script,
                     TString::Format(u"Script \"%s\" includes itself.", script.Attribute(u"name")));
      return TString();
    }
  }
  if (expanding->size() >= kMaxIncludeDepth) {
    ReportMmlError(&script, TString(u"Script includes are nested too deeply."));
    return TString();
  }
  expanding->push_back(script);
  std::vector<Element> includes = script.Children(u"include");
  // From the last to the first, so earlier positions stay valid while text is inserted.
  for (auto it = includes.rbegin(); it != includes.rend(); ++it) {
    TString source = ValidIdentifierOrEmpty(it->Attribute(u"source"));
    if (source.IsEmpty()) continue;
    Element named = FindNamedElement(script, u"script", u"name", source.view());
    if (!named) continue;
    TString inserted = Expand(named, expanding);
    int32_t at = it->TextPosition();
    int32_t length = static_cast<int32_t>(text.Length());
    if (at == 0) {
      text = inserted.Concat(text);
    } else if (at > 0 && at < length) {
      text = text.Mid(0, at).Concat(inserted).Concat(text.Mid(at));
    } else {
      text += inserted;
    }
  }
  expanding->pop_back();
  return text;
}

}  // namespace

TString ParseIncludeOrScript(const Element& script) {
  std::vector<Element> expanding;
  return Expand(script, &expanding);
}

}  // namespace vk2::markup

#include "markup/report/error_sink.h"

#include "markup/services/markup_services.h"

namespace vk2::markup {
namespace {

thread_local TString* tSink = nullptr;

}  // namespace

ErrorSinkScope::ErrorSinkScope() {
  if (!tSink) {
    tSink = &text_;
    installed_ = true;
  }
}

ErrorSinkScope::~ErrorSinkScope() {
  if (installed_) tSink = nullptr;
}

const TString& ErrorSinkScope::Text() const {
  return installed_ || !tSink ? text_ : *tSink;
}

TString* CurrentErrorSink() {
  return tSink;
}

void ReportMmlError(const Element* element, const TString& message) {
  if (!element || !*element) {
    WriteConsole(kConsoleError, message);
    return;
  }
  TString* sink = CurrentErrorSink();
  if (!sink) return;
  int32_t first = element->FirstLine();
  int32_t last = element->LastLine();
  if (first < last) {
    sink->AppendPrintf(u"\tError in tag <%s> on lines (%d-%d):\n\t%s\n", element->Tag(), first,
                       last, message);
  } else {
    sink->AppendPrintf(u"\tError in tag <%s> on line (%d):\n\t%s\n", element->Tag(), first,
                       message);
  }
}

void ReportInvalidAttribute(const Element& element, const char16_t* attribute, const TString& value,
                            const TString& fallback) {
  int32_t line = attribute ? element.AttributeLine(attribute) : 0;
  if (attribute && line > 0) {
    ReportMmlError(&element, TString::Format(u"Attribute \"%s\" on line %d\n...\n%s=\"%s\"\n...\n"
                                             u"Invalid value \"%s\". Using default value \"%s\" "
                                             u"instead.",
                                             TString(attribute), line, TString(attribute), value,
                                             value, fallback));
  } else {
    ReportMmlError(&element,
                   TString::Format(u"Invalid value \"%s\". Using default value \"%s\" instead.",
                                   value, fallback));
  }
}

}  // namespace vk2::markup

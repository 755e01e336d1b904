// Where markup reports go. While an interface definition reads its definitions the reading
// thread has an error sink, and every report with an element is appended to it, so the whole
// read is shown as one message; elsewhere reports with an element go nowhere, and reports without
// one go to the console.
#pragma once

#include <cstdint>

#include "foundation/text/tstring.h"
#include "markup/dom/element.h"

namespace vk2::markup {

// Installs an empty sink on the calling thread unless it has one; the sink is removed when the
// scope that installed it ends.
class ErrorSinkScope {
 public:
  ErrorSinkScope();
  ~ErrorSinkScope();
  ErrorSinkScope(const ErrorSinkScope&) = delete;
  ErrorSinkScope& operator=(const ErrorSinkScope&) = delete;

  bool Installed() const { return installed_; }
  // The text collected so far.
  const TString& Text() const;

 private:
  bool installed_ = false;
  TString text_;
};

// The calling thread's sink, or null.
TString* CurrentErrorSink();

// "\tError in tag <TAG> on line (N):\n\tMESSAGE\n" (or "on lines (A-B)" for a multi-line
// element) to the thread's sink; without an element the message goes to the console (error).
void ReportMmlError(const Element* element, const TString& message);
// Quotes the attribute's source line when the document gives it.
void ReportInvalidAttribute(const Element& element, const char16_t* attribute, const TString& value,
                            const TString& fallback);

}  // namespace vk2::markup

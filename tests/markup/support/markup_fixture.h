// The markup engine in process: the runtime's XML and image services installed directly, the
// console captured, and documents made from text.
#pragma once

#include <string>

#include "foundation/text/tstring.h"
#include "markup/dom/element.h"
#include "markup/services/markup_services.h"

namespace vk2::test {

// Installs in-process services for its lifetime and captures what goes to the console.
class InProcessMarkup {
 public:
  InProcessMarkup();
  ~InProcessMarkup();
  InProcessMarkup(const InProcessMarkup&) = delete;
  InProcessMarkup& operator=(const InProcessMarkup&) = delete;

  // Console text written since the last call, entries joined.
  static std::string TakeConsole();

 private:
  markup::MarkupServices saved_;
};

// The top element of a document loaded from `text` (none when it does not load).
markup::Element LoadElement(const std::string& text);
// The first element with that tag anywhere in the document.
markup::Element FindTag(const markup::Element& root, const char16_t* tag);

inline std::string Narrow(const TString& text) {
  return Utf8(text).c_str();
}

}  // namespace vk2::test

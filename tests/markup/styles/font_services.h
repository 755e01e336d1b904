// System fonts for the text tests. Apart from the style fixture: the graphics kit's font header
// and the markup's font records name their style bits alike.
#pragma once

#include "markup/services/markup_services.h"

namespace vk2::test {

// While it lives, the image service behind the markup services serves system fonts too.
class WithFonts {
 public:
  WithFonts();
  ~WithFonts();
  WithFonts(const WithFonts&) = delete;
  WithFonts& operator=(const WithFonts&) = delete;

 private:
  markup::MarkupServices saved_;
};

}  // namespace vk2::test

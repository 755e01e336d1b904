// Text helpers the window tests share.
#pragma once

#include <string>

#include "foundation/text/tstring.h"

namespace vk2::gui {

inline std::string Text(const TString& s) {
  return Utf8(s).c_str();
}

}  // namespace vk2::gui

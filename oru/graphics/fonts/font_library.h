// Finds and keeps fonts: face fonts through fontconfig (or a file path), sized in points at
// 96 dots per inch; raster fonts from an image. Equal descriptions share one font object.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <tuple>

#include "foundation/util/ref_ptr.h"
#include "interfaces/graphics/font.h"
#include "oru/graphics/fonts/font_object.h"

namespace vk2::oru {

class FreeTypeLibrary;

inline constexpr int32_t kFontDpi = 96;

struct FontFile {
  std::string path;
  int32_t index = 0;
};

// The file fontconfig chooses for a family and style; false when it has none.
bool MatchFontFile(const std::string& family, uint32_t style, FontFile* out);

class FontLibrary {
 public:
  FontLibrary();
  ~FontLibrary();

  int32_t GetFont(const FontDescription& description, MFont** out);

 private:
  int32_t GetFaceFont(const FontDescription& description, MFont** out);

  using Key = std::tuple<std::string, int32_t, int32_t, uint32_t, bool>;
  std::mutex mutex_;
  std::shared_ptr<FreeTypeLibrary> freetype_;  // made on first use
  std::map<Key, RefPtr<FontObject>> faces_;
};

}  // namespace vk2::oru

// Finds and keeps fonts: face fonts through fontconfig (or a file path), sized in points at
// 96 dots per inch; raster fonts from an image. Equal descriptions share one font object.
#pragma once

#include <fontconfig/fontconfig.h>

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

// Chooses font files through a fontconfig configuration of its own, so that the process's
// default configuration (which toolkits share) is never touched and all is freed at the end.
class FontMatcher {
 public:
  FontMatcher();
  ~FontMatcher();
  FontMatcher(const FontMatcher&) = delete;
  FontMatcher& operator=(const FontMatcher&) = delete;

  // The file for a family and style; false when there is none.
  bool Match(const std::string& family, uint32_t style, FontFile* out);

 private:
  std::mutex mutex_;
  FcConfig* config_ = nullptr;
};

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
  std::unique_ptr<FontMatcher> matcher_;       // made on first use
  std::map<Key, RefPtr<FontObject>> faces_;
};

}  // namespace vk2::oru

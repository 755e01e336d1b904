#include "oru/graphics/fonts/font_library.h"

#include <dlfcn.h>
#include <fontconfig/fontconfig.h>

#include <new>

#include "foundation/text/utf.h"
#include "foundation/util/result.h"
#include "oru/graphics/fonts/face_engine.h"
#include "oru/graphics/fonts/freetype_library.h"
#include "oru/graphics/fonts/raster_engine.h"

namespace vk2::oru {
namespace {

std::string Utf8Of(const char16_t* text) {
  if (!text) return {};
  size_t n = 0;
  while (text[n])
    ++n;
  std::string out(Utf8LengthOfUtf16(text, n), '\0');
  Utf16ToUtf8(text, n, out.data());
  return out;
}

// The text libraries (and glib under HarfBuzz) keep process-wide state made at load time or on
// first use that they never free. Loaded only as our dependencies, they would be unloaded with
// the runtime and leave it unreachable; kept loaded for the life of the process, it stays what it
// is, process-wide state.
const bool kTextLibrariesPinned = [] {
  bool all = true;
  for (const char* name :
       {"libglib-2.0.so.0", "libharfbuzz.so.0", "libfontconfig.so.1", "libfreetype.so.6"}) {
    all = dlopen(name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE) != nullptr && all;
  }
  return all;
}();

}  // namespace

FontMatcher::FontMatcher() : config_(FcInitLoadConfigAndFonts()) {}

FontMatcher::~FontMatcher() {
  if (config_) FcConfigDestroy(config_);
}

bool FontMatcher::Match(const std::string& family, uint32_t style, FontFile* out) {
  std::lock_guard lock(mutex_);
  if (!config_) return false;
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) return false;
  std::string name = family;
  if (name.empty()) {
    name = (style & kFontFixedPitch) ? "monospace" : (style & kFontSerif) ? "serif" : "sans-serif";
  }
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
  const uint32_t weight = style & kFontWeightMask;
  FcPatternAddInteger(pattern, FC_WEIGHT,
                      weight == 0   ? FC_WEIGHT_LIGHT
                      : weight == 2 ? FC_WEIGHT_BOLD
                                    : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, (style & kFontItalic) ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  if (style & kFontFixedPitch) FcPatternAddInteger(pattern, FC_SPACING, FC_MONO);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(config_, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(config_, pattern, &result);
  FcPatternDestroy(pattern);
  if (!match) return false;
  FcChar8* file = nullptr;
  int index = 0;
  const bool found = FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file;
  if (found) {
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    out->path = reinterpret_cast<const char*>(file);
    out->index = index;
  }
  FcPatternDestroy(match);
  return found;
}

FontLibrary::FontLibrary() = default;
FontLibrary::~FontLibrary() = default;

int32_t FontLibrary::GetFont(const FontDescription& description, MFont** out) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  if (description.kind == kFontRaster) {
    RefPtr<FontObject> font;
    const int32_t r = MakeRasterFont(description, &font);
    if (r < 0) return r;
    *out = font.Detach();
    return kOk;
  }
  if (description.kind != kFontFace) return kErrOutOfRange;
  return GetFaceFont(description, out);
}

int32_t FontLibrary::GetFaceFont(const FontDescription& description, MFont** out) {
  if (description.size < 1 || description.size > 500) return kErrOutOfRange;
  const std::string face = Utf8Of(description.face);
  FontFile file;
  if (!face.empty() && face.front() == '/') {
    file.path = face;  // a file named directly, as tests and bundled fonts do
  } else {
    std::lock_guard lock(mutex_);
    if (!matcher_) matcher_ = std::make_unique<FontMatcher>();
    if (!matcher_->Match(face, description.style, &file)) return kErrNotFound;
  }
  const Key key{file.path, file.index, description.size, description.style, description.smoothed};
  std::lock_guard lock(mutex_);
  if (auto found = faces_.find(key); found != faces_.end()) {
    *out = RefPtr<FontObject>(found->second).Detach();
    return kOk;
  }
  if (!freetype_) {
    freetype_ = std::make_shared<FreeTypeLibrary>();
  }
  if (!freetype_->Ok()) return kErrNoService;
  FT_Face ftFace = freetype_->OpenFace(file.path, file.index);
  if (!ftFace) return kErrNotFound;
  if (FT_Set_Char_Size(ftFace, 0, description.size * 64, kFontDpi, kFontDpi) != 0) {
    freetype_->CloseFace(ftFace);
    return kErrNotSupported;
  }
  std::unique_ptr<FontEngine> engine(
      new (std::nothrow) FaceEngine(freetype_, ftFace, description.style, description.smoothed));
  if (!engine) {
    freetype_->CloseFace(ftFace);
    return kErrOutOfMemory;
  }
  RefPtr<FontObject> font(new (std::nothrow) FontObject(std::move(engine)));
  if (!font) return kErrOutOfMemory;
  faces_.emplace(key, font);
  *out = font.Detach();
  return kOk;
}

}  // namespace vk2::oru

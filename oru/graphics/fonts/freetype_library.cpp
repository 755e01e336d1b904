#include "oru/graphics/fonts/freetype_library.h"

namespace vk2::oru {

FreeTypeLibrary::FreeTypeLibrary() {
  if (FT_Init_FreeType(&library_) != 0) library_ = nullptr;
}

FreeTypeLibrary::~FreeTypeLibrary() {
  if (library_) FT_Done_FreeType(library_);
}

FT_Face FreeTypeLibrary::OpenFace(const std::string& path, int32_t index) {
  std::lock_guard lock(mutex_);
  FT_Face face = nullptr;
  if (!library_ || FT_New_Face(library_, path.c_str(), index, &face) != 0) return nullptr;
  return face;
}

void FreeTypeLibrary::CloseFace(FT_Face face) {
  std::lock_guard lock(mutex_);
  if (face) FT_Done_Face(face);
}

}  // namespace vk2::oru

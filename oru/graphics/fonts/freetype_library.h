// The process's FreeType library: face creation and destruction go through its lock.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <mutex>
#include <string>

namespace vk2::oru {

class FreeTypeLibrary {
 public:
  FreeTypeLibrary();
  ~FreeTypeLibrary();
  FreeTypeLibrary(const FreeTypeLibrary&) = delete;
  FreeTypeLibrary& operator=(const FreeTypeLibrary&) = delete;

  bool Ok() const { return library_ != nullptr; }
  // A face of the file, or null.
  FT_Face OpenFace(const std::string& path, int32_t index);
  void CloseFace(FT_Face face);

 private:
  std::mutex mutex_;
  FT_Library library_ = nullptr;
};

}  // namespace vk2::oru

#include "oru/graphics/images/foreign_decoder.h"

#include <stb_image.h>

#include <climits>
#include <memory>

#include "foundation/util/result.h"
#include "oru/graphics/images/container_check.h"

namespace vk2::oru {
namespace {

int32_t Fail(DecodeFailure* failure, int32_t code, std::string reason) {
  if (failure) *failure = DecodeFailure{code, std::move(reason)};
  return code;
}

struct StbFree {
  void operator()(stbi_uc* p) const { stbi_image_free(p); }
};

}  // namespace

bool PlausiblePixelCount(int64_t width, int64_t height, uint64_t fileSize) {
  constexpr uint64_t kPixelsPerByte = 4096;
  constexpr uint64_t kAlwaysAllowed = 65536;  // small pictures from tiny files
  const uint64_t pixels = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
  return pixels <= kAlwaysAllowed || pixels / kPixelsPerByte <= fileSize;
}

int32_t DecodeForeignImage(const uint8_t* data, size_t size, PixelBuffer* out,
                           DecodeFailure* failure) {
  if (!data || size == 0 || !out) return Fail(failure, kErrMissingArg, "no data");
  if (size > static_cast<size_t>(INT_MAX)) return Fail(failure, kErrOutOfRange, "file too large");
  const ForeignFormat format = SniffForeignFormat(data, size);
  if (format == ForeignFormat::kUnknown) return Fail(failure, kErrBadData, "unknown image format");
  const int length = static_cast<int>(size);
  int width = 0;
  int height = 0;
  int channels = 0;
  if (!stbi_info_from_memory(data, length, &width, &height, &channels)) {
    return Fail(failure, kErrBadData, stbi_failure_reason() ? stbi_failure_reason() : "damaged");
  }
  if (width <= 0 || height <= 0 || width > kMaxImageSide || height > kMaxImageSide) {
    return Fail(failure, kErrOutOfRange, "image side beyond 16384 pixels");
  }
  if (!PlausiblePixelCount(width, height, size)) {
    return Fail(failure, kErrOutOfRange, "image size implausible for its file");
  }
  if (!IsComplete(format, data, size)) return Fail(failure, kErrBadData, "truncated image");
  std::unique_ptr<stbi_uc, StbFree> rgba(
      stbi_load_from_memory(data, length, &width, &height, &channels, 4));
  if (!rgba) {
    return Fail(failure, kErrBadData, stbi_failure_reason() ? stbi_failure_reason() : "damaged");
  }
  PixelBuffer pixels;
  if (!pixels.Allocate(width, height, PixelFormat::kArgb32)) {
    return Fail(failure, kErrOutOfMemory, "out of memory");
  }
  for (int32_t y = 0; y < height; ++y) {
    PremultiplyRgbaRow(rgba.get() + static_cast<size_t>(y) * width * 4, width, pixels.Argb(y));
  }
  *out = std::move(pixels);
  return kOk;
}

}  // namespace vk2::oru

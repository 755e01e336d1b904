// Image sources: a raster image in the interface package ("name.png", optionally "res://"), or a
// layer of a layered document ("skin.psd|layer"; without a layer its merged image).
#pragma once

#include <cstdint>
#include <string_view>

#include "foundation/util/ref_ptr.h"
#include "interfaces/graphics/image.h"
#include "interfaces/runtime/resource_file.h"
#include "markup/dom/element.h"

namespace vk2::markup {

enum class ImageSourceMode : int32_t { kImage = 0, kBounds = 1, kLayerBlitMode = 2, kOpacity = 3 };

struct ImageSourceResult {
  RefPtr<MRasterImage> image;
  RectI bounds;
  uint64_t blitMode = 0;
  double opacity = 1.0;
};

// A word that can name a package member: it has a '.', a '|' or starts with "res://". Names of
// points and rectangles are never tried as images.
bool LooksLikeImageSource(std::u16string_view word);

// True on success. Failures are reported on `element` only when `report` is set.
bool LoadImageSource(std::u16string_view text, MResourceFile* package, const Element* element,
                     ImageSourceMode mode, bool report, ImageSourceResult* out);

// The blit code for a layer blend key ('norm', 'scrn', ...); false for an unsupported key.
bool LayerBlendKeyToBlitMode(uint32_t key, uint64_t* code);

}  // namespace vk2::markup

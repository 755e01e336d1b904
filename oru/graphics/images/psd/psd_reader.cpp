#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "foundation/util/result.h"
#include "oru/graphics/canvas/pixel.h"
#include "oru/graphics/images/psd/byte_reader.h"
#include "oru/graphics/images/psd/inflate_plane.h"
#include "oru/graphics/images/psd/packbits.h"
#include "oru/graphics/images/psd/psd_document.h"

namespace vk2::oru {
namespace {

constexpr uint16_t kModeGrey = 1;
constexpr uint16_t kModeRgb = 3;
constexpr uint16_t kRaw = 0;
constexpr uint16_t kRle = 1;
constexpr uint16_t kZip = 2;
constexpr uint16_t kZipPredicted = 3;
// A packed row of n bytes unpacks to at most 64 n bytes (two bytes per run of 128).
constexpr uint64_t kMaxRleExpansion = 64;

class PsdParser {
 public:
  PsdParser(const uint8_t* data, size_t size) : reader_(data, size) {}

  int32_t Run(PsdDocument* doc);
  const char* Reason() const { return reason_; }

 private:
  int32_t Fail(int32_t code, const char* reason) {
    reason_ = reason;
    return code;
  }
  int32_t ReadHeader(PsdDocument* doc);
  int32_t ReadLayers(ByteReader section, PsdDocument* doc);
  int32_t ReadLayerRecord(ByteReader& r, PsdLayer* layer, std::vector<int16_t>* ids,
                          std::vector<uint32_t>* lengths);
  int32_t ReadMerged(PsdDocument* doc);
  // Unpacks `planes` planes of w x h stored with `compression` (counts first for RLE).
  int32_t ReadPlanes(ByteReader& r, uint16_t compression, int32_t w, int32_t h, int32_t planes,
                     int32_t storedPlanes, std::vector<std::vector<uint8_t>>* out);
  int32_t Compose(const std::vector<std::vector<uint8_t>>& planes, int32_t colour, int32_t alpha,
                  int32_t w, int32_t h, PixelBuffer* out);

  ByteReader reader_;
  uint16_t channels_ = 0;
  uint16_t mode_ = 0;
  const char* reason_ = "";
};

int32_t PsdParser::ReadHeader(PsdDocument* doc) {
  const uint8_t* signature = reader_.Take(4);
  if (!signature || std::memcmp(signature, "8BPS", 4) != 0) {
    return Fail(kErrBadData, "not a layered image document");
  }
  const uint16_t version = reader_.U16();
  reader_.Skip(6);
  channels_ = reader_.U16();
  const uint32_t height = reader_.U32();
  const uint32_t width = reader_.U32();
  const uint16_t depth = reader_.U16();
  mode_ = reader_.U16();
  if (reader_.Failed()) return Fail(kErrBadData, "truncated header");
  if (version != 1) return Fail(kErrNotSupported, "unsupported document version");
  if (channels_ < 1 || channels_ > 56) return Fail(kErrBadData, "bad channel count");
  if (width == 0 || height == 0) return Fail(kErrBadData, "empty document");
  if (width > kMaxImageSide || height > kMaxImageSide) {
    return Fail(kErrOutOfRange, "document side beyond 16384 pixels");
  }
  if (depth != 8) return Fail(kErrNotSupported, "only 8-bit channels are supported");
  if (mode_ != kModeGrey && mode_ != kModeRgb) {
    return Fail(kErrNotSupported, "only RGB and greyscale documents are supported");
  }
  doc->width = static_cast<int32_t>(width);
  doc->height = static_cast<int32_t>(height);
  // Colour mode data and image resources are not needed.
  reader_.Skip(reader_.U32());
  reader_.Skip(reader_.U32());
  if (reader_.Failed()) return Fail(kErrBadData, "truncated document sections");
  return kOk;
}

int32_t PsdParser::ReadPlanes(ByteReader& r, uint16_t compression, int32_t w, int32_t h,
                              int32_t planes, int32_t storedPlanes,
                              std::vector<std::vector<uint8_t>>* out) {
  const uint64_t plane = static_cast<uint64_t>(w) * static_cast<uint64_t>(h);
  out->assign(static_cast<size_t>(planes), {});
  if (compression == kRaw) {
    for (auto& p : *out) {
      const uint8_t* bytes = r.Take(plane);
      if (!bytes) return Fail(kErrBadData, "truncated channel data");
      p.assign(bytes, bytes + plane);
    }
    return kOk;
  }
  if (compression == kZip || compression == kZipPredicted) {
    // Deflated planes fill the rest of their channel's data, one plane per channel.
    if (planes != 1) return Fail(kErrNotSupported, "deflated merged image");
    auto& bytes = (*out)[0];
    const size_t packed = r.Remaining();
    if (!InflatePlane(r.Take(packed), packed, plane, &bytes)) {
      return Fail(kErrBadData, "damaged deflated channel");
    }
    if (compression == kZipPredicted) UndoRowDeltas(&bytes, w, h);
    return kOk;
  }
  if (compression != kRle) return Fail(kErrNotSupported, "compressed channels of this kind");
  const uint64_t rows = static_cast<uint64_t>(h) * static_cast<uint64_t>(storedPlanes);
  const uint8_t* counts = r.Take(rows * 2);
  if (!counts) return Fail(kErrBadData, "truncated row counts");
  for (int32_t p = 0; p < planes; ++p) {
    // Check the plane's rows exist and can fill it before allocating.
    uint64_t total = 0;
    for (int32_t y = 0; y < h; ++y) {
      const size_t row = static_cast<size_t>(p) * h + y;
      const uint32_t count = uint32_t{counts[row * 2]} << 8 | counts[row * 2 + 1];
      if (count * kMaxRleExpansion < static_cast<uint64_t>(w)) {
        return Fail(kErrBadData, "row too short for its width");
      }
      total += count;
    }
    if (total > r.Remaining()) return Fail(kErrBadData, "truncated channel data");
    auto& bytes = (*out)[static_cast<size_t>(p)];
    bytes.resize(plane);
    for (int32_t y = 0; y < h; ++y) {
      const size_t row = static_cast<size_t>(p) * h + y;
      const uint32_t count = uint32_t{counts[row * 2]} << 8 | counts[row * 2 + 1];
      const uint8_t* packed = r.Take(count);
      if (!packed || !UnpackBitsRow(packed, count, bytes.data() + static_cast<size_t>(y) * w,
                                    static_cast<size_t>(w))) {
        return Fail(kErrBadData, "damaged run-length row");
      }
    }
  }
  return kOk;
}

// `colour` is the number of colour planes (1 grey, 3 RGB); `alpha` the alpha plane's index or
// -1 for opaque.
int32_t PsdParser::Compose(const std::vector<std::vector<uint8_t>>& planes, int32_t colour,
                           int32_t alpha, int32_t w, int32_t h, PixelBuffer* out) {
  if (!out->Allocate(w, h, PixelFormat::kArgb32)) return Fail(kErrOutOfMemory, "out of memory");
  for (int32_t y = 0; y < h; ++y) {
    uint32_t* row = out->Argb(y);
    const size_t base = static_cast<size_t>(y) * w;
    for (int32_t x = 0; x < w; ++x) {
      const size_t i = base + x;
      auto at = [&](int32_t p) -> uint32_t {
        return p >= 0 && !planes[p].empty() ? planes[p][i] : 0;
      };
      const uint32_t r = at(0);
      const uint32_t g = colour == 3 ? at(1) : r;
      const uint32_t b = colour == 3 ? at(2) : r;
      const uint32_t a = alpha >= 0 ? at(alpha) : 255;
      row[x] = gfx::PremultiplyArgb(a << 24 | r << 16 | g << 8 | b);
    }
  }
  return kOk;
}

int32_t PsdParser::ReadLayerRecord(ByteReader& r, PsdLayer* layer, std::vector<int16_t>* ids,
                                   std::vector<uint32_t>* lengths) {
  const int64_t top = r.I32();
  const int64_t left = r.I32();
  const int64_t bottom = r.I32();
  const int64_t right = r.I32();
  const uint16_t count = r.U16();
  if (r.Failed()) return Fail(kErrBadData, "truncated layer record");
  if (right - left < 0 || bottom - top < 0) return Fail(kErrBadData, "bad layer rectangle");
  if (right - left > kMaxImageSide || bottom - top > kMaxImageSide) {
    return Fail(kErrOutOfRange, "layer side beyond 16384 pixels");
  }
  if (count > 56) return Fail(kErrBadData, "bad layer channel count");
  layer->rect = RectI{static_cast<int32_t>(left), static_cast<int32_t>(top),
                      static_cast<int32_t>(right), static_cast<int32_t>(bottom)};
  for (uint16_t c = 0; c < count; ++c) {
    ids->push_back(r.I16());
    lengths->push_back(r.U32());
  }
  const uint8_t* signature = r.Take(4);
  if (!signature || std::memcmp(signature, "8BIM", 4) != 0) {
    return Fail(kErrBadData, "bad blend mode signature");
  }
  layer->blendKey = r.U32();
  layer->opacity = r.U8();
  r.U8();  // clipping
  layer->flags = r.U8();
  r.U8();  // filler
  ByteReader extra = r.Sub(r.U32());
  if (r.Failed()) return Fail(kErrBadData, "truncated layer record");
  extra.Skip(extra.U32());  // layer mask
  extra.Skip(extra.U32());  // blending ranges
  const uint8_t nameLength = extra.U8();
  const uint8_t* name = extra.Take(nameLength);
  if (extra.Failed()) return Fail(kErrBadData, "truncated layer name");
  layer->name.assign(name, name + nameLength);  // Latin-1 as the nearest reading
  extra.Skip((4 - (1 + nameLength) % 4) % 4);
  // Additional information blocks; only the Unicode name is used. A block that does not parse
  // ends the walk: the name above stands.
  while (extra.Remaining() >= 12 && !extra.Failed()) {
    const uint8_t* sig = extra.Take(4);
    if (std::memcmp(sig, "8BIM", 4) != 0 && std::memcmp(sig, "8B64", 4) != 0) break;
    const uint32_t key = extra.U32();
    ByteReader block = extra.Sub(extra.U32());
    if (extra.Failed()) break;
    if (key == 0x6C756E69) {  // 'luni'
      const uint32_t units = block.U32();
      if (units > block.Remaining() / 2) break;
      std::u16string unicode;
      for (uint32_t i = 0; i < units; ++i)
        unicode.push_back(static_cast<char16_t>(block.U16()));
      layer->name = std::move(unicode);
    }
  }
  // Names are handed out as terminated text: whatever follows a nul is not part of them.
  layer->name.resize(std::min(layer->name.size(), layer->name.find(u'\0')));
  return kOk;
}

int32_t PsdParser::ReadLayers(ByteReader section, PsdDocument* doc) {
  const uint32_t infoLength = section.U32();
  if (section.Failed()) return Fail(kErrBadData, "truncated layer section");
  if (infoLength == 0) return kOk;
  ByteReader info = section.Sub(infoLength);
  if (section.Failed()) return Fail(kErrBadData, "truncated layer section");
  const int32_t count = std::abs(static_cast<int32_t>(info.I16()));
  // Each record takes at least 34 bytes: refuse a count the section cannot hold.
  if (static_cast<uint64_t>(count) * 34 > info.Remaining()) {
    return Fail(kErrBadData, "truncated layer records");
  }
  doc->layers.resize(static_cast<size_t>(count));
  std::vector<std::vector<int16_t>> ids(static_cast<size_t>(count));
  std::vector<std::vector<uint32_t>> lengths(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) {
    const int32_t r = ReadLayerRecord(info, &doc->layers[i], &ids[i], &lengths[i]);
    if (r < 0) return r;
  }
  for (int32_t i = 0; i < count; ++i) {
    PsdLayer& layer = doc->layers[i];
    const int32_t w = layer.rect.Width();
    const int32_t h = layer.rect.Height();
    std::vector<std::vector<uint8_t>> planes(4);
    for (size_t c = 0; c < ids[i].size(); ++c) {
      ByteReader channel = info.Sub(lengths[i][c]);
      if (info.Failed()) return Fail(kErrBadData, "truncated channel data");
      const int16_t id = ids[i][c];
      // Masks (-2, -3) and extra channels have sizes of their own; they are not drawn.
      const int32_t slot = id == -1 ? 3 : id;
      if (slot < 0 || slot > 3 || w == 0 || h == 0) continue;
      const uint16_t compression = channel.U16();
      std::vector<std::vector<uint8_t>> one;
      const int32_t r = ReadPlanes(channel, compression, w, h, 1, 1, &one);
      if (r < 0) return r;
      planes[static_cast<size_t>(slot)] = std::move(one[0]);
    }
    // A layer without stored channels has nothing to draw, whatever its rectangle says.
    const bool anyPlane =
        std::any_of(planes.begin(), planes.end(), [](const auto& p) { return !p.empty(); });
    if (w == 0 || h == 0 || !anyPlane) continue;
    const int32_t colour = mode_ == kModeRgb ? 3 : 1;
    const int32_t r = Compose(planes, colour, planes[3].empty() ? -1 : 3, w, h, &layer.pixels);
    if (r < 0) return r;
  }
  return kOk;
}

int32_t PsdParser::ReadMerged(PsdDocument* doc) {
  const uint16_t compression = reader_.U16();
  if (reader_.Failed()) return Fail(kErrBadData, "missing merged image");
  const int32_t colour = mode_ == kModeRgb ? 3 : 1;
  if (channels_ < colour) return Fail(kErrBadData, "too few channels for the colour mode");
  const bool hasAlpha = channels_ > colour;
  std::vector<std::vector<uint8_t>> planes;
  const int32_t r = ReadPlanes(reader_, compression, doc->width, doc->height,
                               colour + (hasAlpha ? 1 : 0), channels_, &planes);
  if (r < 0) return r;
  return Compose(planes, colour, hasAlpha ? colour : -1, doc->width, doc->height, &doc->merged);
}

int32_t PsdParser::Run(PsdDocument* doc) {
  int32_t r = ReadHeader(doc);
  if (r < 0) return r;
  const uint32_t sectionLength = reader_.U32();
  ByteReader section = reader_.Sub(sectionLength);
  if (reader_.Failed()) return Fail(kErrBadData, "truncated layer section");
  r = ReadLayers(section, doc);
  if (r < 0) return r;
  return ReadMerged(doc);
}

}  // namespace

int32_t ReadPsd(const uint8_t* data, size_t size, PsdDocument* out, PsdFailure* failure) {
  if (!data || !out) return kErrMissingArg;
  PsdDocument doc;
  PsdParser parser(data, size);
  int32_t r = kErrOutOfMemory;
  try {
    r = parser.Run(&doc);
  } catch (const std::bad_alloc&) {
    r = kErrOutOfMemory;
  }
  if (r < 0) {
    if (failure) *failure = PsdFailure{r, r == kErrOutOfMemory ? "out of memory" : parser.Reason()};
    return r;
  }
  *out = std::move(doc);
  return kOk;
}

}  // namespace vk2::oru

#include "tests/oru/graphics/images/psd_writer.h"

namespace vk2::test {
namespace {

class Out {
 public:
  void U8(uint32_t v) { bytes.push_back(static_cast<uint8_t>(v)); }
  void U16(uint32_t v) {
    U8(v >> 8);
    U8(v);
  }
  void U32(uint32_t v) {
    U16(v >> 16);
    U16(v);
  }
  void Raw(const std::vector<uint8_t>& b) { bytes.insert(bytes.end(), b.begin(), b.end()); }
  void Text(const char* s) {
    while (*s)
      U8(static_cast<uint8_t>(*s++));
  }
  // A length-prefixed block: the length is patched in when the block ends.
  size_t Open() {
    const size_t at = bytes.size();
    U32(0);
    return at;
  }
  void Close(size_t at, size_t align = 1) {
    while ((bytes.size() - at - 4) % align)
      U8(0);
    const uint32_t n = static_cast<uint32_t>(bytes.size() - at - 4);
    for (int i = 0; i < 4; ++i)
      bytes[at + i] = static_cast<uint8_t>(n >> (24 - 8 * i));
  }
  std::vector<uint8_t> bytes;
};

// Run-length packs a row: runs of three or more equal bytes repeat, the rest are literals.
std::vector<uint8_t> PackRow(const uint8_t* row, size_t n) {
  std::vector<uint8_t> out;
  size_t i = 0;
  while (i < n) {
    size_t run = 1;
    while (i + run < n && run < 128 && row[i + run] == row[i])
      ++run;
    if (run >= 3) {
      out.push_back(static_cast<uint8_t>(257 - run));
      out.push_back(row[i]);
      i += run;
      continue;
    }
    size_t lit = 0;
    while (i + lit < n && lit < 128) {
      if (i + lit + 2 < n && row[i + lit] == row[i + lit + 1] && row[i + lit] == row[i + lit + 2]) {
        break;
      }
      ++lit;
    }
    out.push_back(static_cast<uint8_t>(lit - 1));
    out.insert(out.end(), row + i, row + i + lit);
    i += lit;
  }
  return out;
}

// The planes of straight ARGB pixels: R, G, B (or grey), then alpha when asked.
std::vector<std::vector<uint8_t>> Planes(const std::vector<uint32_t>& pixels, bool grey,
                                         bool alpha) {
  std::vector<std::vector<uint8_t>> planes(grey ? 1 : 3);
  if (alpha) planes.emplace_back();
  for (uint32_t p : pixels) {
    planes[0].push_back(static_cast<uint8_t>(p >> 16));
    if (!grey) {
      planes[1].push_back(static_cast<uint8_t>(p >> 8));
      planes[2].push_back(static_cast<uint8_t>(p));
    }
    if (alpha) planes.back().push_back(static_cast<uint8_t>(p >> 24));
  }
  return planes;
}

// Planes stored together: one compression word, then (for run-length) every row's length,
// then the rows.
std::vector<uint8_t> Encode(const std::vector<std::vector<uint8_t>>& planes, int32_t w, int32_t h,
                            bool rle) {
  Out out;
  out.U16(rle ? 1 : 0);
  if (!rle) {
    for (const auto& p : planes)
      out.Raw(p);
    return out.bytes;
  }
  std::vector<std::vector<uint8_t>> rows;
  for (const auto& p : planes) {
    for (int32_t y = 0; y < h; ++y)
      rows.push_back(PackRow(p.data() + size_t(y) * w, size_t(w)));
  }
  for (const auto& r : rows)
    out.U16(static_cast<uint32_t>(r.size()));
  for (const auto& r : rows)
    out.Raw(r);
  return out.bytes;
}

}  // namespace

std::vector<uint8_t> WritePsd(const PsdTestDocument& doc) {
  Out out;
  out.Text("8BPS");
  out.U16(1);
  for (int i = 0; i < 6; ++i)
    out.U8(0);
  out.U16((doc.grey ? 1 : 3) + (doc.mergedAlpha ? 1 : 0));
  out.U32(static_cast<uint32_t>(doc.height));
  out.U32(static_cast<uint32_t>(doc.width));
  out.U16(8);
  out.U16(doc.grey ? 1 : 3);
  out.U32(0);  // colour mode data
  out.U32(0);  // image resources
  const size_t layerAndMask = out.Open();
  if (!doc.layers.empty()) {
    const size_t info = out.Open();
    out.U16(static_cast<uint32_t>(doc.layers.size()));
    std::vector<std::vector<std::vector<uint8_t>>> channelData;
    for (const PsdTestLayer& layer : doc.layers) {
      const int32_t w = layer.rect.Width();
      const int32_t h = layer.rect.Height();
      auto planes = Planes(layer.pixels, doc.grey, true);
      std::vector<std::vector<uint8_t>> channels;
      for (const auto& plane : planes)
        channels.push_back(Encode({plane}, w, h, doc.rle));
      out.U32(static_cast<uint32_t>(layer.rect.top));
      out.U32(static_cast<uint32_t>(layer.rect.left));
      out.U32(static_cast<uint32_t>(layer.rect.bottom));
      out.U32(static_cast<uint32_t>(layer.rect.right));
      out.U16(static_cast<uint32_t>(channels.size()));
      for (size_t c = 0; c < channels.size(); ++c) {
        const bool isAlpha = c + 1 == channels.size();
        out.U16(isAlpha ? 0xFFFF : static_cast<uint32_t>(c));
        out.U32(static_cast<uint32_t>(channels[c].size()));
      }
      out.Text("8BIM");
      out.U32(layer.blendKey);
      out.U8(layer.opacity);
      out.U8(0);
      out.U8(0);
      out.U8(0);
      const size_t extra = out.Open();
      out.U32(0);  // layer mask
      out.U32(0);  // blending ranges
      out.U8(static_cast<uint32_t>(layer.name.size()));
      for (char c : layer.name) out.U8(static_cast<uint8_t>(c));
      for (size_t pad = (4 - (1 + layer.name.size()) % 4) % 4; pad > 0; --pad)
        out.U8(0);
      if (!layer.unicodeName.empty()) {
        out.Text("8BIM");
        out.Text("luni");
        const size_t block = out.Open();
        out.U32(static_cast<uint32_t>(layer.unicodeName.size()));
        for (char16_t c : layer.unicodeName)
          out.U16(c);
        out.Close(block);
      }
      out.Close(extra);
      channelData.push_back(std::move(channels));
    }
    for (const auto& channels : channelData) {
      for (const auto& c : channels)
        out.Raw(c);
    }
    out.Close(info, 2);
  } else {
    out.U32(0);
  }
  out.U32(0);  // global layer mask
  out.Close(layerAndMask);
  out.Raw(Encode(Planes(doc.merged, doc.grey, doc.mergedAlpha), doc.width, doc.height, doc.rle));
  return out.bytes;
}

}  // namespace vk2::test

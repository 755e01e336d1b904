#include "oru/graphics/images/container_check.h"

#include <cstring>

namespace vk2::oru {
namespace {

uint32_t Be32(const uint8_t* p) {
  return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}
uint32_t Le16(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8;
}
uint32_t Le32(const uint8_t* p) {
  return Le16(p) | Le16(p + 2) << 16;
}

bool PngComplete(const uint8_t* d, size_t n) {
  size_t at = 8;
  while (n - at >= 12) {
    const uint64_t length = Be32(d + at);
    if (length > n - at - 12) return false;
    const bool end = std::memcmp(d + at + 4, "IEND", 4) == 0;
    at += 12 + length;
    if (end) return true;
  }
  return false;
}

// The entropy-coded data ends at an end-of-image marker; a cut file has none after its scan.
bool JpegComplete(const uint8_t* d, size_t n) {
  for (size_t i = n; i >= 4; --i) {
    if (d[i - 2] == 0xFF && d[i - 1] == 0xD9) return true;
  }
  return false;
}

// Skips a chain of data sub-blocks; false when it runs past the end.
bool SkipSubBlocks(const uint8_t* d, size_t n, size_t& at) {
  while (at < n) {
    const size_t length = d[at++];
    if (length == 0) return true;
    if (length > n - at) return false;
    at += length;
  }
  return false;
}

// Only the first frame is decoded, so the file must hold it whole.
bool GifComplete(const uint8_t* d, size_t n) {
  if (n < 13) return false;
  size_t at = 13;
  if (d[10] & 0x80) at += 3u * (2u << (d[10] & 7));
  while (at < n) {
    const uint8_t kind = d[at++];
    if (kind == 0x21) {
      if (at >= n) return false;
      ++at;  // label
      if (!SkipSubBlocks(d, n, at)) return false;
    } else if (kind == 0x2C) {
      if (n - at < 9) return false;
      const uint8_t flags = d[at + 8];
      at += 9;
      if (flags & 0x80) at += 3u * (2u << (flags & 7));
      if (at >= n) return false;
      ++at;  // LZW minimum code size
      return SkipSubBlocks(d, n, at);
    } else {
      return false;  // the trailer or junk before any image
    }
  }
  return false;
}

// Walks 4- or 8-bit run-length data to its end-of-bitmap code.
bool BmpRleComplete(const uint8_t* d, size_t n, size_t at, bool fourBit) {
  while (at + 2 <= n) {
    const uint8_t count = d[at];
    const uint8_t code = d[at + 1];
    at += 2;
    if (count != 0) continue;
    if (code == 1) return true;
    if (code == 2) {
      at += 2;
    } else if (code > 2) {
      const size_t bytes = fourBit ? (code + 1u) / 2u : code;
      at += (bytes + 1u) & ~size_t{1};
    }
    if (at > n) return false;
  }
  return false;
}

bool BmpComplete(const uint8_t* d, size_t n) {
  if (n < 30) return false;
  const uint32_t offset = Le32(d + 10);
  const uint32_t headerSize = Le32(d + 14);
  if (offset > n) return false;
  int64_t width = 0;
  int64_t height = 0;
  uint32_t bits = 0;
  uint32_t compression = 0;
  if (headerSize == 12) {
    width = Le16(d + 18);
    height = Le16(d + 20);
    bits = Le16(d + 24);
  } else {
    if (n < 34) return false;
    width = static_cast<int32_t>(Le32(d + 18));
    height = static_cast<int32_t>(Le32(d + 22));
    bits = Le16(d + 28);
    compression = Le32(d + 30);
  }
  if (height < 0) height = -height;
  if (width <= 0 || height <= 0 || bits == 0) return false;
  if (compression == 1 || compression == 2) return BmpRleComplete(d, n, offset, compression == 2);
  const uint64_t stride = ((static_cast<uint64_t>(width) * bits + 31) / 32) * 4;
  return stride * static_cast<uint64_t>(height) <= n - offset;
}

bool TgaComplete(const uint8_t* d, size_t n) {
  if (n < 18) return false;
  const uint32_t type = d[2];
  const uint64_t mapEntries = d[1] ? Le16(d + 5) : 0;
  const uint64_t mapBytes = mapEntries * ((d[7] + 7u) / 8u);
  const uint64_t pixels = uint64_t{Le16(d + 12)} * Le16(d + 14);
  const uint64_t pixelBytes = (d[16] + 7u) / 8u;
  uint64_t at = 18 + uint64_t{d[0]} + mapBytes;
  if (at > n || pixelBytes == 0) return false;
  if (type < 8) return pixels * pixelBytes <= n - at;
  // Run-length packets: a header byte, then one pixel (a run) or count pixels (raw).
  uint64_t done = 0;
  while (done < pixels) {
    if (at >= n) return false;
    const uint8_t head = d[at++];
    const uint64_t count = (head & 0x7Fu) + 1u;
    const uint64_t bytes = (head & 0x80) ? pixelBytes : count * pixelBytes;
    if (bytes > n - at) return false;
    at += bytes;
    done += count;
  }
  return true;
}

bool PlausibleTga(const uint8_t* d, size_t n) {
  if (n < 18) return false;
  const uint8_t type = d[2];
  const bool typeOk = type == 1 || type == 2 || type == 3 || type == 9 || type == 10 || type == 11;
  const uint8_t bits = d[16];
  const bool bitsOk = bits == 8 || bits == 15 || bits == 16 || bits == 24 || bits == 32;
  return typeOk && bitsOk && d[1] <= 1 && Le16(d + 12) > 0 && Le16(d + 14) > 0;
}

}  // namespace

ForeignFormat SniffForeignFormat(const uint8_t* d, size_t n) {
  if (n >= 8 && std::memcmp(d, "\x89PNG\r\n\x1a\n", 8) == 0) return ForeignFormat::kPng;
  if (n >= 3 && d[0] == 0xFF && d[1] == 0xD8 && d[2] == 0xFF) return ForeignFormat::kJpeg;
  if (n >= 6 && (std::memcmp(d, "GIF87a", 6) == 0 || std::memcmp(d, "GIF89a", 6) == 0)) {
    return ForeignFormat::kGif;
  }
  if (n >= 2 && d[0] == 'B' && d[1] == 'M') return ForeignFormat::kBmp;
  if (PlausibleTga(d, n)) return ForeignFormat::kTga;
  return ForeignFormat::kUnknown;
}

bool IsComplete(ForeignFormat format, const uint8_t* data, size_t size) {
  switch (format) {
    case ForeignFormat::kPng:
      return PngComplete(data, size);
    case ForeignFormat::kJpeg:
      return JpegComplete(data, size);
    case ForeignFormat::kGif:
      return GifComplete(data, size);
    case ForeignFormat::kBmp:
      return BmpComplete(data, size);
    case ForeignFormat::kTga:
      return TgaComplete(data, size);
    case ForeignFormat::kUnknown:
      break;
  }
  return false;
}

}  // namespace vk2::oru

// Arithmetic on 32-bit ARGB pixels (0xAARRGGBB): channel access, exact /255 rounding and the
// conversions between straight and premultiplied colour.
#pragma once

#include <cstdint>

namespace vk2::gfx {

inline constexpr int kAlphaShift = 24;
inline constexpr int kRedShift = 16;
inline constexpr int kGreenShift = 8;
inline constexpr int kBlueShift = 0;

constexpr uint32_t AlphaOf(uint32_t p) {
  return p >> 24;
}
constexpr uint32_t Channel(uint32_t p, int shift) {
  return (p >> shift) & 0xFF;
}
constexpr uint32_t PackArgb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
  return (a << 24) | (r << 16) | (g << 8) | b;
}

// x / 255 rounded to nearest, exact for 0 <= x <= 255 * 255.
constexpr uint32_t Div255(uint32_t x) {
  x += 128;
  return (x + (x >> 8)) >> 8;
}

// Multiplies every channel (alpha included) by m / 255, rounded.
constexpr uint32_t ScalePixel(uint32_t p, uint32_t m) {
  uint32_t rb = (p & 0x00FF00FF) * m + 0x00800080;
  rb = ((rb + ((rb >> 8) & 0x00FF00FF)) >> 8) & 0x00FF00FF;
  uint32_t ag = ((p >> 8) & 0x00FF00FF) * m + 0x00800080;
  ag = (ag + ((ag >> 8) & 0x00FF00FF)) & 0xFF00FF00;
  return rb | ag;
}

// Per channel (p(255 - w) + qw) / 255, rounded once, for a weight 0-255.
constexpr uint32_t LerpPixel(uint32_t p, uint32_t q, uint32_t w) {
  const uint32_t v = 255 - w;
  uint32_t rb = (p & 0x00FF00FF) * v + (q & 0x00FF00FF) * w + 0x00800080;
  rb = ((rb + ((rb >> 8) & 0x00FF00FF)) >> 8) & 0x00FF00FF;
  uint32_t ag = ((p >> 8) & 0x00FF00FF) * v + ((q >> 8) & 0x00FF00FF) * w + 0x00800080;
  ag = (ag + ((ag >> 8) & 0x00FF00FF)) & 0xFF00FF00;
  return rb | ag;
}

// Per channel (p(256 - f) + qf) >> 8 for f of 256: the filtering samplers' interpolation.
constexpr uint32_t LerpFloor(uint32_t p, uint32_t q, uint32_t f) {
  const uint32_t g = 256 - f;
  const uint32_t rb = (((p & 0x00FF00FF) * g + (q & 0x00FF00FF) * f) >> 8) & 0x00FF00FF;
  const uint32_t ag = (((p >> 8) & 0x00FF00FF) * g + ((q >> 8) & 0x00FF00FF) * f) & 0xFF00FF00;
  return rb | ag;
}

constexpr uint32_t PremultiplyArgb(uint32_t straight) {
  const uint32_t a = AlphaOf(straight);
  if (a == 255) return straight;
  return (ScalePixel(straight | 0xFF000000, a) & 0x00FFFFFF) | (a << 24);
}

// Straight colour of a premultiplied pixel; a transparent pixel gives 0.
constexpr uint32_t UnpremultiplyArgb(uint32_t p) {
  const uint32_t a = AlphaOf(p);
  if (a == 255) return p;
  if (a == 0) return 0;
  auto un = [a](uint32_t c) { return (c * 255 + a / 2) / a; };
  const uint32_t r = un(Channel(p, kRedShift));
  const uint32_t g = un(Channel(p, kGreenShift));
  const uint32_t b = un(Channel(p, kBlueShift));
  return PackArgb(a, r > 255 ? 255 : r, g > 255 ? 255 : g, b > 255 ? 255 : b);
}

// Luminance 0-255 of a straight colour (weights 77, 151, 28 of 256).
constexpr uint32_t Luminance(uint32_t straight) {
  return (Channel(straight, kRedShift) * 77 + Channel(straight, kGreenShift) * 151 +
          Channel(straight, kBlueShift) * 28 + 128) >>
         8;
}

// A pixel-position noise 0-254, fixed per position, for dissolving.
constexpr uint32_t PositionNoise(int32_t x, int32_t y) {
  uint32_t h = static_cast<uint32_t>(x) * 0x9E3779B1u ^ static_cast<uint32_t>(y) * 0x85EBCA77u;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  return (h >> 8) % 255;
}

}  // namespace vk2::gfx

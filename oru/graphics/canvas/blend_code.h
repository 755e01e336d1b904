// The fields of a 64-bit blend code (markup's keyword tables fix the field layout; the canvas's
// own bits are in interfaces/graphics/canvas.h).
#pragma once

#include <cstdint>

namespace vk2::gfx {

enum ChannelBits : uint32_t {
  kChannelAlpha = 1,
  kChannelRed = 2,
  kChannelGreen = 4,
  kChannelBlue = 8,
  kChannelAll = 0xF,
};

// Operation byte (bits 8-15).
enum BlendOp : uint32_t {
  kOpCopy = 0x00,
  kOpOr = 0x01,
  kOpAnd = 0x02,
  kOpNand = 0x03,
  kOpNor = 0x04,
  kOpXor = 0x05,
  kOpAndNotDst = 0x06,
  kOpAndNotSrc = 0x07,
  kOpSubSrc = 0x08,
  kOpSubDst = 0x09,
  kOpAdd = 0x0A,
  kOpSatSubSrc = 0x0B,
  kOpSatSubDst = 0x0C,
  kOpDifference = 0x0D,
  kOpSatAdd = 0x0E,
  kOpColorize = 0x0F,
  kOpColorize2x = 0x10,
  kOpInvColorize = 0x11,
  kOpInvColorize2x = 0x12,
  kOpNormColorize = 0x13,
  kOpInvNormColorize = 0x14,
  kOpMultiply = 0x15,
  kOpScreen = 0x16,
  kOpOverlay = 0x17,
  kOpSoftLight = 0x18,
  kOpHardLight = 0x19,
  kOpColorDodge = 0x1A,
  kOpColorBurn = 0x1B,
  kOpDarken = 0x1C,
  kOpLighten = 0x1D,
  kOpExclusion = 0x1E,
  kOpCount = 0x1F,
};

// Where an alpha factor comes from (source: bits 16-17, destination: bits 24-25).
enum AlphaFrom : uint32_t {
  kAlphaNone = 0,
  kAlphaChannel = 1,
  kAlphaLum = 2,
  kAlphaLumTimesAlpha = 3
};

// How the source and destination factors meet (bits 32-34).
enum AlphaCombine : uint32_t {
  kCombineMul = 0,
  kCombineAdd = 1,
  kCombineAvg = 2,
  kCombineSubDst = 4
};

// How the operation's result meets the destination (bits 40-43).
enum BlendMode : uint32_t {
  kModeInterp = 0,
  kModeLayer = 1,  // layer compositing (the PS_ keyword family)
  kModeSatAdd = 2,
  kModeReplace = 3,
  kModeDissolve = 4,
};

// Canvas-private operations: a code without channels carries one of these in its operation byte.
enum PrivateOp : uint32_t { kPrivateCrossFade = 0x12 };

struct BlendFields {
  uint32_t channels = kChannelAll;
  uint32_t op = kOpCopy;
  uint32_t srcAlpha = kAlphaNone;
  bool srcInvert = false;
  uint32_t dstAlpha = kAlphaNone;
  bool dstInvert = false;
  uint32_t combine = kCombineMul;
  bool alphaInvert = false;
  uint32_t mode = kModeInterp;
  bool opacity = false;
  bool bilinear = false;
  bool rotateTile = false;
  bool dither = false;
  bool fourPointPlain = false;
};

constexpr BlendFields DecodeBlendCode(uint64_t code) {
  BlendFields f;
  f.channels = static_cast<uint32_t>(code & 0xF);
  f.op = static_cast<uint32_t>((code >> 8) & 0xFF);
  f.srcAlpha = static_cast<uint32_t>((code >> 16) & 0x3);
  f.srcInvert = (code >> 23) & 1;
  f.dstAlpha = static_cast<uint32_t>((code >> 24) & 0x3);
  f.dstInvert = (code >> 31) & 1;
  f.combine = static_cast<uint32_t>((code >> 32) & 0x7);
  f.alphaInvert = (code >> 39) & 1;
  f.mode = static_cast<uint32_t>((code >> 40) & 0xF);
  f.opacity = (code >> 44) & 1;
  f.bilinear = (code >> 48) & 1;
  f.rotateTile = (code >> 49) & 1;
  f.dither = (code >> 56) & 1;
  f.fourPointPlain = (code >> 57) & 1;
  return f;
}

}  // namespace vk2::gfx

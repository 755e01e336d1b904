// The whole state of one conversion specification, kept in one 32-bit word as the formatter
// reads it character by character. Width and precision are 10-bit fields, so values of 1024 or
// more wrap, and a negative "*" width wraps through the field instead of meaning left-justify.
#pragma once

#include <cstdint>

namespace vk2::format_detail {

class SpecState {
 public:
  enum Flag : uint32_t {
    kActive = 1u << 0,     // inside a specification, after "%"
    kLeft = 1u << 1,       // "-"
    kPlus = 1u << 2,       // "+"
    kZero = 1u << 3,       // "0"
    kBlank = 1u << 4,      // " "
    kAlternate = 1u << 5,  // "#"
    kPrecision = 1u << 6,  // "." seen
  };
  enum Size : uint32_t { kSizeNone = 0, kSizeShort = 1, kSizeLong = 2 };
  enum Phase : uint32_t { kPhaseNone = 0, kPhaseWidth = 1, kPhasePrecision = 2, kPhaseSize = 3 };

  void Begin() { word_ = kActive; }
  void End() { word_ = 0; }
  bool Active() const { return Has(kActive); }

  bool Has(Flag f) const { return (word_ & f) != 0; }
  void Set(Flag f) { word_ |= f; }

  uint32_t Width() const { return Field(kWidthShift); }
  uint32_t Precision() const { return Field(kPrecisionShift); }
  void SetWidth(uint32_t v) { SetField(kWidthShift, v); }
  void SetPrecision(uint32_t v) { SetField(kPrecisionShift, v); }

  Size GetSize() const { return static_cast<Size>((word_ >> kSizeShift) & 3u); }
  void SetSize(Size s) { word_ = (word_ & ~(3u << kSizeShift)) | (s << kSizeShift); }
  Phase GetPhase() const { return static_cast<Phase>((word_ >> kPhaseShift) & 3u); }
  void SetPhase(Phase p) { word_ = (word_ & ~(3u << kPhaseShift)) | (p << kPhaseShift); }

  uint32_t Word() const { return word_; }

 private:
  static constexpr uint32_t kFieldMask = 1023u;
  static constexpr int kWidthShift = 7;
  static constexpr int kPrecisionShift = 17;
  static constexpr int kSizeShift = 27;
  static constexpr int kPhaseShift = 29;

  uint32_t Field(int shift) const { return (word_ >> shift) & kFieldMask; }
  void SetField(int shift, uint32_t v) {
    word_ = (word_ & ~(kFieldMask << shift)) | ((v & kFieldMask) << shift);
  }

  uint32_t word_ = 0;
};

}  // namespace vk2::format_detail

// `ItemInfo`: the record by which a playlist entry travels through the media core. Every
// optional member carries a presence flag; a member whose flag is clear means nothing, whatever
// it holds, so readers and writers test the flag, never the member.
#pragma once

#include <cstdint>

#include "foundation/containers/tarray.h"
#include "foundation/text/tstring.h"

namespace vk2 {

struct ItemToken {
  TString name;
  TString value;
};

enum DurationType : uint32_t {
  kDurationNone = 0,
  kDurationEstimate = 1,
  kDurationVerified = 2,
  kDurationUnknown = 3,
  kDurationInfinite = 4,
};

enum ScanCompleteness : uint32_t {
  kScanNone = 0,
  kScanInadvisable = 1,
  kScanBasic = 2,
  kScanComplete = 3,
  kScanUnreadable = 4,
};

// Presence flags of the flag word.
enum ItemFlags : uint32_t {
  kUrlPresent = 0x8,
  kTitlePresent = 0x10,
  kAuthorPresent = 0x20,
  kDurationPresent = 0x40,
  kDurationTypePresent = 0x80,
  kIdPresent = 0x100,
  kTokensPresent = 0x200,
  kScanPresent = 0x400,
};

struct ItemInfo {
  // The three bit groups of the flag word; bits outside them belong to whoever holds the record.
  static constexpr uint32_t kDurationTypeMask = 0x7;
  static constexpr uint32_t kPresenceMask = 0xFF8;  // bits 3-11
  static constexpr uint32_t kScanShift = 12;
  static constexpr uint32_t kScanMask = 0x7000;

  ItemInfo() = default;
  ItemInfo(const ItemInfo& other) { *this = other; }
  ItemInfo(ItemInfo&& other) noexcept = default;
  // Copies every member, the three bit groups and the extra bit; other bits of this record's
  // flag word stay.
  ItemInfo& operator=(const ItemInfo& other);
  ItemInfo& operator=(ItemInfo&& other) noexcept;

  uint32_t Presence() const { return flags & kPresenceMask; }
  bool Has(uint32_t flag) const { return (flags & flag) != 0; }
  void Set(uint32_t flag) { flags |= flag; }
  void Clear(uint32_t flag) { flags &= ~flag; }
  // Bits 3-11 only: what a reader does before each entry of a file.
  void ClearPresence() { flags &= ~kPresenceMask; }

  uint32_t GetDurationType() const { return flags & kDurationTypeMask; }
  void SetDurationType(uint32_t type) {
    flags = (flags & ~kDurationTypeMask) | (type & kDurationTypeMask);
  }
  uint32_t GetScan() const { return (flags & kScanMask) >> kScanShift; }
  void SetScan(uint32_t scan) { flags = (flags & ~kScanMask) | ((scan << kScanShift) & kScanMask); }

  // Convenience setters that also raise the member's flag.
  void SetUrl(const TString& value) { url = value, Set(kUrlPresent); }
  void SetTitle(const TString& value) { title = value, Set(kTitlePresent); }
  void SetAuthor(const TString& value) { author = value, Set(kAuthorPresent); }
  void SetDuration(float seconds, uint32_t type) {
    duration = seconds;
    SetDurationType(type);
    Set(kDurationPresent | kDurationTypePresent);
  }
  // The value of the first token named `name` (ASCII case folded), or null.
  const TString* FindToken(const char16_t* name) const;

  uint32_t id = 0;
  uint32_t revision = 0;
  TString url;
  TString title;
  TString author;
  float duration = 0.0f;
  TArray<ItemToken> tokens;
  uint32_t flags = 0;
  // Kept with the record; the playlist uses it as the "removed" mark of its stored items.
  bool extra = false;
};

// The array the playlist-file readers fill and the writers consume.
using ItemInfoArray = TArray<ItemInfo>;

// True when both records carry the same members with the same values (presence, the three
// strings, duration and its type, tokens in order, scan completeness; not the id or revision).
bool SameItemContent(const ItemInfo& a, const ItemInfo& b);

}  // namespace vk2

#include "core/playlist/item_info.h"

#include <utility>

namespace vk2 {
namespace {

constexpr uint32_t kCopiedBits =
    ItemInfo::kDurationTypeMask | ItemInfo::kPresenceMask | ItemInfo::kScanMask;

}  // namespace

ItemInfo& ItemInfo::operator=(const ItemInfo& other) {
  if (this == &other) return *this;
  id = other.id;
  revision = other.revision;
  url = other.url;
  title = other.title;
  author = other.author;
  duration = other.duration;
  tokens = other.tokens;
  flags = (flags & ~kCopiedBits) | (other.flags & kCopiedBits);
  extra = other.extra;
  return *this;
}

ItemInfo& ItemInfo::operator=(ItemInfo&& other) noexcept {
  if (this == &other) return *this;
  id = other.id;
  revision = other.revision;
  url = std::move(other.url);
  title = std::move(other.title);
  author = std::move(other.author);
  duration = other.duration;
  tokens = std::move(other.tokens);
  flags = (flags & ~kCopiedBits) | (other.flags & kCopiedBits);
  extra = other.extra;
  return *this;
}

const TString* ItemInfo::FindToken(const char16_t* name) const {
  for (const ItemToken& token : tokens) {
    if (token.name.Equals(name, false)) return &token.value;
  }
  return nullptr;
}

bool SameItemContent(const ItemInfo& a, const ItemInfo& b) {
  const uint32_t presence = a.Presence() & ~kIdPresent;
  if (presence != (b.Presence() & ~kIdPresent)) return false;
  if (a.Has(kUrlPresent) && a.url != b.url) return false;
  if (a.Has(kTitlePresent) && a.title != b.title) return false;
  if (a.Has(kAuthorPresent) && a.author != b.author) return false;
  if (a.Has(kDurationPresent) && a.duration != b.duration) return false;
  if (a.Has(kDurationTypePresent) && a.GetDurationType() != b.GetDurationType()) return false;
  if (a.Has(kScanPresent) && a.GetScan() != b.GetScan()) return false;
  if (a.Has(kTokensPresent)) {
    if (a.tokens.Count() != b.tokens.Count()) return false;
    for (uint32_t i = 0; i < a.tokens.Count(); ++i) {
      if (a.tokens[i].name != b.tokens[i].name || a.tokens[i].value != b.tokens[i].value)
        return false;
    }
  }
  return true;
}

}  // namespace vk2

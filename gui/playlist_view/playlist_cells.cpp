#include "gui/playlist_view/playlist_cells.h"

#include <cmath>

namespace vk2::gui {

TString DurationText(double seconds) {
  const double rounded = seconds + 0.5;
  // Out-of-range durations would overflow the conversion; clamp them to what the text can show.
  const double clamped = std::isfinite(rounded) ? std::fmin(std::fmax(rounded, 0.0), 2.0e9) : 0.0;
  const auto n = static_cast<int32_t>(std::trunc(clamped));
  if (rounded < 3600.0) return TString::Format(u"%02d:%02d", n / 60, n % 60);
  return TString::Format(u"%d:%02d:%02d", n / 3600, (n / 60) % 60, n % 60);
}

TString ItemNameText(const ItemInfo& item) {
  if (item.Has(kTitlePresent) && !item.title.IsEmpty()) return item.title;
  const char16_t* url = item.url.c_str();
  int32_t cut = -1;
  for (int32_t i = 0; url[i]; ++i) {
    if (url[i] == u'\\' || url[i] == u'/') cut = i;
  }
  return TString(url + cut + 1);
}

namespace {

TString TimeText(const ItemInfo& item) {
  if (!item.Has(kDurationTypePresent)) return TString();
  switch (item.GetDurationType()) {
    case kDurationEstimate:
      if (!item.Has(kDurationPresent)) return TString();
      return TString::Format(u"~%s", DurationText(item.duration));
    case kDurationVerified:
      if (!item.Has(kDurationPresent)) return TString();
      return DurationText(item.duration);
    case kDurationInfinite:
      return TString(u"infinite");
    default:
      return TString();
  }
}

}  // namespace

TString CellText(const ItemInfo* item, const TString& column, int32_t index) {
  if (column == u"#") return TString::Format(u"%d", index + 1);
  if (!item) return TString();
  if (column == u"Name") return ItemNameText(*item);
  if (column == u"Author") return item->Has(kAuthorPresent) ? item->author : TString();
  if (column == u"Genre") {
    if (!item->Has(kTokensPresent)) return TString();
    const TString* genre = item->FindToken(u"genre");
    return genre ? *genre : TString();
  }
  if (column == u"Time") return TimeText(*item);
  return TString();
}

}  // namespace vk2::gui

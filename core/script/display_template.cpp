#include "core/script/display_template.h"

#include <cmath>
#include <vector>

#include "foundation/text/number_parse.h"

namespace vk2 {
namespace {

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t';
}

// A conditional's value: a number's value, or for any other text whether it is non-empty, so
// that "%?(title)" asks whether there is a title.
bool IsTrue(const TString& value) {
  uint32_t number = 0;
  if (ParseUnsignedText(value.c_str(), &number) > 0) return number != 0;
  return !value.IsEmpty();
}

bool StartsWithNoCase(const TString& text, const char16_t* prefix) {
  const TString head(prefix);
  return text.Length() >= head.Length() &&
         text.Equals(head.c_str(), false, static_cast<int32_t>(head.Length()));
}

bool IsStreamingUrl(const TString& url) {
  return StartsWithNoCase(url, u"http://") || StartsWithNoCase(url, u"ftp://");
}

TString FileNamePart(const TString& url) {
  const char16_t* text = url.c_str();
  int32_t start = 0;
  for (int32_t i = 0; text[i]; ++i) {
    if (text[i] == u'/' || text[i] == u'\\') start = i + 1;
  }
  return url.Mid(start, -1);
}

bool LowerFirst(const TString& field) {
  return !field.IsEmpty() && field[0] >= u'a' && field[0] <= u'z';
}

// "01:15" style (short) or "1m15s" style.
TString FormatDuration(double seconds, bool shortStyle) {
  const int32_t total = seconds > 0 ? static_cast<int32_t>(seconds) : 0;
  const int32_t h = total / 3600, m = total / 60 % 60, s = total % 60;
  if (shortStyle) {
    if (total < 3600) return TString::Format(u"%02d:%02d", total / 60, s);
    return TString::Format(u"%d:%02d:%02d", h, m, s);
  }
  if (total < 60) return TString::Format(u"%02ds", s);
  if (total < 3600) return TString::Format(u"%dm%02ds", total / 60, s);
  return TString::Format(u"%dh%02dm%02ds", h, m, s);
}

}  // namespace

bool ExpandTemplate(const TString& text, const TemplateResolver& resolve, TString* out) {
  const char16_t* t = text.c_str();
  const uint32_t length = text.Length();
  TString result;
  std::vector<uint8_t> conditions;  // 1 when the field was false
  std::vector<uint8_t> branches;    // 0 then-part, 1 else-part
  // Text shows only when every open conditional is in its taken branch: a conditional nested
  // in a branch not taken shows nothing, whatever its own value.
  auto allowed = [&] {
    for (size_t k = 0; k < conditions.size(); ++k) {
      if (branches[k] != conditions[k]) return false;
    }
    return true;
  };
  uint32_t literal = 0;
  auto flush = [&](uint32_t end) {
    if (allowed() && end > literal)
      result.AppendPart(t + literal, static_cast<int32_t>(end - literal));
  };
  uint32_t i = 0;
  while (i < length) {
    const char16_t c = t[i];
    if (c == u'\t') {
      flush(i);
      literal = ++i;
      continue;
    }
    if (c == u'}' && !conditions.empty()) {
      // Literal text before a closing brace is dropped.
      if (branches.back() == 0 && i + 1 < length && t[i + 1] == u'{') {
        branches.back() = 1;
        i += 2;
      } else {
        conditions.pop_back();
        branches.pop_back();
        ++i;
      }
      literal = i;
      continue;
    }
    if (c != u'%') {
      ++i;
      continue;
    }
    flush(i);
    ++i;
    if (i < length && (t[i] == u'{' || t[i] == u'}')) {
      if (allowed()) result += t[i];
      literal = ++i;
      continue;
    }
    const bool conditional = i < length && t[i] == u'?';
    if (conditional) ++i;
    while (i < length && IsBlank(t[i]))
      ++i;
    if (i >= length || t[i] != u'(') return false;
    const uint32_t nameStart = ++i;
    while (i < length && t[i] != u')')
      ++i;
    if (i >= length) return false;
    const TString field =
        text.Mid(static_cast<int32_t>(nameStart), static_cast<int32_t>(i - nameStart));
    ++i;
    if (!conditional) {
      if (allowed()) result += resolve(field);
      literal = i;
      continue;
    }
    conditions.push_back(IsTrue(resolve(field)) ? 0 : 1);
    branches.push_back(0);
    while (i < length && IsBlank(t[i]))
      ++i;
    if (i >= length || t[i] != u'{') return false;
    literal = ++i;
  }
  if (!conditions.empty()) return false;
  flush(length);
  *out = result;
  return true;
}

TString ResolveSongField(const PlayerInfo& info, const TString& field) {
  const bool none = info.currentId == 0;
  const bool inserted = info.currentId == kInsertedAudioId;
  const ItemInfo& item = info.item;
  const bool stopped = (info.state & kPlayerStateMask) == 0;
  const bool streaming = !none && !inserted && IsStreamingUrl(item.url);
  if (field.Equals(u"method", false)) {
    if (none) return TString(u"Stopped");
    const bool lower = LowerFirst(field);
    if (streaming) return TString(lower ? u"streaming" : u"Streaming");
    return TString(lower ? u"playing" : u"Playing");
  }
  if (field.Equals(u"streaming", false)) return streaming ? TString(u"true") : TString();
  if (field.Equals(u"filename", false)) {
    return none || inserted ? TString(u"no file") : FileNamePart(item.url);
  }
  if (field.Equals(u"path", false)) {
    if (none) return TString(u"no file");
    if (inserted) return TString(u"inserted audio");
    if (streaming) return item.url;
    const TString scheme(u"://");
    for (uint32_t k = 0; k + 3 <= item.url.Length(); ++k) {
      if (item.url.Mid(static_cast<int32_t>(k), 3) == scheme) {
        return item.url.Mid(static_cast<int32_t>(k + 3), -1);
      }
    }
    return item.url;
  }
  if (field.Equals(u"name", false)) {
    if (none) return TString(u"no name");
    if (inserted) return TString(u"inserted audio");
    return streaming ? item.url : FileNamePart(item.url);
  }
  if (field.Equals(u"url", false)) return none || inserted ? TString(u"no url") : item.url;
  // A field the item does not carry is empty, so that a conditional on it is false.
  if (field.Equals(u"author", false)) {
    if (none) return TString(u"no author");
    return inserted || !item.Has(kAuthorPresent) ? TString() : item.author;
  }
  if (field.Equals(u"title", false)) {
    if (none) return TString(u"no title");
    if (inserted) return TString(u"inserted audio");
    return item.Has(kTitlePresent) ? item.title : TString();
  }
  if (field.Equals(u"time", false)) {
    return stopped ? TString(u"<stopped>") : FormatDuration(info.time, LowerFirst(field));
  }
  if (field.Equals(u"length", false)) {
    if (none || inserted) return TString(LowerFirst(field) ? u"00:00" : u"00s");
    return FormatDuration(item.duration, LowerFirst(field));
  }
  if (field.Equals(u"index", false)) {
    const auto index = static_cast<int32_t>(info.index);
    if (!LowerFirst(field)) return TString::Format(u"%d", index);
    const uint32_t n = info.count;
    const char16_t* format = n < 10 ? u"%01d" : n < 100 ? u"%02d" : n < 1000 ? u"%03d" : u"%04d";
    return TString::Format(format, index);
  }
  if (field.Equals(u"number", false)) {
    return TString::Format(u"%d", static_cast<int32_t>(info.count));
  }
  if (field.Equals(u"state", false)) {
    constexpr const char16_t* kLower[] = {u"stopped", u"playing", u"paused", u"unknown"};
    constexpr const char16_t* kUpper[] = {u"Stopped", u"Playing", u"Paused", u"Unknown"};
    const uint32_t state = info.state & kPlayerStateMask;
    return TString(LowerFirst(field) ? kLower[state] : kUpper[state]);
  }
  if (stopped || none) return TString();
  const TString* token = item.FindToken(field.c_str());
  return token ? *token : TString();
}

TString ResolveTimeField(const TimeContext& time, const TString& field) {
  const char16_t* name = field.c_str();
  bool zero = false, wrap = false;
  char16_t width = 0;
  if (*name == u'0') zero = true, ++name;
  if (*name >= u'1' && *name <= u'9') width = *name++;
  if (*name == u'%') wrap = true, ++name;
  const TString rest(name);
  auto number = [&](int64_t value, bool milli) {
    TString f(u"%");
    if (milli) f += u'.';
    if (zero) f += u'0';
    if (width) f += width;
    f += u'd';
    return TString::Format(f.c_str(), static_cast<int32_t>(value));
  };
  const double seconds = time.seconds > 0 && std::isfinite(time.seconds) ? time.seconds : 0.0;
  const auto whole = static_cast<int64_t>(seconds);
  const int64_t days = whole / 86400;
  const int64_t hours = wrap ? whole / 3600 % 24 : whole / 3600;
  const int64_t minutes = wrap ? whole / 60 % 60 : whole / 60;
  const int64_t secs = wrap ? whole % 60 : whole;
  if (rest.Equals(u"days", false)) return number(days, false);
  if (rest.Equals(u"hours", false)) return number(hours, false);
  if (rest.Equals(u"minutes", false)) return number(minutes, false);
  if (rest.Equals(u"seconds", false)) return number(secs, false);
  if (rest.Equals(u"milli", false)) {
    return number(static_cast<int64_t>(seconds * 1000.0) % 1000, true);
  }
  auto several = [](int64_t count) { return TString(count == 1 ? u"0" : u"1"); };
  if (rest.Equals(u"multipledays", false)) return several(days);
  if (rest.Equals(u"multiplehours", false)) return several(hours);
  if (rest.Equals(u"multipleminutes", false)) return several(minutes);
  if (rest.Equals(u"multipleseconds", false)) return several(secs);
  if (rest.Equals(u"classchar", false)) {
    TString c;
    c += time.classChar;
    return c;
  }
  auto flag = [](bool on) { return TString(on ? u"1" : u"0"); };
  if (rest.Equals(u"playtime", false)) return flag(time.classChar == kPlayTimeChar);
  if (rest.Equals(u"timeremaining", false)) return flag(time.classChar == kTimeRemainingChar);
  if (rest.Equals(u"totaltime", false)) return flag(time.classChar == kTotalTimeChar);
  if (rest.Equals(u"estimate", false)) return flag(time.durationKind == kDurationEstimate);
  if (rest.Equals(u"infinite", false)) return flag(time.durationKind == kDurationInfinite);
  if (rest.Equals(u"known", false)) return flag(time.durationKind != kDurationUnknown);
  return TString();
}

TString DefaultDisplayTemplate() {
  return TString(u"%(Method): %?(title){\t%?(author){%(author) / %(title)}{%(title)}\t}{%(name)}");
}

TString DefaultTimeTemplate() {
  return TString(u"%(ClassChar)%(02Hours):%(02%Minutes):%(02%Seconds):%(02Milli)");
}

// Finite totals show as times and infinite ones as "infinite"; every literal that ends a
// branch is closed with a tab, since text right before a closing brace is dropped.
TString DefaultTotalTimeTemplate() {
  return TString(
      u"%?(Known){%?(Infinite){infinite\t}{%?(Estimate){~\t}%?(Days){%(Days) day%?(MultipleDays){"
      u"s\t}, %(%Hours):%(02%Minutes)}{%?(Hours){%(Hours):%(02%Minutes):%(02%Seconds)}{%(Minutes):"
      u"%(02%Seconds)}}}}{unknown\t}");
}

}  // namespace vk2

#include <cmath>

#include "markup/parse/identifiers.h"
#include "markup/parse/scalar_parsers.h"
#include "markup/parse/value_parsers.h"
#include "markup/report/error_sink.h"
#include "markup/resources/image_source.h"

namespace vk2::markup {
namespace {

size_t SkipBlanks(std::u16string_view text, size_t at) {
  while (at < text.size() && IsMarkupBlank(text[at]))
    ++at;
  return at;
}

// The first word: after blanks, up to a blank or '@'. `start` receives where it begins.
std::u16string_view FirstWord(std::u16string_view text, size_t* start) {
  size_t begin = SkipBlanks(text, 0);
  size_t end = begin;
  while (end < text.size() && !IsMarkupBlank(text[end]) && text[end] != u'@')
    ++end;
  *start = begin;
  return text.substr(begin, end - begin);
}

void ReportIf(bool report, const Element* element, const TString& message) {
  if (report && element) ReportMmlError(element, message);
}

// Reads up to `count` numbers; fills missing ones with 0 and reports them (or fails without an
// element or with reporting off). Returns consumed, 0 when the first did not parse, -1 on a
// refused partial list.
int32_t ReadNumbers(std::u16string_view text, double* values, int32_t count, bool report,
                    const Element* element, const char16_t* format, const char16_t* what) {
  size_t at = 0;
  for (int32_t i = 0; i < count; ++i) {
    double v = 0;
    int32_t used = ParseMarkupNumber(text.substr(at), &v);
    if (used == 0) {
      if (i == 0) return 0;
      if (!element || !report) return -1;
      for (int32_t j = i; j < count; ++j) {
        values[j] = 0;
        if (what)
          ReportMmlError(element, TString::Format(format, TString(what), j + 1));
        else
          ReportMmlError(element, TString::Format(format, j + 1));
      }
      return static_cast<int32_t>(at);
    }
    values[i] = v;
    at += static_cast<size_t>(used);
  }
  return static_cast<int32_t>(at);
}

// After `consumed`: blanks, '@' and another expression parsed by `parseOther` (returning its
// consumed). The total includes the '@' part only when it parsed.
template <class ParseOther>
int32_t ApplySubtraction(std::u16string_view text, int32_t consumed, ParseOther parseOther) {
  size_t at = SkipBlanks(text, static_cast<size_t>(consumed));
  if (at >= text.size() || text[at] != u'@') return consumed;
  int32_t used = parseOther(text.substr(at + 1));
  return used > 0 ? static_cast<int32_t>(at + 1) + used : consumed;
}

}  // namespace

int32_t ParsePointOrSize(bool isSize, std::u16string_view text, const Element* element, PointD* out,
                         bool report, MResourceFile* package, NamedCollections* collections,
                         int32_t depth) {
  if (text.empty()) return 0;
  const char16_t* lower = isSize ? u"size" : u"point";
  const char16_t* upper = isSize ? u"Size" : u"Point";
  if (depth > kMaxNameDepth) {
    ReportIf(report, element,
             TString::Format(u"%s \"%s\" is a circular reference.", TString(upper), TString(text)));
    return 0;
  }
  PointD value;
  double numbers[2] = {0, 0};
  int32_t consumed =
      ReadNumbers(text, numbers, 2, report, element,
                  u"Unable to get numeric value for %s value #%d using '0' instead.", lower);
  if (consumed < 0) return 0;
  if (consumed > 0) {
    value = {numbers[0], numbers[1]};
  } else {
    size_t start = 0;
    std::u16string_view word = FirstWord(text, &start);
    if (word.empty()) return 0;
    ImageSourceResult image;
    if (package && LooksLikeImageSource(word) &&
        LoadImageSource(word, package, element, ImageSourceMode::kBounds, false, &image)) {
      value = isSize ? PointD{double(image.bounds.Width()), double(image.bounds.Height())}
                     : PointD{double(image.bounds.left), double(image.bounds.top)};
    } else if (element && *element) {
      TString name(word);
      if (!IsValidIdentifier(word)) {
        ReportIf(
            report, element,
            TString::Format(u"%s \"%s\" is not a valid name identifier.\n", TString(upper), name));
        return 0;
      }
      PointD point;
      RectD rect;
      if (Element named = FindNamedElement(*element, lower, u"name", word)) {
        if (!ParsePointElement(named, &point, report, package, collections, depth + 1)) {
          ReportIf(report, element, TString::Format(u"Bad %s \"%s\".", TString(lower), name));
          return 0;
        }
        value = point;
      } else if (Element namedRect = FindNamedElement(*element, u"rect", u"name", word)) {
        if (!ParseRectElement(namedRect, &rect, report, package, collections, depth + 1)) {
          ReportIf(report, element, TString::Format(u"Bad rect \"%s\".", name));
          return 0;
        }
        value = isSize ? PointD{rect.Width(), rect.Height()} : PointD{rect.left, rect.top};
      } else if (collections && collections->FindNamedPoint(word, &point)) {
        value = point;
      } else if (collections && collections->FindNamedRect(word, &rect)) {
        value = isSize ? PointD{rect.Width(), rect.Height()} : PointD{rect.left, rect.top};
      } else {
        ReportIf(report, element, TString::Format(u"%s \"%s\" not found.\n", TString(upper), name));
        return 0;
      }
    } else {
      return 0;
    }
    consumed = static_cast<int32_t>(start + word.size());
  }
  PointD other;
  consumed = ApplySubtraction(text, consumed, [&](std::u16string_view rest) {
    return ParsePointOrSize(isSize, rest, element, &other, report, package, collections, depth + 1);
  });
  if (other != PointD{}) value = {value.x - other.x, value.y - other.y};
  if (out) *out = value;
  return consumed;
}

int32_t ParseRect(std::u16string_view text, const Element* element, RectD* out, bool report,
                  MResourceFile* package, NamedCollections* collections, const RectD* fractions,
                  int32_t depth) {
  if (text.empty()) return 0;
  if (depth > kMaxNameDepth) {
    ReportIf(report, element,
             TString::Format(u"Rect \"%s\" is a circular reference.", TString(text)));
    return 0;
  }
  RectD value;
  double numbers[4] = {0, 0, 0, 0};
  int32_t consumed = ReadNumbers(
      text, numbers, 4, report, element,
      u"Unable to get numeric value for rectangle coordinate #%d using '0' instead.", nullptr);
  if (consumed < 0) return 0;
  if (consumed > 0) {
    value = {numbers[0], numbers[1], numbers[2], numbers[3]};
  } else {
    size_t start = 0;
    std::u16string_view word = FirstWord(text, &start);
    if (word.empty()) return 0;
    ImageSourceResult image;
    if (package && LooksLikeImageSource(word) &&
        LoadImageSource(word, package, element, ImageSourceMode::kBounds, false, &image)) {
      value = {double(image.bounds.left), double(image.bounds.top), double(image.bounds.right),
               double(image.bounds.bottom)};
    } else if (element && *element) {
      TString name(word);
      if (!IsValidIdentifier(word)) {
        ReportIf(report, element,
                 TString::Format(u"Rect \"%s\" is not a valid name identifier.\n", name));
        return 0;
      }
      RectD rect;
      if (Element named = FindNamedElement(*element, u"rect", u"name", word)) {
        if (!ParseRectElement(named, &rect, report, package, collections, depth + 1)) {
          ReportIf(report, element, TString::Format(u"Bad rectangle %s.", name));
          return 0;
        }
        value = rect;
      } else if (collections && collections->FindNamedRect(word, &rect)) {
        value = rect;
      } else {
        ReportIf(report, element, TString::Format(u"Rect \"%s\" not found.\n", name));
        return 0;
      }
    } else {
      return 0;
    }
    consumed = static_cast<int32_t>(start + word.size());
  }
  RectD other;
  bool subtracted = false;
  consumed = ApplySubtraction(text, consumed, [&](std::u16string_view rest) {
    int32_t used =
        ParseRect(rest, element, &other, report, package, collections, nullptr, depth + 1);
    subtracted = used > 0;
    return used;
  });
  if (subtracted) {
    value = fractions ? InsetRectByFractions(*fractions, value, other)
                      : RectD{value.left - other.left, value.top - other.top,
                              value.right - other.right, value.bottom - other.bottom};
  }
  if (out) *out = value;
  return consumed;
}

bool ParsePointElement(const Element& element, PointD* out, bool report, MResourceFile* package,
                       NamedCollections* collections, int32_t depth) {
  TString text = element.Text();
  if (!IsNotBlank(text.view())) {
    *out = {element.AttributeNumber(u"x", 0), element.AttributeNumber(u"y", 0)};
    return true;
  }
  Element self = element;
  return ParsePointOrSize(false, text.view(), &self, out, report, package, collections, depth) > 0;
}

bool ParseRectElement(const Element& element, RectD* out, bool report, MResourceFile* package,
                      NamedCollections* collections, int32_t depth) {
  TString text = element.Text();
  if (!IsNotBlank(text.view())) {
    *out = {element.AttributeNumber(u"left", 0), element.AttributeNumber(u"top", 0),
            element.AttributeNumber(u"right", 0), element.AttributeNumber(u"bottom", 0)};
    return true;
  }
  Element self = element;
  return ParseRect(text.view(), &self, out, report, package, collections, nullptr, depth) > 0;
}

bool ParsePointAttribute(const Element& element, const char16_t* attribute, PointD* out,
                         bool report, MResourceFile* package, NamedCollections* collections) {
  TString text = element.Attribute(attribute);
  if (text.IsEmpty()) return false;
  return ParsePointOrSize(false, text.view(), &element, out, report, package, collections) > 0;
}

bool ParseSizeAttribute(const Element& element, const char16_t* attribute, PointD* out, bool report,
                        MResourceFile* package, NamedCollections* collections) {
  TString text = element.Attribute(attribute);
  if (text.IsEmpty()) return false;
  return ParsePointOrSize(true, text.view(), &element, out, report, package, collections) > 0;
}

bool ParseRectAttribute(const Element& element, const char16_t* attribute, RectD* out, bool report,
                        MResourceFile* package, NamedCollections* collections,
                        const RectD* fractions) {
  TString text = element.Attribute(attribute);
  if (text.IsEmpty()) return false;
  return ParseRect(text.view(), &element, out, report, package, collections, fractions) > 0;
}

RectD InsetRectByFractions(const RectD& f, const RectD& a, const RectD& b) {
  double w = b.Width(), h = b.Height();
  return {a.left - std::trunc(b.left + f.left * w), a.top - std::trunc(b.top + f.top * h),
          a.right - std::trunc(b.left + f.right * w), a.bottom - std::trunc(b.top + f.bottom * h)};
}

RectD NegateRectOrigin(const RectD& r) {
  return {0, 0, r.right - r.left, r.bottom - r.top};
}

bool AnchoredRect::Parse(const Element* element, const char16_t* offsetAttribute,
                         const char16_t* fractionAttribute, MResourceFile* package,
                         NamedCollections* collections) {
  offsets = {};
  fractions = {0, 0, 1, 1};
  if (!element || !*element) return false;
  bool hasOffsets = element->HasAttribute(offsetAttribute);
  bool hasFractions = element->HasAttribute(fractionAttribute);
  if (!hasOffsets && !hasFractions) return true;
  fractions = {};
  bool fractionsParsed =
      ParseRectAttribute(*element, fractionAttribute, &fractions, false, package, collections);
  if (!fractionsParsed) fractions = {};
  bool offsetsParsed = ParseRectAttribute(*element, offsetAttribute, &offsets, false, package,
                                          collections, &fractions);
  if (!offsetsParsed) offsets = {};
  return fractionsParsed || offsetsParsed;
}

RectD AnchoredRect::Resolve(const RectD& p) const {
  double w = p.Width(), h = p.Height();
  return {p.left + fractions.left * w + offsets.left, p.top + fractions.top * h + offsets.top,
          p.left + fractions.right * w + offsets.right,
          p.top + fractions.bottom * h + offsets.bottom};
}

bool AnchoredPoint::Parse(const Element* element, const char16_t* pointAttribute,
                          const char16_t* fractionAttribute, MResourceFile* package,
                          NamedCollections* collections) {
  offset = {};
  fraction = {};
  if (!element || !*element) return false;
  bool offsetParsed =
      ParsePointAttribute(*element, pointAttribute, &offset, false, package, collections);
  if (!offsetParsed) offset = {};
  bool fractionParsed =
      ParsePointAttribute(*element, fractionAttribute, &fraction, false, package, collections);
  if (!fractionParsed) fraction = {};
  return offsetParsed || fractionParsed;
}

PointD AnchoredPoint::Resolve(const RectD& p) const {
  return {offset.x + fraction.x * p.Width(), offset.y + fraction.y * p.Height()};
}

}  // namespace vk2::markup

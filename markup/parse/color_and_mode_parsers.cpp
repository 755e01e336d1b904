#include <cmath>
#include <string>

#include "foundation/text/number_parse.h"
#include "markup/parse/identifiers.h"
#include "markup/parse/scalar_parsers.h"
#include "markup/parse/value_parsers.h"
#include "markup/report/error_sink.h"
#include "markup/resources/image_source.h"
#include "markup/services/markup_services.h"

namespace vk2::markup {
namespace {

size_t SkipBlanks(std::u16string_view text, size_t at) {
  while (at < text.size() && IsMarkupBlank(text[at]))
    ++at;
  return at;
}

bool IsHexDigit(char16_t c) {
  return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

uint32_t ChannelMask(char16_t c) {
  switch (c) {
    case u'a':
    case u'A':
      return 0xFF000000u;
    case u'r':
    case u'R':
      return 0x00FF0000u;
    case u'g':
    case u'G':
      return 0x0000FF00u;
    case u'b':
    case u'B':
      return 0x000000FFu;
    default:
      return 0;
  }
}

// One field of the blit code per sub-table, in the order the tables are tried.
struct BlitField {
  KeywordGroup group;
  uint64_t mask;  // 0: the whole code is replaced
};
constexpr BlitField kBlitFields[] = {
    {KeywordGroup::kChannels, kBlitChannelsMask},
    {KeywordGroup::kBlitOperations, kBlitOperationMask},
    {KeywordGroup::kAlphaSource, kBlitAlphaSourceMask},
    {KeywordGroup::kSourceInvert, kBlitSourceInvertMask},
    {KeywordGroup::kAlphaDestination, kBlitAlphaDestinationMask},
    {KeywordGroup::kDestinationInvert, kBlitDestinationInvertMask},
    {KeywordGroup::kAlphaCombine, kBlitAlphaCombineMask},
    {KeywordGroup::kAlphaInvert, kBlitAlphaInvertMask},
    {KeywordGroup::kAlphaBlend, kBlitAlphaBlendMask},
    {KeywordGroup::kLayerModes, 0},
};

TString ResizeMessage(const char16_t* attribute, const TString& value) {
  return TString::Format(
      u"%s = \"%s\"\nA proper \"%s\" is required for 'resize' fillmodes.\n"
      u"Examples: \n\t%s = \"25,25,75,75\"\n\t%s = \"my.psd|%s_resizearea\"\n",
      TString(attribute), value, TString(attribute), TString(attribute), TString(attribute),
      TString(attribute).Mid(0, TString(attribute).FindChar(u'_')));
}

RectI32 Truncated(const RectD& r) {
  return {static_cast<int32_t>(r.left), static_cast<int32_t>(r.top), static_cast<int32_t>(r.right),
          static_cast<int32_t>(r.bottom)};
}

}  // namespace

int32_t ParseColor(std::u16string_view text, uint32_t* out, const Element* element,
                   NamedCollections* collections, int32_t depth) {
  if (depth > kMaxNameDepth) {
    if (element) {
      ReportMmlError(element,
                     TString::Format(u"color \"%s\" is a circular reference.", TString(text)));
    }
    return 0;
  }
  size_t at = SkipBlanks(text, 0);
  uint32_t value = 0;
  if (at < text.size() && text[at] == u'#') {
    size_t end = at + 1;
    while (end < text.size() && IsHexDigit(text[end]))
      ++end;
    if (end == at + 1) return 0;
    std::u16string digits(text.substr(at + 1, end - at - 1));
    ReadUnsigned32(digits.c_str(), 16, &value);
    value |= 0xFF000000u;
    at = end;
  } else if (int32_t used = ParseUnsignedMarkup(text, &value); used > 0) {
    at = static_cast<size_t>(used);
  } else if (element && *element) {
    std::u16string_view rest = text.substr(at);
    size_t length = IdentifierLength(rest);
    if (length == 0) {
      size_t end = 0;
      while (end < rest.size() && !IsMarkupBlank(rest[end]))
        ++end;
      if (end > 0) {
        ReportMmlError(element, TString::Format(u"color \"%s\" is not a valid name identifier.\n",
                                                TString(rest.substr(0, end))));
      }
      return 0;
    }
    std::u16string_view name = rest.substr(0, length);
    if (Element named = FindNamedElement(*element, u"color", u"name", name)) {
      if (ParseColor(named.Text().view(), &value, &named, collections, depth + 1) == 0) return 0;
    } else if (!collections || !collections->FindNamedColor(name, &value)) {
      // Unlike the other rules a missing name is not silent: the colour would vanish unseen.
      ReportMmlError(element, TString::Format(u"color \"%s\" not found.\n", TString(name)));
      return 0;
    }
    at += length;
  } else {
    return 0;
  }
  if (at < text.size() && text[at] == u':') {
    uint32_t keep = 0;
    size_t end = at + 1;
    while (end < text.size() && ChannelMask(text[end]))
      keep |= ChannelMask(text[end++]);
    if (end > at + 1) {
      value &= keep;
      at = end;
    }
  }
  size_t plus = SkipBlanks(text, at);
  if (plus < text.size() && text[plus] == u'+') {
    uint32_t other = 0;
    int32_t used = ParseColor(text.substr(plus + 1), &other, element, collections, depth + 1);
    if (used > 0) {
      value |= other;
      at = plus + 1 + static_cast<size_t>(used);
    }
  }
  if (out) *out = value;
  return static_cast<int32_t>(at);
}

bool ParseBlitMode(std::u16string_view text, uint64_t* out, const Element* element, bool report,
                   uint64_t fallback, MResourceFile* package, NamedCollections* collections) {
  uint64_t code = fallback;
  TArray<TString> tokens;
  int32_t count = SplitMarkupTokens(text, &tokens);
  for (int32_t i = 0; i < count; ++i) {
    const TString& token = tokens[static_cast<uint32_t>(i)];
    bool known = false;
    for (const BlitField& field : kBlitFields) {
      uint64_t found = 0;
      if (!LookupKeyword(Keywords(field.group), token.view(), &found)) continue;
      code = field.mask ? (code & ~field.mask) | (found & field.mask) : found;
      known = true;
      break;
    }
    if (known) continue;
    ImageSourceResult layer;
    if (package && collections &&
        LoadImageSource(text, package, element, ImageSourceMode::kLayerBlitMode, false, &layer)) {
      *out = layer.blitMode;
      return true;
    }
    if (report) {
      if (element && *element) {
        ReportInvalidAttribute(*element, u"blendmode", token, TString(u"COPY"));
      } else {
        TString whole = count > 1 ? TString::Format(u"of \"%s\"", TString(text)) : TString();
        WriteConsole(kConsoleError,
                     TString::Format(u"\"%s\" %s is not valid for blitmode, using default.\n",
                                     token, whole));
      }
    }
    *out = fallback;
    return false;
  }
  *out = code;
  return true;
}

uint64_t ParseBlendModeAttribute(const Element& element, uint64_t fallback, MResourceFile* package,
                                 NamedCollections* collections) {
  if (!element.HasAttribute(u"blendmode")) return fallback;
  uint64_t code = fallback;
  ParseBlitMode(element.Attribute(u"blendmode").view(), &code, &element, true, fallback, package,
                collections);
  return code;
}

int32_t ParseFillMode(const Element& element, RectI32* inner, RectI32* outer, SizeI32* tile,
                      SizeI32 defaultTile, MResourceFile* package, NamedCollections* collections) {
  auto mode = static_cast<int32_t>(
      ParseKeywordAttribute(element, u"fillmode", u"once", Keywords(KeywordGroup::kFillModes)));
  constexpr int32_t kOnce = 0, kTile = 1, kResize = 2, kResizeCornerOnly = 4;
  if (mode >= kResize && mode <= kResizeCornerOnly) {
    RectD innerRect, outerRect;
    for (const char16_t* attribute : {u"inner_rect", u"outer_rect"}) {
      RectD* target = attribute[0] == u'i' ? &innerRect : &outerRect;
      if (!ParseRectAttribute(element, attribute, target, false, package, collections)) {
        ReportMmlError(&element, ResizeMessage(attribute, element.Attribute(attribute)));
        return kOnce;
      }
    }
    RectI32 in = Truncated(innerRect), out = Truncated(outerRect);
    in = {in.left - out.left, in.top - out.top, in.right - out.left, in.bottom - out.top};
    out = {0, 0, out.right - out.left, out.bottom - out.top};
    if (inner) *inner = in;
    if (outer) *outer = out;
  } else if (mode == kTile) {
    PointD size;
    if (tile) {
      *tile = ParseSizeAttribute(element, u"tile_size", &size, false, package, collections)
                  ? SizeI32{static_cast<int32_t>(size.x), static_cast<int32_t>(size.y)}
                  : defaultTile;
    }
  }
  return mode;
}

}  // namespace vk2::markup

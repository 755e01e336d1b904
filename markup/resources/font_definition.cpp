#include "markup/resources/font_definition.h"

#include "markup/keywords/keyword_tables.h"
#include "markup/parse/identifiers.h"
#include "markup/parse/scalar_parsers.h"
#include "markup/parse/value_parsers.h"
#include "markup/report/error_sink.h"
#include "markup/resources/image_source.h"

namespace vk2::markup {

void ApplyFontStyleWord(std::u16string_view word, uint32_t* style, uint32_t* mask) {
  uint64_t code = 0;
  if (!LookupKeyword(Keywords(KeywordGroup::kFontStyles), word, &code)) return;
  auto set = [&](uint32_t bits, uint32_t value) {
    *style = (*style & ~bits) | value;
    *mask |= bits;
  };
  switch (code) {
    case 0x1:  // light
      set(kFontWeightMask, 0);
      break;
    case 0x2:  // normal, medium
      set(kFontWeightMask, 1);
      break;
    case 0x3:  // bold, strong
      set(kFontWeightMask, 2);
      break;
    case 0x4:  // proportional
      set(kFontFixedPitch, 0);
      break;
    case 0x5:  // nonproportional
      set(kFontFixedPitch, kFontFixedPitch);
      break;
    case 0x6:  // serifs
      set(kFontSerif, kFontSerif);
      break;
    case 0x7:  // noserifs
      set(kFontSerif, 0);
      break;
    case 0x8:  // italic
      set(kFontItalic, kFontItalic);
      break;
    case 0x9:  // nonitalic
      set(kFontItalic, 0);
      break;
    case 0xA:  // underline
      set(kFontUnderline, kFontUnderline);
      break;
    case 0xB:  // nonunderline, nounderline
      set(kFontUnderline, 0);
      break;
    case 0xC:  // default
      *style = 1;
      *mask = 0xFFFFFFFFu;
      break;
    default:
      break;
  }
}

bool ParseFontDefinition(FontDefinition* definition, const Element& element, MResourceFile* package,
                         NamedCollections* collections) {
  definition->name = ReadIdentifierAttribute(element, u"name");
  if (definition->name.IsEmpty()) return false;
  definition->raster = element.Attribute(u"type").Equals(u"raster", false);
  if (!definition->raster) {
    definition->face = element.Attribute(u"face");
    TString size = element.Attribute(u"size");
    definition->size = 0;
    ParseIntegerMarkup(size.view(), &definition->size);
    definition->relativeSize =
        size.FindChar(u'+') >= 0 || size.FindChar(u'-') >= 0 || definition->size == 0;
    definition->style = 0;
    definition->styleMask = 0;
    TArray<TString> words;
    int32_t count = SplitMarkupTokens(element.Attribute(u"style").view(), &words);
    for (int32_t i = 0; i < count; ++i)
      ApplyFontStyleWord(words[static_cast<uint32_t>(i)].view(), &definition->style,
                         &definition->styleMask);
    definition->smoothedGiven = element.HasAttribute(u"smoothed");
    if (definition->smoothedGiven) definition->smoothed = element.AttributeBool(u"smoothed", false);
    return true;
  }
  Element glyphList = element.Child(u"glyphlist", 0);
  if (!glyphList) {
    ReportMmlError(&element, TString(u"<glyphlist>  is required for monochrome raster fonts."));
    return false;
  }
  definition->glyphs = glyphList.Text();
  if (definition->glyphs.IsEmpty()) {
    ReportMmlError(&element, TString(u"<glyphlist>  requires a list of glyphs that represent "
                                     u"the contents of the raster image."));
    return false;
  }
  ImageSourceResult source;
  if (LoadImageSource(element.Attribute(u"source").view(), package, &element,
                      ImageSourceMode::kImage, true, &source))
    definition->image = source.image;
  PointD start;
  if (!ParsePointAttribute(element, u"startpixel", &start, true, package, collections)) start = {};
  definition->startX = static_cast<int32_t>(start.x);
  definition->startY = static_cast<int32_t>(start.y);
  definition->tracking = 0;
  ParseIntegerMarkup(element.Attribute(u"tracking").view(), &definition->tracking);
  bool monochrome = true;
  ParseBoolText(element.Attribute(u"monochrome", u"1").view(), &monochrome);
  definition->monochrome = monochrome;
  return true;
}

int32_t BuildFontRecord(const FontDefinition& definition, const FontRecord& base, FontRecord* out) {
  if (!out) return -1;
  FontRecord record;
  if (definition.raster) {
    record.kind = FontRecordKind::kRaster;
    record.image = definition.image;
    record.glyphs = definition.glyphs;
    record.tracking = definition.tracking;
    record.monochrome = definition.monochrome;
    record.startX = definition.startX;
    record.startY = definition.startY;
    *out = std::move(record);
    return 1;
  }
  record.kind = FontRecordKind::kFace;
  if (base.kind == FontRecordKind::kFace) {
    record.face = definition.face.IsEmpty() ? base.face : definition.face;
    record.size = definition.size + (definition.relativeSize ? base.size : 0);
    record.style = (base.style & ~definition.styleMask) | (definition.style & definition.styleMask);
    record.smoothed = definition.smoothedGiven ? definition.smoothed : base.smoothed;
  } else {
    record.face = definition.face;
    record.size = definition.size;
    record.style = definition.style;
    record.smoothed = definition.smoothed;
  }
  *out = std::move(record);
  return 0;
}

}  // namespace vk2::markup

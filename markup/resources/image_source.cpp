#include "markup/resources/image_source.h"

#include <string>

#include "markup/keywords/keyword_tables.h"
#include "markup/report/error_sink.h"
#include "markup/services/markup_services.h"

namespace vk2::markup {
namespace {

constexpr uint32_t Key(const char (&text)[5]) {
  return (uint32_t(uint8_t(text[0])) << 24) | (uint32_t(uint8_t(text[1])) << 16) |
         (uint32_t(uint8_t(text[2])) << 8) | uint32_t(uint8_t(text[3]));
}

struct BlendKeyRow {
  uint32_t key;
  uint32_t lowWord;
};
constexpr BlendKeyRow kBlendKeys[] = {
    {Key("norm"), 0x1000F}, {Key("mul "), 0x1150F}, {Key("lum "), 0x1140F}, {Key("div "), 0x11A0F},
    {Key("smud"), 0x11E0F}, {Key("lite"), 0x11D0F}, {Key("diff"), 0x10D0F}, {Key("dark"), 0x11C0F},
    {Key("scrn"), 0x1160F}, {Key("over"), 0x1170F}, {Key("colr"), 0x1130F}, {Key("hLit"), 0x1190F},
    {Key("sLit"), 0x1180F}, {Key("idiv"), 0x11B0F}};

bool StartsWithNoCase(std::u16string_view text, std::u16string_view prefix) {
  return text.size() >= prefix.size() &&
         TString(text.substr(0, prefix.size())).Equals(TString(prefix), false);
}

std::u16string_view DropResourcePrefix(std::u16string_view text) {
  if (StartsWithNoCase(text, u"res://")) text.remove_prefix(6);
  return text;
}

// The file part ends at a blank, '@' or '|'; the layer name at a blank or '@'.
void SplitSource(std::u16string_view text, std::u16string_view* file, std::u16string_view* layer,
                 bool* hasLayer) {
  size_t end = text.find_first_of(u" @|");
  *file = text.substr(0, end);
  *hasLayer = end != std::u16string_view::npos && text[end] == u'|';
  *layer = std::u16string_view();
  if (*hasLayer) {
    std::u16string_view rest = text.substr(end + 1);
    *layer = rest.substr(0, rest.find_first_of(u" @"));
  }
}

bool IsLayeredFile(std::u16string_view file) {
  return file.size() > 4 && TString(file.substr(file.size() - 4)).Equals(u".psd", false);
}

void Report(bool report, const Element* element, const TString& message) {
  if (report) ReportMmlError(element, message);
}

std::string NarrowName(std::u16string_view name) {
  NarrowString narrow = Utf8(TString(name));
  return std::string(narrow.c_str());
}

bool LoadRaster(std::u16string_view text, MResourceFile* package, const Element* element,
                ImageSourceMode mode, bool report, ImageSourceResult* out) {
  TString whole(text);
  auto notSupported = [&] {
    Report(report, element,
           TString::Format(u"source=\"%s\"\nRaster image \"%s\" is not supported\n", whole, whole));
    return false;
  };
  if (mode == ImageSourceMode::kLayerBlitMode) {
    Report(report, element,
           TString::Format(u"blendmode not supported for given image type: \"%s\"", whole));
    return false;
  }
  if (mode == ImageSourceMode::kOpacity) {
    Report(report, element,
           TString::Format(u"opacity not supported for given image type: \"%s\"", whole));
    return false;
  }
  std::u16string_view name = DropResourcePrefix(text);
  auto service = ImageService();
  if (name.empty() || !service || !package) return notSupported();
  RefPtr<MRasterImage> image;
  if (service->LoadImage(package, NarrowName(name).c_str(), image.Put()) != 0 || !image)
    return notSupported();
  RectI bounds = image->Bounds();
  out->bounds = {0, 0, bounds.Width(), bounds.Height()};
  out->image = std::move(image);
  return true;
}

bool LoadLayered(std::u16string_view text, MResourceFile* package, const Element* element,
                 ImageSourceMode mode, bool report, ImageSourceResult* out) {
  std::u16string_view file, layer;
  bool hasLayer = false;
  SplitSource(DropResourcePrefix(text), &file, &layer, &hasLayer);
  TString fileText(file);
  auto service = ImageService();
  RefPtr<MLayeredImage> document;
  if (!service || !package ||
      service->LoadLayeredImage(package, NarrowName(file).c_str(), document.Put()) != 0 ||
      !document) {
    Report(report, element, TString::Format(u"Could not load \"%s\". \n", fileText));
    return false;
  }
  if (!hasLayer || layer.empty()) {
    int32_t width = 0, height = 0;
    document->GetSize(&width, &height);
    switch (mode) {
      case ImageSourceMode::kBounds:
        out->bounds = {0, 0, width, height};
        return true;
      case ImageSourceMode::kImage: {
        int32_t r = document->Render(kMergedLayer, out->image.Put());
        if (r == 0 && out->image) {
          out->bounds = {0, 0, width, height};
          return true;
        }
        TString reason = ErrorText(r);
        Report(report, element,
               reason.IsEmpty()
                   ? TString::Format(u"Could not load \"Background\". \nUnknown error: %x", r)
                   : TString::Format(u"Could not load \"Background\". \nReason: %s\n", reason));
        return false;
      }
      case ImageSourceMode::kLayerBlitMode:
        Report(report, element, TString(u"Background layers do not have blendmodes."));
        return false;
      case ImageSourceMode::kOpacity:
        Report(report, element, TString(u"Background layers do not have opacity."));
        return false;
    }
    return false;
  }
  TString layerText(layer);
  int32_t index = 0;
  if (document->FindLayer(layerText.c_str(), &index) != 0) {
    Report(report, element,
           TString::Format(u"Could not find layer \"%s\" in \"%s\"\nPSD image type requires a "
                           u"valid/existing layer name.\n",
                           layerText, fileText));
    return false;
  }
  switch (mode) {
    case ImageSourceMode::kBounds:
      return document->LayerRect(index, &out->bounds) == 0;
    case ImageSourceMode::kImage: {
      int32_t r = document->Render(index, out->image.Put());
      if (r == 0 && out->image) {
        document->LayerRect(index, &out->bounds);
        return true;
      }
      TString reason = ErrorText(r);
      Report(report, element,
             reason.IsEmpty()
                 ? TString::Format(u"Could not load layer %s. \nUnknown error: %x", layerText, r)
                 : TString::Format(u"Could not load layer %s. \nReason: %s\n", layerText, reason));
      return false;
    }
    case ImageSourceMode::kOpacity: {
      uint8_t opacity = 255;
      if (document->LayerOpacity(index, &opacity) != 0) return false;
      out->opacity = opacity / 255.0;
      return true;
    }
    case ImageSourceMode::kLayerBlitMode: {
      uint32_t key = 0;
      document->LayerBlendKey(index, &key);
      if (LayerBlendKeyToBlitMode(key, &out->blitMode)) return true;
      char keyText[5] = {char(key >> 24), char(key >> 16), char(key >> 8), char(key), 0};
      Report(report, element,
             TString::Format(u"blendmode for PSD layer: \"%S\" is not supported.", keyText));
      return false;
    }
  }
  return false;
}

}  // namespace

bool LooksLikeImageSource(std::u16string_view word) {
  return word.find_first_of(u".|") != std::u16string_view::npos ||
         StartsWithNoCase(word, u"res://");
}

bool LayerBlendKeyToBlitMode(uint32_t key, uint64_t* code) {
  if (key == Key("diss")) {
    *code = kAlphaBlendDissolve | 0x1000F;
    return true;
  }
  for (const BlendKeyRow& row : kBlendKeys) {
    if (row.key == key) {
      *code = kAlphaBlendLayer | row.lowWord;
      return true;
    }
  }
  return false;
}

bool LoadImageSource(std::u16string_view text, MResourceFile* package, const Element* element,
                     ImageSourceMode mode, bool report, ImageSourceResult* out) {
  ImageSourceResult scratch;
  if (!out) out = &scratch;
  std::u16string_view file, layer;
  bool hasLayer = false;
  SplitSource(DropResourcePrefix(text), &file, &layer, &hasLayer);
  // Only the file part's extension decides: "my.psdata.png" is a raster image.
  if (IsLayeredFile(file)) return LoadLayered(text, package, element, mode, report, out);
  return LoadRaster(text, package, element, mode, report, out);
}

}  // namespace vk2::markup

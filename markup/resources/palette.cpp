#include "markup/resources/palette.h"

#include <cmath>
#include <new>
#include <vector>

#include "markup/parse/identifiers.h"
#include "markup/parse/value_parsers.h"
#include "markup/services/markup_services.h"

namespace vk2::markup {
namespace {

// Sorted by position; a point at an existing position replaces that one's value, otherwise it
// goes after the last point whose position is not greater.
void InsertPoint(std::vector<CurvePoint>* points, CurvePoint point) {
  for (CurvePoint& existing : *points) {
    if (existing.position == point.position) {
      existing.value = point.value;
      return;
    }
  }
  auto at = points->begin();
  while (at != points->end() && at->position <= point.position)
    ++at;
  points->insert(at, point);
}

}  // namespace

RefPtr<Palette> Palette::Make(const std::array<uint32_t, 256>& entries) {
  return RefPtr<Palette>(new (std::nothrow) Palette(entries));
}

RefPtr<Palette> BuildPalette(const Element* element, NamedCollections* collections) {
  std::vector<CurvePoint> points = {{0.0, 0xFF000000u}, {1.0, 0xFFFFFFFFu}};
  bool spline = false;
  if (element && *element) {
    for (const Element& cp : element->Children(u"cp")) {
      uint32_t color = 0xFF000000u;
      ParseColor(cp.Attribute(u"value", u"0xFF000000").view(), &color, &cp, collections);
      InsertPoint(&points, {cp.AttributeNumber(u"x", 0), color});
    }
    spline = element->AttributeBool(u"spline", false);
  }
  std::array<uint32_t, 256> entries;
  entries.fill(0x88888888u);
  if (auto service = ImageStyleService()) {
    service->MakePalette(points.data(), static_cast<int32_t>(points.size()), spline,
                         entries.data());
  }
  return Palette::Make(entries);
}

RefPtr<Palette> ParsePalette(const Element& element, NamedCollections* collections, bool required) {
  TString name = ReadIdentifierAttribute(element, u"palette");
  Element found;
  if (!name.IsEmpty()) {
    if (collections) {
      if (RefPtr<Palette> named = collections->FindNamedPalette(name.view())) return named;
    }
    found = FindNamedElement(element, u"palette", u"name", name.view());
  }
  if (!found && !required) return nullptr;
  return BuildPalette(found ? &found : nullptr, collections);
}

std::array<uint8_t, 256> ParseBlendCurve(const Element& element) {
  std::vector<CurvePoint> points = {{0.0, 0}, {1.0, 255}};
  bool spline = false;
  TString name = ReadIdentifierAttribute(element, u"blend_curve");
  if (!name.IsEmpty()) {
    if (Element curve = FindNamedElement(element, u"blend_curve", u"name", name.view())) {
      for (const Element& cp : curve.Children(u"cp")) {
        double value = cp.AttributeNumber(u"value", 0);
        InsertPoint(&points, {cp.AttributeNumber(u"x", 0),
                              static_cast<uint32_t>(static_cast<int32_t>(std::trunc(value)))});
      }
      spline = curve.AttributeBool(u"spline", false);
    }
  }
  std::array<uint8_t, 256> table;
  table.fill(0x88);
  if (auto service = ImageStyleService())
    service->MakeCurve(points.data(), static_cast<int32_t>(points.size()), spline, table.data());
  return table;
}

}  // namespace vk2::markup

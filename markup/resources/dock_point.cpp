#include "markup/resources/dock_point.h"

#include "markup/keywords/keyword_tables.h"
#include "markup/parse/identifiers.h"
#include "markup/report/error_sink.h"

namespace vk2::markup {

bool ParseDockPoint(const Element& element, MResourceFile* package, NamedCollections* collections,
                    DockPointDefinition* out) {
  out->name = ReadIdentifierAttribute(element, u"name");
  out->anchor.Parse(&element, u"offset", u"alignment", package, collections);
  constexpr uint64_t kMaster = 0;
  out->master = ParseKeywordAttribute(element, u"type", u"slave",
                                      Keywords(KeywordGroup::kDockTypes)) == kMaster;
  if (!out->name.IsEmpty()) return true;
  ReportMmlError(&element, TString(u"Dock points must be named."));
  return false;
}

}  // namespace vk2::markup

// What image styles, shapes and hit styles are read against: the interface definition that
// answers names (styles, shapes, fonts), the named values the attribute parsers resolve, the
// document's current language, and how deep includes and shape references are nested.
#pragma once

#include <cstdint>
#include <string_view>

#include "foundation/text/tstring.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/markup/interface_definition.h"
#include "markup/dom/element.h"
#include "markup/parse/collections.h"
#include "markup/report/error_sink.h"

namespace vk2::markup {

class InterfaceDefinition;

// Styles that include or name each other nest at most this deep; deeper ones are reported as
// circular and left out.
inline constexpr int32_t kMaxStyleNesting = 16;

struct StyleScope {
  MInterfaceDefinition* definition = nullptr;
  NamedCollections* collections = nullptr;
  TString language;
  int32_t depth = 0;

  // The scope of an interface definition (both its name lookups and its named values).
  static StyleScope Of(InterfaceDefinition* definition);
  MResourceFile* Package() const { return collections ? collections->Package() : nullptr; }
  StyleScope Nested() const {
    StyleScope inner = *this;
    ++inner.depth;
    return inner;
  }
};

// False when the child's `language` list (split at commas and blanks) names no language equal
// to `language` (ignoring case); true without a `language` attribute.
bool LanguageAllows(const Element& child, const TString& language);

// Reported on `element` when includes or shape references nest deeper than kMaxStyleNesting.
void ReportCircularStyle(const Element* element, std::u16string_view name);

// Outside a definition's read no sink collects reports; while this lives, one does, and what it
// collected goes to the console as one message when it ends.
class ConsoleReportScope {
 public:
  ConsoleReportScope() = default;
  ~ConsoleReportScope();
  ConsoleReportScope(const ConsoleReportScope&) = delete;
  ConsoleReportScope& operator=(const ConsoleReportScope&) = delete;

 private:
  ErrorSinkScope sink_;
};

// The element of a named record (image style or shape), or none.
Element RecordElement(MMarkupDefinition* record);

// A group (image style, shape) read in place from `element`; null when it does not load.
// Reports go to the console when no definition's read collects them.
template <class Group>
RefPtr<Group> LoadStyleGroup(const StyleScope& scope, const Element& element) {
  if (!element) return nullptr;
  ConsoleReportScope reports;
  RefPtr<Group> group = Group::Make();
  if (!group || !group->Load(scope, element)) return nullptr;
  return group;
}

// The group named `name` through `lookup` (the definition's GetImageStyle or GetShape); null
// when there is none, and a report on `reportOn` when names nest too deep.
template <class Group>
RefPtr<Group> FindStyleGroup(const StyleScope& scope, std::u16string_view name,
                             const Element* reportOn,
                             int32_t (MInterfaceDefinition::*lookup)(const char16_t*,
                                                                     MMarkupDefinition**)) {
  if (!scope.definition || name.empty()) return nullptr;
  if (scope.depth > kMaxStyleNesting) {
    ReportCircularStyle(reportOn, name);
    return nullptr;
  }
  RefPtr<MMarkupDefinition> record;
  if ((scope.definition->*lookup)(TString(name).c_str(), record.Put()) != 0) return nullptr;
  return LoadStyleGroup<Group>(scope, RecordElement(record.Get()));
}

}  // namespace vk2::markup

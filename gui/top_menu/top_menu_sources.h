// Where the top menu's labels and languages come from in the running program: the language
// service's "topmenu" table of the text domain "velkora gui" and the languages that have it.
#pragma once

#include <vector>

#include "gui/top_menu/top_menu_model.h"

namespace vk2 {
class MLanguageService;
}

namespace vk2::gui {

// Labels fall back to the key itself where the table has no text. `interfaces` as the
// interface enumerator lists them.
TopMenuSources TopMenuSourcesFrom(MLanguageService* languages,
                                  std::vector<InterfaceRecord> interfaces, bool reduced);

}  // namespace vk2::gui

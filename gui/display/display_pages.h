// The display's pages: shown by name, docked in page order (top bars, left, right and bottom
// bars, the fill page), a history of fill pages walked back and forth, toggled bars, and the
// layout pass after each change. All operations take one re-entrant lock: they call each other
// and the pages while holding it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "foundation/util/ref_ptr.h"
#include "gui/display/display_entries.h"
#include "gui/display/display_page.h"

namespace vk2::gui {

enum ShowMode : int32_t { kShowForward = 0, kShowBack = 1, kShowInstant = 2 };

class DisplayPages {
 public:
  // `report` receives the console's messages; `animationMs` gives the display's animation
  // duration (its window property, 1000 without one).
  DisplayPages(PageMaker maker, std::function<void(const TString&)> report,
               std::function<int32_t()> animationMs);

  // Takes over `entries` (restored from the state store, or new).
  void SetEntries(RefPtr<DisplayEntries> entries) { entries_ = std::move(entries); }
  DisplayEntries* Entries() { return entries_.Get(); }
  // In dev-test mode the navigation bar's name shows `replacement` (the console) instead.
  void SetDevTest(bool on, TString replacement) {
    devTest_ = on;
    devTestReplacement_ = std::move(replacement);
  }

  bool ShowPage(const TString& name, int32_t mode, const TString& argument, bool record);
  bool HidePages(std::vector<int32_t> indexes, int32_t mode);
  bool TogglePage(const TString& name);
  bool StepHistory(int32_t step);
  // Shows the given names (from the preferences) instantly, recording fill pages.
  void ShowInitial(const std::vector<TString>& names);
  // Shows again, instantly, the pages that restored entries name.
  void RestoreShown();
  // The window was created: places every page and lays out forward.
  void Created();
  void LayoutPages(const std::vector<int32_t>& removed, int32_t mode);
  bool PlacePage(int32_t index);

  int32_t InsertPosition(int32_t kind);
  std::vector<int32_t> FindShownPages(const TString& name);
  size_t PageCount();
  std::shared_ptr<DisplayPage> PageAt(size_t index);
  // Drops every page without closing it (the display goes).
  void ReleaseAll();

 private:
  bool InsertPage(const std::shared_ptr<DisplayPage>& page, int32_t position, int32_t mode);

  const PageMaker maker_;
  const std::function<void(const TString&)> report_;
  const std::function<int32_t()> animationMs_;
  std::recursive_mutex mutex_;
  std::vector<std::shared_ptr<DisplayPage>> pages_;
  RefPtr<DisplayEntries> entries_;
  bool devTest_ = false;
  TString devTestReplacement_;
};

}  // namespace vk2::gui

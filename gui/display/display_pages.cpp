#include "gui/display/display_pages.h"

#include <algorithm>

namespace vk2::gui {

DisplayPages::DisplayPages(PageMaker maker, std::function<void(const TString&)> report,
                           std::function<int32_t()> animationMs)
    : maker_(std::move(maker)),
      report_(std::move(report)),
      animationMs_(std::move(animationMs)),
      entries_(new DisplayEntries) {}

bool DisplayPages::ShowPage(const TString& name, int32_t mode, const TString& argument,
                            bool record) {
  if (devTest_ && name == u"VK2_NavigationBar") {
    return ShowPage(devTestReplacement_, mode, TString(), record);
  }
  std::lock_guard lock(mutex_);
  std::shared_ptr<DisplayPage> page = maker_ ? maker_(name) : nullptr;
  if (!page) {
    if (report_) report_(TString::Format(u"Unable to locate display \"%s\".\n", name));
    return false;
  }
  if (!page->Attach(argument)) return false;
  const bool animate = mode != kShowInstant;
  const int32_t kind = page->Kind();
  const int32_t position = InsertPosition(kind);
  if (!InsertPage(page, position, animate ? mode : kShowForward)) return false;
  DisplayEntries& entries = *entries_;
  if (record && kind == kPageFill) {
    const uint32_t c = entries.current;
    entries.current = c + 1;
    if (entries.history.size() > c) entries.history.resize(c);
    entries.history.push_back({name, argument});
  }
  const auto at =
      static_cast<size_t>(position < 0 ? static_cast<int32_t>(pages_.size()) - 1 : position);
  entries.shown.insert(
      entries.shown.begin() + static_cast<std::ptrdiff_t>(std::min(at, entries.shown.size())),
      name);
  if (animate) {
    PlacePage(static_cast<int32_t>(at));
    LayoutPages({}, mode);
  }
  return true;
}

int32_t DisplayPages::InsertPosition(int32_t kind) {
  std::lock_guard lock(mutex_);
  if (pages_.empty()) return -1;
  int32_t r = -1;
  if (kind != kPageFill && pages_.back()->Kind() == kPageFill) {
    r = static_cast<int32_t>(pages_.size()) - 1;
  }
  std::vector<int32_t> set;
  switch (kind) {
    case kPageTop:
    case kPageLeft:
      set = {kPageLeft, kPageRight, kPageBottom};
      break;
    case kPageRight:
      set = {kPageRight, kPageBottom};
      break;
    case kPageBottom:
      set = {kPageBottom};
      break;
    default:
      return r;
  }
  for (size_t i = 0; i < pages_.size(); ++i) {
    if (std::find(set.begin(), set.end(), pages_[i]->Kind()) != set.end()) {
      return static_cast<int32_t>(i);
    }
  }
  return r;
}

bool DisplayPages::InsertPage(const std::shared_ptr<DisplayPage>& page, int32_t position,
                              int32_t mode) {
  if (!page->IsWindow()) return false;
  if (page->Kind() == kPageFill && !pages_.empty() && pages_.back()->Kind() == kPageFill) {
    // The old fill page leaves with the transition of the new one's direction.
    HidePages({static_cast<int32_t>(pages_.size()) - 1}, mode);
  }
  if (position < 0 || position > static_cast<int32_t>(pages_.size())) {
    pages_.push_back(page);
  } else {
    pages_.insert(pages_.begin() + position, page);
  }
  return true;
}

bool DisplayPages::HidePages(std::vector<int32_t> indexes, int32_t mode) {
  std::lock_guard lock(mutex_);
  if (indexes.empty()) return false;
  LayoutPages(indexes, mode);
  std::sort(indexes.begin(), indexes.end(), std::greater<>());
  indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
  DisplayEntries& entries = *entries_;
  for (int32_t index : indexes) {
    if (index < 0 || index >= static_cast<int32_t>(pages_.size())) continue;
    const std::shared_ptr<DisplayPage> page = pages_[static_cast<size_t>(index)];
    if (page->IsWindow()) {
      if (page->Kind() == kPageFill && entries.current > 0 &&
          entries.current <= entries.history.size()) {
        entries.history[entries.current - 1].argument = page->State();
      }
      page->Close(animationMs_ ? animationMs_() : 1000);
    }
    pages_.erase(pages_.begin() + index);
    if (static_cast<size_t>(index) < entries.shown.size()) {
      entries.shown.erase(entries.shown.begin() + index);
    }
  }
  return true;
}

std::vector<int32_t> DisplayPages::FindShownPages(const TString& name) {
  std::lock_guard lock(mutex_);
  std::vector<int32_t> found;
  const std::vector<TString>& shown = entries_->shown;
  for (size_t i = shown.size(); i-- > 0;) {
    if (shown[i] == name) found.push_back(static_cast<int32_t>(i));
  }
  return found;
}

bool DisplayPages::TogglePage(const TString& name) {
  std::lock_guard lock(mutex_);
  std::vector<int32_t> shown = FindShownPages(name);
  if (!shown.empty()) return HidePages(std::move(shown), kShowForward);
  return ShowPage(name, kShowForward, TString(), true);
}

bool DisplayPages::StepHistory(int32_t step) {
  if (step == 0) return false;
  std::lock_guard lock(mutex_);
  DisplayEntries& entries = *entries_;
  const int64_t n = static_cast<int64_t>(entries.current) + step;
  if (n < 1 || n > static_cast<int64_t>(entries.history.size())) return false;
  const HistoryEntry entry = entries.history[static_cast<size_t>(n - 1)];
  if (!ShowPage(entry.name, step < 0 ? kShowBack : kShowForward, entry.argument, false)) {
    return false;
  }
  entries.current = static_cast<uint32_t>(static_cast<int64_t>(entries.current) + step);
  return true;
}

void DisplayPages::ShowInitial(const std::vector<TString>& names) {
  std::lock_guard lock(mutex_);
  for (const TString& name : names)
    ShowPage(name, kShowInstant, TString(), true);
}

void DisplayPages::RestoreShown() {
  std::lock_guard lock(mutex_);
  const std::vector<TString> names = entries_->shown;
  entries_->shown.clear();
  ShowInitial(names);
}

void DisplayPages::Created() {
  std::lock_guard lock(mutex_);
  for (size_t i = 0; i < pages_.size(); ++i)
    PlacePage(static_cast<int32_t>(i));
  LayoutPages({}, kShowForward);
}

bool DisplayPages::PlacePage(int32_t index) {
  std::lock_guard lock(mutex_);
  if (index < 0 || index >= static_cast<int32_t>(pages_.size())) return false;
  DisplayPage& page = *pages_[static_cast<size_t>(index)];
  if (!page.IsWindow()) return false;
  return page.Place();
}

void DisplayPages::LayoutPages(const std::vector<int32_t>& removed, int32_t mode) {
  std::lock_guard lock(mutex_);
  // Pages added while the pass runs are not visited.
  const std::vector<std::shared_ptr<DisplayPage>> pages = pages_;
  std::vector<PageGeometry> geometry(pages.size());
  for (size_t i = 0; i < pages.size(); ++i) {
    DisplayPage& page = *pages[i];
    PageGeometry& g = geometry[i];
    g.isWindow = page.IsWindow();
    if (g.isWindow && !page.IsShown()) page.Place();
    g.kind = page.Kind();
    g.size = page.Size();
    g.border = page.BorderOffset();
    g.removed = std::find(removed.begin(), removed.end(), static_cast<int32_t>(i)) != removed.end();
    if (g.isWindow) g.current = page.Current();
  }
  const std::vector<PageTransition> transitions = gui::LayoutPages(geometry, mode != kShowForward);
  const int32_t duration = animationMs_ ? animationMs_() : 1000;
  for (size_t i = 0; i < pages.size(); ++i) {
    if (!geometry[i].isWindow) continue;
    pages[i]->Intro(duration);
    for (const TransitionStep& step : transitions[i].steps)
      pages[i]->Move(step);
  }
}

size_t DisplayPages::PageCount() {
  std::lock_guard lock(mutex_);
  return pages_.size();
}

std::shared_ptr<DisplayPage> DisplayPages::PageAt(size_t index) {
  std::lock_guard lock(mutex_);
  return index < pages_.size() ? pages_[index] : nullptr;
}

void DisplayPages::ReleaseAll() {
  std::lock_guard lock(mutex_);
  pages_.clear();
}

}  // namespace vk2::gui

// What a display shows and has shown, kept in the application state store so that it outlives
// the display's window: the names of the pages shown (in page order) and the history of fill
// pages with the state text each one had when it left.
#pragma once

#include <cstdint>
#include <vector>

#include "component/object/com_object.h"
#include "foundation/text/tstring.h"

namespace vk2::gui {

struct HistoryEntry {
  TString name;
  TString argument;
};

// Answers no interface: only the display that stored it reads it back.
class DisplayEntries final : public ComObject<DisplayEntries, SilentFace<MUnknown>> {
 public:
  std::vector<TString> shown;
  std::vector<HistoryEntry> history;
  // The current history entry is history[current - 1]; 0: none.
  uint32_t current = 0;

 private:
  ~DisplayEntries() override = default;
};

}  // namespace vk2::gui

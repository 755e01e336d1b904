// The list view's state in the preference section its owner gives: the column widths as shares
// of the list's width, the first row shown and the current row's place.
#include <mutex>
#include <vector>

#include "interfaces/runtime/preference_store.h"
#include "oru/gui/listview/list_view_model.h"

namespace vk2 {

namespace {
constexpr char16_t kColumnWidthsKey[] = u"column_widths";
constexpr char16_t kTopRowKey[] = u"top_row";
constexpr char16_t kCurrentRowKey[] = u"current_row";
constexpr int32_t kErrNoSection = -1;
}  // namespace

int32_t ListViewModel::SaveState(MPreferenceStore* section) {
  if (!section) return kErrNoSection;
  std::scoped_lock<CriticalSection> guard(lock_);
  std::vector<double> shares;
  for (const Column& column : columns_) {
    double share = 0;
    int32_t minimum = 0;
    int32_t maximum = 0;
    column->GetWidthSpec(&share, &minimum, &maximum);
    shares.push_back(share);
  }
  int32_t result =
      section->SetDoubleList(kColumnWidthsKey, shares.data(), static_cast<uint32_t>(shares.size()));
  if (result >= 0) result = section->SetInt(kTopRowKey, topRow_);
  if (result >= 0) result = section->SetInt(kCurrentRowKey, FindId(currentId_));
  return result < 0 ? result : 0;
}

int32_t ListViewModel::LoadState(MPreferenceStore* section) {
  if (!section) return kErrNoSection;
  Notices notices;
  {
    std::scoped_lock<CriticalSection> guard(lock_);
    // Shares saved for another set of columns would put widths on the wrong columns.
    std::vector<double> shares(columns_.size() + 1);
    uint32_t count = 0;
    if (section->GetDoubleList(kColumnWidthsKey, shares.data(),
                               static_cast<uint32_t>(shares.size()), &count) >= 0 &&
        count == columns_.size()) {
      for (size_t i = 0; i < columns_.size(); ++i)
        columns_[i]->SetWidthShare(shares[i]);
    }
    int32_t top = 0;
    if (section->GetInt(kTopRowKey, &top) >= 0) {
      topRow_ = top;
      ClampTop();
    }
    int32_t current = -1;
    if (section->GetInt(kCurrentRowKey, &current) >= 0 && ValidRange(current, 1)) {
      MakeCurrent(current, notices);
    }
  }
  Deliver(notices);
  return 0;
}

}  // namespace vk2

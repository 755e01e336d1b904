// One column of the playlist list: its name, width rule and flags; draws its column and header
// images and the header text.
#pragma once

#include "component/object/com_object.h"
#include "interfaces/gui/list_view_items.h"

namespace vk2::gui {

class PlaylistRowContext;

// Flag bit: the column draws with the selected-column image set.
inline constexpr uint32_t kColumnSelectedSet = 1;
inline constexpr int32_t kColumnUnlimited = 0x7FFFFFFF;

class PlaylistColumn final : public ComObject<PlaylistColumn, SilentFace<MListViewColumn>> {
 public:
  PlaylistColumn(PlaylistRowContext* context, TString name, double share, int32_t minimum,
                 int32_t maximum, uint32_t flags)
      : context_(context),
        name_(std::move(name)),
        share_(share),
        minimum_(minimum),
        maximum_(maximum),
        flags_(flags) {}

  void GetName(TString* name) override { *name = name_; }
  void GetWidthSpec(double* share, int32_t* minimum, int32_t* maximum) override;
  void SetWidthShare(double share) override { share_ = share; }
  uint32_t GetFlags() override { return flags_; }
  bool DrawColumn(MCanvas* canvas, const RectI& rect, int32_t columnIndex) override;
  bool DrawHeader(MCanvas* canvas, const RectI& rect, int32_t columnIndex) override;

 private:
  ~PlaylistColumn() override = default;

  PlaylistRowContext* const context_;
  const TString name_;
  double share_;
  const int32_t minimum_;
  const int32_t maximum_;
  const uint32_t flags_;
};

}  // namespace vk2::gui

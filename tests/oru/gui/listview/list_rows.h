// Rows and columns for list view tests: a row is only its identifier, a column only its width.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "component/object/com_object.h"
#include "interfaces/gui/list_view_items.h"
#include "oru/gui/listview/list_view_model.h"

namespace vk2::test {

class IdRow final : public ComObject<IdRow, SilentFace<MListViewRow>> {
 public:
  explicit IdRow(uint32_t id) : id_(id) {}
  bool DrawBackground(MCanvas*, const RectI&, int32_t, uint32_t) override { return false; }
  bool DrawCell(MCanvas*, const RectI&, const TString&, int32_t, uint32_t) override {
    return false;
  }
  int32_t MeasureCell(const TString&, int32_t) override { return 0; }
  uint32_t GetId() override { return id_; }
  void Activate() override {}

 private:
  uint32_t id_;
};

class WidthColumn final : public ComObject<WidthColumn, SilentFace<MListViewColumn>> {
 public:
  WidthColumn(double share, int32_t minimum, int32_t maximum)
      : share_(share), minimum_(minimum), maximum_(maximum) {}
  void GetName(TString* name) override { *name = u"column"; }
  void GetWidthSpec(double* share, int32_t* minimum, int32_t* maximum) override {
    *share = share_;
    *minimum = minimum_;
    *maximum = maximum_;
  }
  void SetWidthShare(double share) override { share_ = share; }
  uint32_t GetFlags() override { return 0; }
  bool DrawColumn(MCanvas*, const RectI&, int32_t) override { return false; }
  bool DrawHeader(MCanvas*, const RectI&, int32_t) override { return false; }

 private:
  double share_;
  int32_t minimum_;
  int32_t maximum_;
};

inline std::vector<ListViewModel::Row> Rows(std::initializer_list<uint32_t> ids) {
  std::vector<ListViewModel::Row> rows;
  for (uint32_t id : ids)
    rows.emplace_back(new IdRow(id));
  return rows;
}

inline std::vector<uint32_t> Ids(ListViewModel& model) {
  std::vector<uint32_t> ids;
  for (int32_t i = 0; i < model.RowCount(); ++i)
    ids.push_back(model.IdAt(i));
  return ids;
}

}  // namespace vk2::test

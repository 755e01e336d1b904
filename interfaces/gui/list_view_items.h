// Rows and columns that a caller hands to the list view. The list view keeps one reference to
// each; it asks them to draw and measure themselves and reads a row's identifier.
#pragma once

#include <cstdint>

#include "foundation/text/tstring.h"
#include "interfaces/graphics/surface.h"
#include "interfaces/unknown.h"

namespace vk2 {

class MCanvas;

// Row state bits handed to the drawing operations.
inline constexpr uint32_t kRowSelected = 1;
inline constexpr uint32_t kRowCurrent = 2;

class MListViewRow : public MUnknown {
 public:
  virtual bool DrawBackground(MCanvas* canvas, const RectI& rect, int32_t rowIndex,
                              uint32_t state) = 0;
  virtual bool DrawCell(MCanvas* canvas, const RectI& rect, const TString& columnName,
                        int32_t rowIndex, uint32_t state) = 0;
  virtual int32_t MeasureCell(const TString& columnName, int32_t rowIndex) = 0;
  // The identifier the row stands for; never 0.
  virtual uint32_t GetId() = 0;
  // The user chose the row (double click, Enter).
  virtual void Activate() = 0;

 protected:
  ~MListViewRow() = default;
};

class MListViewColumn : public MUnknown {
 public:
  virtual void GetName(TString* name) = 0;
  // Width as a share of the list's width, kept between a minimum and a maximum in pixels.
  virtual void GetWidthSpec(double* share, int32_t* minimum, int32_t* maximum) = 0;
  virtual void SetWidthShare(double share) = 0;
  virtual uint32_t GetFlags() = 0;
  virtual bool DrawColumn(MCanvas* canvas, const RectI& rect, int32_t columnIndex) = 0;
  virtual bool DrawHeader(MCanvas* canvas, const RectI& rect, int32_t columnIndex) = 0;

 protected:
  ~MListViewColumn() = default;
};

}  // namespace vk2

// The look the playlist view's rows, cells and columns draw with: image sets picked by position,
// single images, offsets and the text styles. The view loads it from its style block; the rows
// and columns only read it.
#pragma once

#include <array>
#include <cstdint>

#include "foundation/util/ref_ptr.h"
#include "interfaces/graphics/font.h"
#include "interfaces/markup/window_definition.h"

namespace vk2::gui {

// Entries of an image set, in their stored order.
enum ImageSetEntry : int32_t { kSetFirst = 0, kSetBase, kSetLast, kSetEven, kSetLastEven };

// The entry shown at position `index` of `count`. Banding goes by pairs (bit value 2), so rows
// 1 and 2 look alike, then 3 and 4.
ImageSetEntry PickImageSetEntry(int32_t index, int32_t count);

struct ImageSet {
  std::array<RefPtr<MImageStyleDrawing>, 5> entries;

  // Absent first, last and even entries take the base; an absent last-even takes the last.
  void Complete();
  bool Empty() const;
  bool AnyAnimated() const;
  MImageStyleDrawing* Pick(int32_t index, int32_t count) const {
    return entries[PickImageSetEntry(index, count)].Get();
  }
};

struct TextOffsets {
  int32_t left = 1, top = 1, right = -1, bottom = -1;
};

// Colours are ARGB. The playing and current-song colours apply only when the skin gave them.
struct ItemTextColours {
  uint32_t plain = 0xFFFFFFFF;
  uint32_t current = 0xFFFFFFFF;
  uint32_t selected = 0xFFFFFFFF;
  uint32_t currentSelected = 0xFFFFFFFF;
  uint32_t playing = 0xFFFFFFFF;
  bool playingGiven = false;
  uint32_t currentSong = 0xFFFFFFFF;
  bool currentSongGiven = false;
};

// Row state bits (as the list view hands them): 1 selected, 2 current.
uint32_t ItemTextColour(const ItemTextColours& colours, uint32_t state, bool isPlayersItem,
                        bool playing);

// Image sets of the view, in their stored order.
enum SkinSet : int32_t {
  kSetHeader = 0,
  kSetSortHeader,
  kSetColumn,
  kSetSelectedColumn,
  kSetRow,
  kSetCurrentRow,
  kSetSelectedRow,
  kSetCurrentSelectedRow,
  kSkinSetCount
};

struct PlaylistSkin {
  RefPtr<MImageStyleDrawing> contentBackground;
  RefPtr<MImageStyleDrawing> headerBackground;
  std::array<ImageSet, kSkinSetCount> sets;
  RefPtr<MImageStyleDrawing> playingRow;
  RefPtr<MImageStyleDrawing> currentSongRow;
  RefPtr<MImageStyleDrawing> item;
  RefPtr<MImageStyleDrawing> headerDropHint;
  RefPtr<MImageStyleDrawing> itemDropHint;
  RefPtr<MImageStyleDrawing> searchHighlight;
  RefPtr<MImageStyleDrawing> sortForward;
  RefPtr<MImageStyleDrawing> sortReverse;

  std::array<int32_t, 4> listOffsets{};
  std::array<int32_t, 4> headerOffsets{};
  std::array<int32_t, 4> rowOffsets{};
  std::array<int32_t, 4> cellOffsets{};

  uint32_t headerColour = 0xFFFFFFFF;
  TextOffsets headerText;
  uint32_t headerJustification = kTextHCenter | kTextVCenter;
  uint32_t sortHeaderColour = 0xFFFFFFFF;
  uint32_t sortHeaderJustification = kTextRight;
  ItemTextColours itemColours;
  TextOffsets itemText;
  uint32_t itemJustification = 0;

  RefPtr<MFont> headerFont;
  RefPtr<MFont> itemFont;

  // Redraw flags, computed after loading.
  bool redrawHeaderBackground = false;
  bool redrawContent = false;
  bool redrawHeader = false;
  bool redrawRows = false;

  // Completes the sets in dependency order: the selected and current sets copy the row set
  // when their base was not given, the current-and-selected set copies the current set.
  void CompleteSets(bool selectedGiven, bool currentGiven, bool currentSelectedGiven);
  // Fills whichever drop hint is absent from the shared one.
  void FillDropHints(MImageStyleDrawing* shared);
  void ComputeRedrawFlags();
};

// True when the image is absent or animated (drawn with more than one style).
bool AbsentOrAnimated(MImageStyleDrawing* image);
bool Animated(MImageStyleDrawing* image);

}  // namespace vk2::gui

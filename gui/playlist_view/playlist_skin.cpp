#include "gui/playlist_view/playlist_skin.h"

namespace vk2::gui {

ImageSetEntry PickImageSetEntry(int32_t index, int32_t count) {
  if (index == 0) return kSetFirst;
  const bool even = (index & 2) == 0;
  if (index == count - 1) return even ? kSetLastEven : kSetLast;
  return even ? kSetEven : kSetBase;
}

void ImageSet::Complete() {
  for (int32_t entry : {kSetFirst, kSetLast, kSetEven}) {
    if (!entries[entry]) entries[entry] = entries[kSetBase];
  }
  if (!entries[kSetLastEven]) entries[kSetLastEven] = entries[kSetLast];
}

bool ImageSet::Empty() const {
  for (const auto& entry : entries) {
    if (entry) return false;
  }
  return true;
}

bool ImageSet::AnyAnimated() const {
  for (const auto& entry : entries) {
    if (Animated(entry.Get())) return true;
  }
  return false;
}

uint32_t ItemTextColour(const ItemTextColours& colours, uint32_t state, bool isPlayersItem,
                        bool playing) {
  uint32_t colour = colours.plain;
  switch (state & 3) {
    case 1:
      colour = colours.selected;
      break;
    case 2:
      colour = colours.current;
      break;
    case 3:
      colour = colours.currentSelected;
      break;
    default:
      break;
  }
  if (isPlayersItem) {
    if (playing) {
      if (colours.playingGiven) colour = colours.playing;
    } else if (colours.currentSongGiven) {
      colour = colours.currentSong;
    }
  }
  return colour;
}

void PlaylistSkin::CompleteSets(bool selectedGiven, bool currentGiven, bool currentSelectedGiven) {
  for (int32_t set : {kSetHeader, kSetSortHeader, kSetColumn, kSetSelectedColumn, kSetRow})
    sets[set].Complete();
  if (selectedGiven) {
    sets[kSetSelectedRow].Complete();
  } else {
    sets[kSetSelectedRow] = sets[kSetRow];
  }
  if (currentGiven) {
    sets[kSetCurrentRow].Complete();
  } else {
    sets[kSetCurrentRow] = sets[kSetRow];
  }
  if (currentSelectedGiven) {
    sets[kSetCurrentSelectedRow].Complete();
  } else {
    sets[kSetCurrentSelectedRow] = sets[kSetCurrentRow];
  }
}

void PlaylistSkin::FillDropHints(MImageStyleDrawing* shared) {
  if (!shared) return;
  if (!headerDropHint) headerDropHint = RefPtr<MImageStyleDrawing>(shared);
  if (!itemDropHint) itemDropHint = RefPtr<MImageStyleDrawing>(shared);
}

bool Animated(MImageStyleDrawing* /*image*/) {
  // The style library draws every image from its parameters alone; none asks for frames.
  return false;
}

bool AbsentOrAnimated(MImageStyleDrawing* image) {
  return !image || Animated(image);
}

void PlaylistSkin::ComputeRedrawFlags() {
  redrawHeaderBackground = AbsentOrAnimated(headerBackground.Get());
  redrawContent = AbsentOrAnimated(contentBackground.Get()) &&
                  (sets[kSetColumn].AnyAnimated() || sets[kSetSelectedColumn].AnyAnimated());
  redrawHeader = sets[kSetHeader].AnyAnimated();
  redrawRows = AbsentOrAnimated(item.Get()) &&
               (sets[kSetRow].AnyAnimated() || sets[kSetCurrentRow].AnyAnimated() ||
                sets[kSetSelectedRow].AnyAnimated() || sets[kSetCurrentSelectedRow].AnyAnimated());
}

}  // namespace vk2::gui

// Drawing the status line: a text, or a progress (left text, bar, right text) whose bar shows
// the filled part with one image and the rest with another.
#pragma once

#include <array>
#include <cstdint>

#include "foundation/util/ref_ptr.h"
#include "gui/status_bar/status_line.h"
#include "interfaces/graphics/font.h"
#include "interfaces/markup/window_definition.h"

namespace vk2::gui {

struct StatusBarStyle {
  uint32_t colour = 0xFFFFFFFF;
  uint32_t justification = 0;
  std::array<int32_t, 4> statusOffset{};    // added to left, top, right, bottom
  std::array<int32_t, 4> progressOffset{};  // added to the bar's edges
  RefPtr<MImageStyleDrawing> progressFill;
  RefPtr<MImageStyleDrawing> progressEmpty;
};

// Where the bar's filled part ends: its left edge plus the fraction of its width.
int32_t FillEdge(const RectI& bar, double fraction);

// The bar of a progress line: between the end of the left text and the start of the right
// text, moved by the progress offset.
RectI ProgressBar(const RectI& area, int32_t leftWidth, int32_t rightWidth,
                  const std::array<int32_t, 4>& offset);

// Draws `message` into `rect` (the window's rectangle); true when anything was drawn.
bool DrawStatus(MCanvas* canvas, const RectI& rect, const StatusMessage& message,
                const StatusBarStyle& style, MFont* font);

}  // namespace vk2::gui

// Drawing helpers shared by the playlist list's rows, columns and callbacks.
#pragma once

#include "foundation/text/tstring.h"
#include "gui/playlist_view/playlist_skin.h"

namespace vk2::gui {

// Draws an image at full opacity in the normal state; false when there is none.
bool DrawSkinImage(MImageStyleDrawing* image, MCanvas* canvas, const RectI& rect);

// `rect` with each edge moved by the matching offset.
RectI OffsetRect(const RectI& rect, const TextOffsets& offsets);

// Draws one line of text with ellipsis; false without a font or text.
bool DrawLine(MFont* font, MCanvas* canvas, const TString& text, const RectI& rect,
              uint32_t justification, uint32_t colour);

}  // namespace vk2::gui

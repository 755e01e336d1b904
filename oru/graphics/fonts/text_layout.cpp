#include "oru/graphics/fonts/text_layout.h"

#include <algorithm>

namespace vk2::oru {
namespace {

int32_t WidthOf(const std::vector<ShapedGlyph>& glyphs, size_t from, size_t to) {
  int32_t w = 0;
  for (size_t i = from; i < to; ++i)
    w += glyphs[i].advance;
  return w;
}

LaidLine MakeLine(TextShaper& shaper, std::u32string_view text) {
  LaidLine line;
  line.text.assign(text);
  shaper.Shape(line.text, &line.glyphs);
  line.width = WidthOf(line.glyphs, 0, line.glyphs.size());
  return line;
}

// Splits one paragraph greedily at spaces; a word wider than the line breaks between
// characters, keeping at least one per line.
void WrapParagraph(TextShaper& shaper, std::u32string_view para, int32_t width26,
                   std::vector<LaidLine>* out) {
  std::vector<ShapedGlyph> glyphs;
  shaper.Shape(para, &glyphs);
  // Advance of each code point (a cluster's advance goes to its first code point).
  std::vector<int32_t> advance(para.size() + 1, 0);
  for (const ShapedGlyph& g : glyphs)
    advance[std::min<size_t>(g.cluster, para.size())] += g.advance;
  size_t start = 0;
  while (start < para.size()) {
    int32_t used = 0;
    size_t end = start;
    size_t lastBreak = std::u32string_view::npos;
    while (end < para.size() && (used + advance[end] <= width26 || end == start)) {
      used += advance[end];
      if (para[end] == U' ') lastBreak = end;
      ++end;
    }
    size_t next = end;
    if (end < para.size() && para[end] != U' ' && lastBreak != std::u32string_view::npos) {
      end = lastBreak;
      next = lastBreak + 1;
    }
    size_t trimmed = end;
    while (trimmed > start && para[trimmed - 1] == U' ')
      --trimmed;
    while (next < para.size() && para[next] == U' ')
      ++next;
    LaidLine line = MakeLine(shaper, para.substr(start, trimmed - start));
    line.lastOfParagraph = next >= para.size();
    out->push_back(std::move(line));
    start = next;
  }
  if (para.empty()) out->push_back(MakeLine(shaper, para));
}

// Cuts code points off the end until the line (with the ellipsis when asked) fits.
void TrimLine(TextShaper& shaper, LaidLine* line, int32_t width26, bool ellipsis) {
  std::u32string_view dots = ellipsis ? shaper.Ellipsis() : std::u32string_view();
  std::u32string text = line->text;
  while (true) {
    LaidLine candidate = MakeLine(shaper, text + std::u32string(dots));
    if (candidate.width <= width26 || text.empty()) {
      candidate.lastOfParagraph = line->lastOfParagraph;
      *line = std::move(candidate);
      return;
    }
    text.pop_back();
    while (!text.empty() && text.back() == U' ')
      text.pop_back();
  }
}

}  // namespace

std::u32string DecodeUtf16(const char16_t* text, int32_t length) {
  std::u32string out;
  if (!text) return out;
  size_t n = 0;
  if (length < 0) {
    while (text[n])
      ++n;
  } else {
    n = static_cast<size_t>(length);
  }
  out.reserve(n);
  for (size_t i = 0; i < n; ++i) {
    const char32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < n && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
      out.push_back(0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else if (c >= 0xD800 && c < 0xE000) {
      out.push_back(0xFFFD);
    } else {
      out.push_back(c);
    }
  }
  return out;
}

std::vector<LaidLine> LayoutLines(TextShaper& shaper, std::u32string_view text, int32_t width,
                                  int32_t height, uint32_t flags) {
  std::vector<LaidLine> lines;
  const bool single = flags & kTextSingleLine;
  // A line fits when its width rounded to pixels does, as TextWidth reports it.
  const int32_t width26 = width > 0 ? width * 64 + 31 : INT32_MAX;
  if (single) {
    // Line breaks count as spaces: the text stays on one line.
    std::u32string flat(text);
    for (char32_t& c : flat) {
      if (c == U'\n' || c == U'\r' || c == U'\t') c = U' ';
    }
    lines.push_back(MakeLine(shaper, flat));
  } else {
    size_t start = 0;
    while (start <= text.size()) {
      size_t end = std::min(text.find(U'\n', start), text.size());
      size_t stop = end;
      if (stop > start && text[stop - 1] == U'\r') --stop;
      WrapParagraph(shaper, text.substr(start, stop - start), width26, &lines);
      start = end + 1;
    }
  }
  const uint32_t trim = flags & (kTextTrimChars | kTextTrimEllipsis);
  if (trim == 0) return lines;
  const bool ellipsis = flags & kTextTrimEllipsis;
  // Lines below the rectangle go; the last one kept shows that text was cut.
  const int32_t lineHeight = std::max(1, shaper.Metrics().lineHeight);
  if (height > 0) {
    const size_t fit = std::max<size_t>(1, static_cast<size_t>(height / lineHeight));
    if (lines.size() > fit) {
      lines.resize(fit);
      if (ellipsis) {
        LaidLine& last = lines.back();
        const std::u32string dots(shaper.Ellipsis());
        LaidLine marked = MakeLine(shaper, last.text + dots);
        if (marked.width <= width26) {
          last = std::move(marked);
        } else {
          last.width = INT32_MAX;  // forces the cut below, which adds the ellipsis
        }
      }
    }
  }
  for (LaidLine& line : lines) {
    if (line.width > width26) TrimLine(shaper, &line, width26, ellipsis);
  }
  return lines;
}

std::vector<PlacedGlyph> PlaceLines(TextShaper& shaper, const std::vector<LaidLine>& lines,
                                    const RectI& rect, uint32_t flags) {
  std::vector<PlacedGlyph> placed;
  if (lines.empty()) return placed;
  const FontMetrics m = shaper.Metrics();
  const int32_t lineHeight = std::max(1, m.lineHeight);
  const int32_t total = lineHeight * static_cast<int32_t>(lines.size());
  const int32_t free = rect.Height() - total;
  int32_t top = rect.top;
  int32_t gap = 0;
  switch (flags & kTextVMask) {
    case kTextBottom:
      top = rect.bottom - total;
      break;
    case kTextVCenter:
      top = rect.top + free / 2;
      break;
    case kTextVFull:
      if (lines.size() > 1 && free > 0) gap = free / static_cast<int32_t>(lines.size() - 1);
      break;
    default:
      break;
  }
  const int32_t width26 = rect.Width() * 64;
  for (size_t i = 0; i < lines.size(); ++i) {
    const LaidLine& line = lines[i];
    const int32_t baseline = top + static_cast<int32_t>(i) * (lineHeight + gap) + m.ascent;
    int32_t x = rect.left * 64;
    int32_t spaceExtra = 0;
    int32_t spaceRemainder = 0;
    const int32_t room = width26 - line.width;
    switch (flags & kTextHMask) {
      case kTextRight:
        x += room;
        break;
      case kTextHCenter:
        x += room / 2;
        break;
      case kTextHFull: {
        // Full width: the room is shared among the spaces, except on a paragraph's last line.
        const auto spaces = std::count(line.text.begin(), line.text.end(), U' ');
        if (!line.lastOfParagraph && spaces > 0 && room > 0) {
          spaceExtra = room / static_cast<int32_t>(spaces);
          spaceRemainder = room % static_cast<int32_t>(spaces);
        }
        break;
      }
      default:
        break;
    }
    for (const ShapedGlyph& g : line.glyphs) {
      placed.push_back(PlacedGlyph{g.glyph, x + g.offsetX, baseline - Pixels26(g.offsetY)});
      x += g.advance;
      if (g.cluster < line.text.size() && line.text[g.cluster] == U' ' &&
          spaceExtra + spaceRemainder) {
        x += spaceExtra;
        if (spaceRemainder > 0) {
          ++x;
          --spaceRemainder;
        }
      }
    }
  }
  return placed;
}

}  // namespace vk2::oru

#include "oru/graphics/fonts/raster_engine.h"

#include <map>
#include <new>
#include <vector>

#include "foundation/util/result.h"
#include "interfaces/graphics/image.h"

namespace vk2::oru {
namespace {

class RasterEngine final : public FontEngine {
 public:
  struct Cell {
    RectI rect;                     // in the image
    std::vector<uint8_t> coverage;  // alpha of the cell, for monochrome drawing
  };

  RasterEngine(RefPtr<MRasterImage> image, SurfaceView view, std::vector<Cell> cells,
               std::map<char32_t, uint32_t> glyphOf, int32_t tracking, bool monochrome)
      : image_(std::move(image)),
        view_(view),
        cells_(std::move(cells)),
        glyphOf_(std::move(glyphOf)),
        tracking_(tracking),
        monochrome_(monochrome) {
    int64_t sum = 0;
    for (const Cell& c : cells_) {
      sum += c.rect.Width();
      metrics_.maxWidth = std::max(metrics_.maxWidth, c.rect.Width());
    }
    const int32_t height = cells_.empty() ? 0 : cells_[0].rect.Height();
    metrics_.ascent = height;
    metrics_.lineHeight = height;
    metrics_.averageWidth = cells_.empty() ? 0 : static_cast<int32_t>(sum / cells_.size());
    if (glyphOf_.count(U'.')) ellipsis_ = U"...";
  }

  void Shape(std::u32string_view text, std::vector<ShapedGlyph>* glyphs) override {
    glyphs->clear();
    for (size_t i = 0; i < text.size(); ++i) {
      auto found = glyphOf_.find(text[i]);
      if (found != glyphOf_.end()) {
        const int32_t w = cells_[found->second].rect.Width() + tracking_;
        glyphs->push_back(ShapedGlyph{found->second + 1, static_cast<uint32_t>(i), w * 64, 0, 0});
      } else if (text[i] == U' ') {
        // A space the image lacks takes an average glyph's room.
        glyphs->push_back(ShapedGlyph{0, static_cast<uint32_t>(i),
                                      (metrics_.averageWidth + tracking_) * 64, 0, 0});
      }
    }
  }
  FontMetrics Metrics() override { return metrics_; }
  std::u32string_view Ellipsis() override { return ellipsis_; }

  int32_t DrawGlyph(MCanvas* canvas, const PlacedGlyph& glyph, uint32_t color, uint64_t code,
                    int32_t opacity) override {
    if (glyph.glyph == 0 || glyph.glyph > cells_.size()) return kOk;
    const Cell& cell = cells_[glyph.glyph - 1];
    const int32_t x = Pixels26(glyph.x);
    const int32_t y = glyph.baseline - metrics_.ascent;
    if (!monochrome_) {
      BlitSource source;
      source.view = view_;
      source.rect = cell.rect;
      return canvas->Blit(source, x, y, code, opacity);
    }
    SurfaceView coverage;
    coverage.bits = const_cast<uint8_t*>(cell.coverage.data());  // FillCoverage only reads
    coverage.width = cell.rect.Width();
    coverage.height = cell.rect.Height();
    coverage.strideBytes = coverage.width;
    coverage.format = PixelFormat::kIndex8;
    return canvas->FillCoverage(coverage, x, y, color, code, opacity);
  }
  void Underline(int32_t* offset, int32_t* thickness) override {
    *offset = 0;
    *thickness = 0;
  }
  bool Underlined() override { return false; }

 private:
  RefPtr<MRasterImage> image_;  // keeps view_ valid
  SurfaceView view_;
  std::vector<Cell> cells_;
  std::map<char32_t, uint32_t> glyphOf_;
  int32_t tracking_;
  bool monochrome_;
  FontMetrics metrics_;
  std::u32string ellipsis_;
};

}  // namespace

int32_t MakeRasterFont(const FontDescription& d, RefPtr<FontObject>* out) {
  if (!d.image || !d.glyphList || !*d.glyphList) return kErrMissingArg;
  SurfaceView view;
  if (d.image->GetView(&view) < 0 || view.Empty()) return kErrBadData;
  if (view.format != PixelFormat::kArgb32) return kErrNotSupported;
  if (d.startX < 0 || d.startY < 0 || d.startX >= view.width || d.startY + 1 >= view.height) {
    return kErrOutOfRange;
  }
  const std::u32string list = DecodeUtf16(d.glyphList, -1);
  const uint32_t* marks = view.Argb(d.startY);
  const uint32_t separator = marks[d.startX];
  std::vector<RasterEngine::Cell> cells;
  std::map<char32_t, uint32_t> glyphOf;
  int32_t x = d.startX;
  while (x < view.width && cells.size() < list.size()) {
    while (x < view.width && marks[x] == separator)
      ++x;
    const int32_t left = x;
    while (x < view.width && marks[x] != separator)
      ++x;
    if (x == left) break;
    RasterEngine::Cell cell;
    cell.rect = RectI{left, d.startY + 1, x, view.height};
    cell.coverage.reserve(static_cast<size_t>(cell.rect.Width()) * cell.rect.Height());
    for (int32_t y = cell.rect.top; y < cell.rect.bottom; ++y) {
      for (int32_t cx = left; cx < x; ++cx) {
        cell.coverage.push_back(static_cast<uint8_t>(view.Argb(y)[cx] >> 24));
      }
    }
    glyphOf.emplace(list[cells.size()], static_cast<uint32_t>(cells.size()));
    cells.push_back(std::move(cell));
  }
  if (cells.empty()) return kErrBadData;
  std::unique_ptr<FontEngine> engine(
      new (std::nothrow) RasterEngine(RefPtr<MRasterImage>(d.image), view, std::move(cells),
                                      std::move(glyphOf), d.tracking, d.monochrome));
  if (!engine) return kErrOutOfMemory;
  RefPtr<FontObject> font(new (std::nothrow) FontObject(std::move(engine)));
  if (!font) return kErrOutOfMemory;
  *out = std::move(font);
  return kOk;
}

}  // namespace vk2::oru

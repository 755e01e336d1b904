#include "tests/markup/styles/style_fixture.h"

#include <cstdlib>

#include "oru/graphics/canvas/canvas_object.h"
#include "oru/graphics/canvas/surface_object.h"
#include "tests/oru/graphics/images/psd_writer.h"

namespace vk2::test {

TestCanvas::TestCanvas(int32_t width, int32_t height) {
  gfx::CreateSurface(width, height, PixelFormat::kArgb32, &surface_);
  gfx::CreateCanvas(surface_.Get(), &canvas_);
  surface_->GetView(&view_);
}

uint32_t TestCanvas::At(int32_t x, int32_t y) const {
  return view_.Argb(y)[x];
}

void TestCanvas::Fill(uint32_t premultiplied) {
  for (int32_t y = 0; y < view_.height; ++y) {
    for (int32_t x = 0; x < view_.width; ++x)
      view_.Argb(y)[x] = premultiplied;
  }
}

RectI TestCanvas::InkBounds() const {
  RectI ink{view_.width, view_.height, 0, 0};
  for (int32_t y = 0; y < view_.height; ++y) {
    for (int32_t x = 0; x < view_.width; ++x) {
      if (Alpha(At(x, y)) == 0) continue;
      ink = {std::min(ink.left, x), std::min(ink.top, y), std::max(ink.right, x + 1),
             std::max(ink.bottom, y + 1)};
    }
  }
  return ink.Empty() ? RectI{} : ink;
}

std::string ImageFile(int32_t width, int32_t height, const std::vector<uint32_t>& pixels) {
  PsdTestDocument doc;
  doc.width = width;
  doc.height = height;
  doc.mergedAlpha = true;
  doc.merged = pixels;
  std::vector<uint8_t> bytes = WritePsd(doc);
  return std::string(bytes.begin(), bytes.end());
}

std::string GlyphStrip() {
  constexpr uint32_t kSep = 0xFFFF00FF, kMark = 0xFF000000, kInk = 0xFFFFFFFF, kNone = 0;
  const uint32_t rows[4][8] = {
      {kSep, kMark, kMark, kSep, kMark, kMark, kMark, kSep},
      {kSep, kInk, kInk, kSep, kNone, kInk, kNone, kSep},
      {kSep, kInk, kInk, kSep, kNone, kInk, kNone, kSep},
      {kSep, kInk, kInk, kSep, kNone, kInk, kNone, kSep},
  };
  std::vector<uint32_t> pixels;
  for (const auto& row : rows)
    pixels.insert(pixels.end(), row, row + 8);
  return ImageFile(8, 4, pixels);
}

StyleDocument::StyleDocument(const std::string& body, std::map<std::string, std::string> files,
                             const char16_t* language) {
  // The package holds its files before the document loads: the loader may read at once.
  files["index.mml"] = Duv(body);
  duv.package = markup::MemoryPackage::Make(std::move(files));
  duv.loader = markup::InterfaceLoader::Make();
  LoadContext context;
  context.language = language;
  TString error;
  duv.result =
      duv.loader->LoadFromPackage(duv.package.Get(), "index.mml", &context, &error, nullptr);
  duv.error = Narrow(error);
  definition = duv.Definition();
}

markup::StyleScope StyleDocument::Scope() const {
  return markup::StyleScope::Of(definition.Get());
}

RefPtr<markup::ImageStyleGroup> StyleDocument::Style(const char16_t* name) const {
  return markup::FindImageStyle(Scope(), name);
}

RefPtr<markup::ShapeGroup> StyleDocument::Shape(const char16_t* name) const {
  return markup::FindShape(Scope(), name);
}

bool Near(uint32_t a, uint32_t b, int32_t tolerance) {
  for (int32_t shift = 0; shift < 32; shift += 8) {
    int32_t ca = static_cast<int32_t>((a >> shift) & 0xFF);
    int32_t cb = static_cast<int32_t>((b >> shift) & 0xFF);
    if (std::abs(ca - cb) > tolerance) return false;
  }
  return true;
}

}  // namespace vk2::test

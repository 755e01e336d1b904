// The MFont face of every font: measuring and drawing through the shared line layout, with the
// glyph drawing left to the font's engine (a FreeType face or a raster image).
#pragma once

#include <memory>
#include <mutex>
#include <new>

#include "component/object/com_object.h"
#include "foundation/util/result.h"
#include "interfaces/graphics/font.h"
#include "interfaces/ids.h"
#include "oru/graphics/fonts/text_layout.h"

namespace vk2::oru {

// What a font engine adds to shaping: drawing one glyph, and an underline when asked. Engines
// are not thread-safe; their font serialises every call.
class FontEngine : public TextShaper {
 public:
  virtual ~FontEngine() = default;
  virtual int32_t DrawGlyph(MCanvas* canvas, const PlacedGlyph& glyph, uint32_t color,
                            uint64_t code, int32_t opacity) = 0;
  // The underline's offset below the baseline and thickness in pixels; thickness 0: none.
  virtual void Underline(int32_t* offset, int32_t* thickness) = 0;
  virtual bool Underlined() = 0;
};

class FontObject final : public ComObject<FontObject, Face<MFont, kIID_MFont>> {
 public:
  explicit FontObject(std::unique_ptr<FontEngine> engine) : engine_(std::move(engine)) {}

  int32_t TextWidth(const char16_t* text, int32_t length) override;
  int32_t WrappedHeight(const char16_t* text, int32_t length, int32_t width,
                        uint32_t flags) override;
  int32_t GetMetrics(FontMetrics* metrics) override;
  int32_t DrawText(MCanvas* canvas, const char16_t* text, int32_t length, const RectI& rect,
                   uint32_t flags, uint64_t code, uint32_t color, int32_t opacity) override;

 private:
  ~FontObject() override = default;

  std::mutex mutex_;
  std::unique_ptr<FontEngine> engine_;
};

}  // namespace vk2::oru

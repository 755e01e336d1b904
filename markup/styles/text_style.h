// The text primitive: the element's text in one of the document's font styles.
#pragma once

#include "markup/styles/image_style.h"
#include "markup/styles/text_font.h"

namespace vk2::markup {

// PS_NORMAL: the text's default blend code.
inline constexpr uint64_t kTextDefaultBlend = 0x1000001000F;

class TextStyle final : public ImageStyle {
 public:
  static RefPtr<ImageStyle> Make();
  const TString& Text() const { return text_; }

 private:
  TextStyle() = default;
  bool ParseOwn(const StyleScope& scope, const Element& element) override;
  bool DrawOwn(const RectD& placed, MCanvas* canvas, const AnimationParams& params,
               int32_t opacity) override;

  uint32_t color_ = 0xFF000000;
  uint32_t justification_ = 0;
  bool hasFont_ = false;
  TextFont font_;
  TString text_;
};

// The element's text without the line breaks (and the indentation around them) that open and
// close it in an indented document; a text on one line is kept as it stands.
TString TrimIndentedText(const TString& text);

}  // namespace vk2::markup

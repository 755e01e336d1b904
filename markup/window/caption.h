// The caption object behind MTextFont. (The graphics kit's font header stays out of this one:
// its style constants clash with the markup's font records.)
#pragma once

#include "component/object/com_object.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/ids.h"
#include "interfaces/markup/text_font.h"

namespace vk2::markup {

class Caption final : public ComObject<Caption, Face<MTextFont, kIID_MTextFont>> {
 public:
  static RefPtr<Caption> Make();

  int32_t Measure(SizeI* out, MWindowElement* window, int32_t half) override;
  int32_t Draw(const RectI& rect, MCanvas* canvas, const double* weights, int32_t weightCount,
               MWindowElement* window, uint32_t stateBits) override;
  int32_t GetIndex() override { return index_; }
  int32_t GetFlags(uint32_t stateBits) override;
  MUnknown* GetAttached() override { return attached_.Get(); }
  int32_t SetAll(const char16_t* text, const TextFontLook* table, MUnknown* attached, int32_t flags,
                 int32_t secondSet) override;
  int32_t SetAllIndexed(const char16_t* text, const TextFontLook* table, int32_t index,
                        int32_t flags, int32_t secondSet) override;
  int32_t SetShadow(int32_t shadow) override;
  int32_t SetText(const char16_t* text) override;
  int32_t GetText(TString* out) override;
  int32_t SetIndex(int32_t index) override;
  int32_t SetData(MUnknown* data) override;
  MUnknown* GetData() override { return data_.Get(); }

 private:
  Caption() = default;
  ~Caption() override = default;

  // The look the state bits select (0 to 3), or -1.
  static int32_t LookIndex(uint32_t stateBits);

  TString text_;
  const TextFontLook* table_ = nullptr;
  RefPtr<MUnknown> attached_;
  RefPtr<MUnknown> data_;
  int32_t index_ = 0;
  int32_t flags_ = 0;
  bool secondSet_ = false;
  bool shadow_ = false;
};

}  // namespace vk2::markup

// What a module window answers as a display's page: its hooks, reached through the page face
// the window hands out beside its window-element face.
#pragma once

#include <array>
#include <cstdint>

#include "component/object/sub_object.h"
#include "foundation/text/tstring.h"
#include "interfaces/gui/window_page.h"

namespace vk2::gui {

class PageHooks {
 public:
  virtual TString PageState() { return {}; }
  virtual int32_t PageKind() { return 4; }
  virtual int32_t PageSize() { return 0; }
  virtual std::array<int32_t, 4> PageBorder() { return {}; }
  // The named windows load their style from the definition here.
  virtual bool AttachPage(MInterfaceDefinition* definition, const TString& argument) {
    (void)argument;
    return definition != nullptr;
  }

 protected:
  ~PageHooks() = default;
};

class PageFace final : public SubObject<MWindowClassFactory> {
 public:
  PageFace(MUnknown* owner, PageHooks* hooks) : SubObject(owner), hooks_(hooks) {}

  int32_t Reserved() override { return 0; }
  int32_t GetText(TString* out) override {
    if (out) *out = TString();
    return 0;
  }
  int32_t GetPageState(TString* out) override {
    if (out) *out = hooks_->PageState();
    return 0;
  }
  int32_t GetPageKind() override { return hooks_->PageKind(); }
  int32_t GetPageSize() override { return hooks_->PageSize(); }
  int32_t* GetPageBorderOffset(int32_t out[4]) override {
    if (!out) return out;
    const std::array<int32_t, 4> border = hooks_->PageBorder();
    for (size_t i = 0; i < border.size(); ++i)
      out[i] = border[i];
    return out;
  }
  int32_t AttachPage(MInterfaceDefinition* definition, const TString& argument) override {
    return hooks_->AttachPage(definition, argument) ? 1 : 0;
  }

 private:
  PageHooks* hooks_;
};

}  // namespace vk2::gui

// A display page that is a window: a named window of the module or a border element of the
// interface, reached through its page face and its window element.
#pragma once

#include <memory>

#include "foundation/util/ref_ptr.h"
#include "gui/display/display_page.h"
#include "interfaces/gui/window_element.h"
#include "interfaces/gui/window_page.h"
#include "interfaces/markup/interface_definition.h"

namespace vk2::gui {

class WindowPage final : public DisplayPage {
 public:
  // `attached`: the window already stands under `display` (a border element made there), so
  // placing it only anchors it.
  WindowPage(RefPtr<MWindowClassFactory> face, MWindowElement* display,
             RefPtr<MInterfaceDefinition> definition, bool attached);
  // The page of `window` (its page face), or null when it has none.
  static std::shared_ptr<WindowPage> Of(MUnknown* window, MWindowElement* display,
                                        RefPtr<MInterfaceDefinition> definition, bool attached);

  int32_t Kind() override { return face_->GetPageKind(); }
  int32_t Size() override { return face_->GetPageSize(); }
  std::array<int32_t, 4> BorderOffset() override;
  TString State() override;
  bool Attach(const TString& argument) override;
  bool IsWindow() override { return window_ != nullptr; }
  bool IsShown() override;
  bool Place() override;
  Placement Current() override;
  void Intro(int32_t durationMs) override;
  void Move(const TransitionStep& step) override;
  void Close(int32_t fadeMs) override;

 private:
  RefPtr<MWindowClassFactory> face_;
  RefPtr<MWindowElement> window_;
  MWindowElement* display_;  // holds this page
  RefPtr<MInterfaceDefinition> definition_;
  bool attached_;
};

}  // namespace vk2::gui

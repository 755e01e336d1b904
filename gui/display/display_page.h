// A page as the display sees it: its kind, size and border, its state text, and the few window
// operations the display drives (placing, moving with a transition, closing).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include "foundation/text/tstring.h"
#include "gui/display/display_layout.h"

namespace vk2::gui {

class DisplayPage {
 public:
  virtual ~DisplayPage() = default;

  virtual int32_t Kind() = 0;
  virtual int32_t Size() = 0;
  virtual std::array<int32_t, 4> BorderOffset() = 0;
  // The page's own state text, kept with its history entry when a fill page leaves.
  virtual TString State() = 0;
  // Takes the argument it is shown with; false refuses the page.
  virtual bool Attach(const TString& argument) = 0;
  // False for a page that is no window: it is neither shown nor laid out.
  virtual bool IsWindow() = 0;

  // Window operations, on the GUI thread.
  virtual bool IsShown() = 0;
  virtual bool Place() = 0;
  virtual Placement Current() = 0;
  virtual void Intro(int32_t durationMs) = 0;
  virtual void Move(const TransitionStep& step) = 0;
  // Closes the window after a fade of `fadeMs`.
  virtual void Close(int32_t fadeMs) = 0;
};

// Makes the page asked for by `name`, or null (the display reports it).
using PageMaker = std::function<std::shared_ptr<DisplayPage>(const TString& name)>;

}  // namespace vk2::gui

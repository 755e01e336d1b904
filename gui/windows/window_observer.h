// The part the window manager adds to each window it opens: it hears the window's destruction
// and takes the window off the manager's list.
#pragma once

#include <functional>

#include "component/object/com_object.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/gui/window_observer.h"
#include "interfaces/ids.h"

namespace vk2::gui {

class WindowObserver final
    : public ComObject<WindowObserver, Face<MWindowObserver, kIID_MWindowObserver>> {
 public:
  // `destroyed` runs once, with the window the observer was made for.
  static RefPtr<WindowObserver> Create(MWindowElement* window,
                                       std::function<void(MWindowElement*)> destroyed);
  void WindowDestroyed(MWindowElement* window) override;

 private:
  WindowObserver(MWindowElement* window, std::function<void(MWindowElement*)> destroyed)
      : window_(window), destroyed_(std::move(destroyed)) {}
  ~WindowObserver() override = default;

  MWindowElement* window_;  // for identity only: the window holds the observer
  std::function<void(MWindowElement*)> destroyed_;
};

}  // namespace vk2::gui

#include "gui/windows/window_observer.h"

#include <utility>

namespace vk2::gui {

RefPtr<WindowObserver> WindowObserver::Create(MWindowElement* window,
                                              std::function<void(MWindowElement*)> destroyed) {
  return RefPtr<WindowObserver>(new WindowObserver(window, std::move(destroyed)));
}

void WindowObserver::WindowDestroyed(MWindowElement*) {
  // The window it was made for, whichever face of it the caller holds.
  std::function<void(MWindowElement*)> destroyed = std::move(destroyed_);
  destroyed_ = nullptr;
  if (destroyed) destroyed(window_);
}

}  // namespace vk2::gui

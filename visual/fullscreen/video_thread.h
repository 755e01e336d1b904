// Where SDL's video calls run. SDL's windows belong to one thread: the GUI layer's loop thread
// when the GUI layer runs SDL (the calls are handed to it and waited for), else the caller's.
#pragma once

#include <functional>

#include "foundation/util/ref_ptr.h"
#include "interfaces/gui/app.h"

namespace vk2 {

class VideoThread {
 public:
  // `gui` null: calls run in place.
  explicit VideoThread(RefPtr<MOmbrixApp> gui) : gui_(std::move(gui)) {}

  // Runs `work` there and waits for it; false when the loop has ended or did not answer in
  // time (then `work` never runs).
  bool Run(const std::function<void()>& work);
  bool InPlace() const { return !gui_; }

 private:
  RefPtr<MOmbrixApp> gui_;
};

}  // namespace vk2

#include "gui/script_base/listener_list.h"

#include <algorithm>

#include "foundation/util/result.h"

namespace vk2::gui {

int32_t ListenerList::AddRemoveListener(MStatusListener* listener, int32_t add) {
  if (!listener) return kErrMissingArg;
  std::lock_guard lock(mutex_);
  if (!add) {
    auto it = std::find(listeners_.begin(), listeners_.end(), listener);
    if (it == listeners_.end()) return kErrMissingArg;
    listeners_.erase(it);
    return kOk;
  }
  listeners_.push_back(listener);
  if (!quiet_) {
    StatusRecord record;
    record.text = current_;
    listener->OnStatus(record, quiet_);
  }
  return kOk;
}

int32_t ListenerList::Broadcast(const StatusRecord& record) {
  std::lock_guard lock(mutex_);
  if (record.kind == kStatusText && record.subKind == kStatusCurrent) current_ = record.text;
  // Over a copy: a listener may add or remove listeners while it is told; one removed meanwhile
  // is not told.
  std::vector<MStatusListener*> listeners = listeners_;
  for (auto it = listeners.rbegin(); it != listeners.rend(); ++it) {
    if (std::find(listeners_.begin(), listeners_.end(), *it) == listeners_.end()) continue;
    (*it)->OnStatus(record, quiet_);
  }
  return kOk;
}

int32_t ListenerList::Post(const TString& text, uint32_t subKind) {
  StatusRecord record;
  record.subKind = subKind;
  record.text = text;
  return Broadcast(record);
}

}  // namespace vk2::gui

// A list of status listeners that broadcasts status records to them, newest first. Aggregated
// into the GUI main object (not quiet: a new listener hears the current text at once) and kept
// by some windows on their own (quiet).
#pragma once

#include <mutex>
#include <vector>

#include "component/object/aggregation.h"
#include "interfaces/gui/listener_list.h"
#include "interfaces/ids.h"

namespace vk2::gui {

class ListenerList final
    : public Aggregatable<ListenerList, Face<MListenerList, kIID_MListenerList>> {
 public:
  ListenerList(MUnknown* outer, bool quiet) : Aggregatable(outer), quiet_(quiet) {}

  int32_t AddRemoveListener(MStatusListener* listener, int32_t add) override;
  int32_t Broadcast(const StatusRecord& record) override;
  int32_t Post(const TString& text, uint32_t subKind) override;

 private:
  ~ListenerList() override = default;

  const bool quiet_;
  std::recursive_mutex mutex_;
  std::vector<MStatusListener*> listeners_;
  TString current_;
};

}  // namespace vk2::gui

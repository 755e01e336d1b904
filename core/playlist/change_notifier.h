// The playlist's listeners and the worker thread that delivers change lists to them. Queueing
// takes only the queue's own lock; the worker calls listeners from a snapshot with no lock
// held, so a slow listener never holds up a caller that unlocks the playlist, and a listener may
// call back into the playlist or register and remove listeners.
//
// Listeners are held without references. Removing one waits until a delivery to it that is
// under way has returned (unless the removal comes from inside a delivery on the worker), so a
// removed listener is never called again and may be destroyed at once.
#pragma once

#include <cstdint>
#include <memory>

#include "interfaces/core/playlist.h"
#include "platform/thread.h"

namespace vk2 {

class ChangeNotifier {
 public:
  ChangeNotifier();
  // Stops the worker (see Stop).
  ~ChangeNotifier();
  ChangeNotifier(const ChangeNotifier&) = delete;
  ChangeNotifier& operator=(const ChangeNotifier&) = delete;

  // False when the worker could not be started.
  bool Start();
  // kErrAlreadyPresent when adding a present listener, kErrNotFound when removing an absent
  // one, kErrMissingArg for null.
  int32_t AddRemove(MPlaylistListener* listener, bool add, bool wantsDetails);
  // Hands a list to the worker; after Stop it is dropped.
  void Queue(std::unique_ptr<PlaylistChangeList> list);
  // Ends the worker and drops what is still queued. Waits for the worker unless called on it;
  // there it returns at once and the worker ends after the delivery in progress, touching
  // nothing of this object (which may be gone by then).
  void Stop();
  bool OnWorker() const { return worker_.IsCurrent(); }

 private:
  struct State;
  static void Run(const std::shared_ptr<State>& state);

  std::shared_ptr<State> state_;
  Thread worker_;
};

}  // namespace vk2

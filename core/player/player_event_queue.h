// The player's event thread: events from the player thread, the media system's threads and
// callers' threads enter one queue, so listeners hear them in posting order on one thread and
// never on a thread that plays audio.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "foundation/text/tstring.h"
#include "platform/thread.h"

namespace vk2 {

struct PlayerEvent {
  int32_t code = 0;
  TString text;
};

class PlayerEventQueue {
 public:
  using Handler = std::function<void(const PlayerEvent&)>;

  explicit PlayerEventQueue(Handler handler);
  // Stops the worker (see Stop).
  ~PlayerEventQueue();
  PlayerEventQueue(const PlayerEventQueue&) = delete;
  PlayerEventQueue& operator=(const PlayerEventQueue&) = delete;

  bool Start();
  // Ends the worker; events still queued are dropped. Called on the worker itself (from inside
  // the handler) it does not wait: the worker ends as soon as the handler returns, touching
  // nothing of this object.
  void Stop();
  // Queued for the worker; dropped once the queue has stopped.
  void Post(int32_t code, TString text);
  bool IsWorkerThread() const;

 private:
  struct State;
  static void Run(const std::shared_ptr<State>& state);

  std::shared_ptr<State> state_;
  Thread thread_;
};

}  // namespace vk2

// Cueing a new chain and waiting until its endpoint's buffer is filled far enough to play
// without a gap. The wait ends early when the switch is cancelled, and gives up after a time
// limit (a stalled source then plays what it has), so no caller is held by a stalled stream.
#pragma once

#include <cstdint>

namespace vk2 {

class MMediaChain;
struct SwitchTicket;

inline constexpr double kSwitchBufferLevel = 0.75;
inline constexpr uint32_t kBufferWaitLimitMs = 10'000;
// How often the level is read: the wait sleeps on the ticket's cancel event in between.
inline constexpr uint32_t kBufferPollMs = 10;
// How often the heard time is read while a crossfade waits for its start.
inline constexpr uint32_t kHeardPollMs = 5;

// 0 when the level was reached, the endpoint stopped answering "bufferlevel" or the limit
// passed; kErrCancelled when the ticket was cancelled; the chain's failure to cue otherwise.
int32_t CueAndFill(MMediaChain* chain, double level, SwitchTicket* ticket,
                   uint32_t limitMs = kBufferWaitLimitMs);

// Waits until the chain has been heard up to `seconds` ("streamtime"). False when the ticket was
// cancelled, the chain stopped answering or `limitMs` passed first.
bool WaitUntilHeard(MMediaChain* chain, double seconds, SwitchTicket* ticket, uint32_t limitMs);

}  // namespace vk2

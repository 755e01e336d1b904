#include "core/media/buffer_wait.h"

#include "component/object/query.h"
#include "core/media/switch_ticket.h"
#include "foundation/util/result.h"
#include "interfaces/audio/chain_types.h"
#include "interfaces/audio/media_chain.h"
#include "interfaces/audio/module_properties.h"
#include "interfaces/ids.h"
#include "platform/clock.h"
#include "platform/sleep.h"

namespace vk2 {

int32_t CueAndFill(MMediaChain* chain, double level, SwitchTicket* ticket, uint32_t limitMs) {
  if (!chain) return kErrMissingArg;
  auto cancelled = [ticket] { return ticket && ticket->IsCancelled(); };
  if (cancelled()) return kErrCancelled;
  const int32_t cued = chain->StateChange(kChainCued);
  if (cancelled()) return kErrCancelled;
  if (cued < 0) return cued;
  auto info = Query<MModuleInfo>(chain, kIID_MModuleInfo);
  if (!info) return kOk;
  Clock& clock = CurrentClock();
  const uint64_t deadline = clock.NowMs() + limitMs;
  for (;;) {
    double current = 0.0;
    if (info->GetNumber(u"bufferlevel", &current) < 0 || current >= level) return kOk;
    if (clock.NowMs() >= deadline) return kOk;
    if (ticket ? ticket->cancel.Wait(kBufferPollMs) : (SleepMs(kBufferPollMs), false)) {
      return kErrCancelled;
    }
  }
}

bool WaitUntilHeard(MMediaChain* chain, double seconds, SwitchTicket* ticket, uint32_t limitMs) {
  auto info = Query<MModuleInfo>(chain, kIID_MModuleInfo);
  if (!info) return false;
  Clock& clock = CurrentClock();
  const uint64_t deadline = clock.NowMs() + limitMs;
  for (;;) {
    double heard = 0.0;
    if (info->GetNumber(u"streamtime", &heard) < 0) return false;
    if (heard >= seconds) return true;
    if (clock.NowMs() >= deadline) return false;
    if (ticket ? ticket->cancel.Wait(kHeardPollMs) : (SleepMs(kHeardPollMs), false)) return false;
  }
}

}  // namespace vk2

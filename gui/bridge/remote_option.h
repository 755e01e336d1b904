// The remote-host switch of the first command line: "-r<host>[:port]", the port decimal or
// hexadecimal after "0x". Host names resolve to their first IPv4 address.
#pragma once

#include <cstdint>

#include "foundation/containers/tarray.h"
#include "foundation/text/tstring.h"

namespace vk2::gui {

struct RemoteHost {
  uint32_t address = 0;  // host byte order
  uint32_t port = 0;
  bool set = false;
};

enum class RemoteOptionResult { kNone, kResolved, kUnresolvable };

// Reads every remote-host token in order; later ones win. A token counts only when a host
// follows "-r" and the token is not one of the command switches (-r, -repeat, -resume, ...),
// which would otherwise be taken for hosts and cost the program its media core.
RemoteOptionResult ReadRemoteOption(const TArray<TString>& tokens, RemoteHost* host);

// The first IPv4 address of the name, in host byte order.
bool ResolveHostName(const TString& name, uint32_t* address);

}  // namespace vk2::gui

#include "gui/bridge/remote_option.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>

#include "gui/commands/command_dispatcher.h"

namespace vk2::gui {

bool ResolveHostName(const TString& name, uint32_t* address) {
  if (name.IsEmpty()) return false;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  addrinfo* found = nullptr;
  if (getaddrinfo(Utf8(name).c_str(), nullptr, &hints, &found) != 0 || !found) return false;
  const auto* in = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
  *address = ntohl(in->sin_addr.s_addr);
  freeaddrinfo(found);
  return true;
}

RemoteOptionResult ReadRemoteOption(const TArray<TString>& tokens, RemoteHost* host) {
  RemoteOptionResult result = RemoteOptionResult::kNone;
  for (const TString& token : tokens) {
    if (token.Length() < 3 || token[0] != u'-' || token[1] != u'r') continue;
    if (IsCommandSwitch(token.c_str() + 1)) continue;
    TString rest = token.Mid(2);
    int32_t colon = rest.Find(u":");
    TString name = colon < 0 ? rest : rest.Mid(0, colon);
    if (name.IsEmpty()) continue;
    if (colon >= 0) {
      TString port = rest.Mid(colon + 1);
      if (!port.IsEmpty()) port.ParseUnsigned(&host->port);
    }
    uint32_t address = 0;
    if (!ResolveHostName(name, &address)) return RemoteOptionResult::kUnresolvable;
    host->address = address;
    host->set = true;
    result = RemoteOptionResult::kResolved;
  }
  return result;
}

}  // namespace vk2::gui

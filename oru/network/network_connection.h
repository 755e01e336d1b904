// `NetworkClass`'s object: one URL connection of the platform's network layer behind MNetwork,
// with the proxy given as settings text and the download of a URL into a file.
#pragma once

#include <memory>

#include "component/object/com_object.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/network.h"
#include "platform/critical_section.h"
#include "platform/net/net_connection.h"

namespace vk2::oru {

class NetworkConnection final : public ComObject<NetworkConnection, Face<MNetwork, kIID_MNetwork>>,
                                private NetNotifySink {
 public:
  explicit NetworkConnection(std::unique_ptr<NetConnection> connection);

  int32_t Open(const char* url, uint32_t mode, int64_t start, int64_t end, Event* cancel) override;
  int64_t Read(void* buffer, uint64_t count, uint32_t flags, Event* cancel) override;
  int32_t Close() override;
  int32_t SetProxy(const NetworkProxySettings& proxy) override;
  int32_t SetTimeouts(const NetworkTimeouts& timeouts) override;
  int32_t SetNotifySink(MNetworkNotifySink* sink) override;
  uint32_t Capabilities() override;
  int64_t ContentLength() override;
  bool IsConnected() override;
  int32_t SocketHandle() override;
  int32_t SetRequestHeader(const char* name, const char* value) override;
  int32_t GetResponseHeader(const char* name, NarrowString* value) override;
  uint32_t ResponseHeaderCount() override;
  int32_t GetResponseHeaderAt(uint32_t index, NarrowString* name, NarrowString* value) override;
  int32_t Download(const char* url, const char16_t* path, MNetworkDownloadProgress* progress,
                   Event* cancel) override;

 private:
  ~NetworkConnection() override;

  // The platform connection tells the sink, which hears of this object.
  void OnNotify(int32_t code, NetConnection& connection) override;

  // Held through every call, waits included: callers are served one at a time, and a sink
  // called inside Open may call back in.
  CriticalSection lock_;
  std::unique_ptr<NetConnection> connection_;
  NetTimeouts timeouts_;
  MNetworkNotifySink* sink_ = nullptr;
};

// Makes a connection object for `iid` (one reference); none is made as part of another.
int32_t CreateNetworkObject(const Guid& iid, void** out, MUnknown* outer);

}  // namespace vk2::oru

#include "oru/network/network_connection.h"

#include <new>

#include "foundation/util/result.h"
#include "oru/network/download_to_file.h"
#include "oru/network/proxy_address.h"

namespace vk2::oru {
namespace {

// The platform layer's results pass through unchanged.
static_assert(kNetworkFailed == kNetFailed && kNetworkTimedOut == kNetTimedOut &&
              kNetworkCancelled == kNetCancelled && kNetworkDisconnected == kNetDisconnected &&
              kNetworkBadResponse == kNetBadResponse && kNetworkRefused == kNetRefused &&
              kNetworkNotOpen == kNetNotOpen);
static_assert(kNetworkCanOpenAtOffset == kNetCanOpenAtOffset);
static_assert(kNetworkNotifyResponseHeaders == kNetNotifyResponseHeaders &&
              kNetworkNotifyPreparingRequest == kNetNotifyPreparingRequest);

const char* OrEmpty(const char* text) {
  return text ? text : "";
}

}  // namespace

NetworkConnection::NetworkConnection(std::unique_ptr<NetConnection> connection)
    : connection_(std::move(connection)) {
  connection_->SetNotifySink(this);
}

NetworkConnection::~NetworkConnection() {
  connection_->Close();
}

int32_t NetworkConnection::Open(const char* url, uint32_t mode, int64_t start, int64_t end,
                                Event* cancel) {
  if (!url || mode != kNetworkOpenRead) return kNetworkFailed;
  ScopedLock lock(lock_);
  connection_->SetTimeouts(timeouts_);
  return connection_->Open(url, start, end, cancel);
}

int64_t NetworkConnection::Read(void* buffer, uint64_t count, uint32_t flags, Event* cancel) {
  if (!buffer && count > 0) return kNetworkFailed;
  ScopedLock lock(lock_);
  if ((flags & kNetworkReadWait) != 0) {
    return connection_->Read(buffer, static_cast<size_t>(count), cancel);
  }
  // Only what has arrived: a read whose silence limit is already over.
  NetTimeouts now = timeouts_;
  now.readMs = 0;
  connection_->SetTimeouts(now);
  const int64_t n = connection_->Read(buffer, static_cast<size_t>(count), cancel);
  connection_->SetTimeouts(timeouts_);
  return n == kNetTimedOut ? int64_t{kNetworkNothingYet} : n;
}

int32_t NetworkConnection::Close() {
  ScopedLock lock(lock_);
  connection_->Close();
  return kOk;
}

int32_t NetworkConnection::SetProxy(const NetworkProxySettings& proxy) {
  NetProxy address = ParseProxyAddress(OrEmpty(proxy.url));
  if (!address.host.empty()) {
    address.user = OrEmpty(proxy.user);
    address.password = OrEmpty(proxy.password);
  }
  ScopedLock lock(lock_);
  connection_->SetProxy(address);
  return kOk;
}

int32_t NetworkConnection::SetTimeouts(const NetworkTimeouts& timeouts) {
  ScopedLock lock(lock_);
  timeouts_.connectMs = timeouts.connectMs;
  timeouts_.responseMs = timeouts.responseMs;
  timeouts_.readMs = timeouts.readMs;
  timeouts_.openMs = timeouts.openMs;
  connection_->SetTimeouts(timeouts_);
  return kOk;
}

int32_t NetworkConnection::SetNotifySink(MNetworkNotifySink* sink) {
  ScopedLock lock(lock_);
  sink_ = sink;
  return kOk;
}

void NetworkConnection::OnNotify(int32_t code, NetConnection&) {
  // Inside Open, on its thread, under the lock.
  if (sink_) sink_->OnNotify(code, this);
}

uint32_t NetworkConnection::Capabilities() {
  ScopedLock lock(lock_);
  return connection_->Capabilities();
}

int64_t NetworkConnection::ContentLength() {
  ScopedLock lock(lock_);
  return connection_->ContentLength();
}

bool NetworkConnection::IsConnected() {
  ScopedLock lock(lock_);
  return connection_->IsConnected();
}

int32_t NetworkConnection::SocketHandle() {
  ScopedLock lock(lock_);
  return connection_->SocketHandle();
}

int32_t NetworkConnection::SetRequestHeader(const char* name, const char* value) {
  if (!name || !*name) return kErrMissingArg;
  ScopedLock lock(lock_);
  if (value) {
    connection_->RequestHeaders().Set(name, value);
  } else {
    connection_->RequestHeaders().Remove(name);
  }
  return kOk;
}

int32_t NetworkConnection::GetResponseHeader(const char* name, NarrowString* value) {
  if (!name || !value) return kErrMissingArg;
  ScopedLock lock(lock_);
  const std::string* found = connection_->ResponseHeaders().Find(name);
  if (!found) return kErrNotFound;
  *value = NarrowString(found->c_str());
  return kOk;
}

uint32_t NetworkConnection::ResponseHeaderCount() {
  ScopedLock lock(lock_);
  return static_cast<uint32_t>(connection_->ResponseHeaders().Pairs().size());
}

int32_t NetworkConnection::GetResponseHeaderAt(uint32_t index, NarrowString* name,
                                               NarrowString* value) {
  ScopedLock lock(lock_);
  const auto& pairs = connection_->ResponseHeaders().Pairs();
  if (index >= pairs.size()) return kErrNotFound;
  if (name) *name = NarrowString(pairs[index].first.c_str());
  if (value) *value = NarrowString(pairs[index].second.c_str());
  return kOk;
}

int32_t NetworkConnection::Download(const char* url, const char16_t* path,
                                    MNetworkDownloadProgress* progress, Event* cancel) {
  if (!url || !path) return kNetworkFailed;
  const NarrowString file = Utf8(TString(path));
  ScopedLock lock(lock_);
  connection_->SetTimeouts(timeouts_);
  return DownloadToFile(*connection_, url, file.c_str(), progress, cancel);
}

int32_t CreateNetworkObject(const Guid& iid, void** out, MUnknown* outer) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  // A connection is a whole object; none is made as a part of another.
  if (outer) return kErrNoInterface;
  std::unique_ptr<NetConnection> connection = MakeNetConnection();
  auto* object = new (std::nothrow) NetworkConnection(std::move(connection));
  if (!object) return kErrOutOfMemory;
  object->AddRef();
  const int32_t r = object->QueryInterface(iid, out, 1, 0);
  object->Release();
  return r;
}

}  // namespace vk2::oru

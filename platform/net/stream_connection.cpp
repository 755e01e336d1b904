#include "platform/net/stream_connection.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/clock.h"
#include "platform/wait.h"

namespace vk2 {
namespace {

// A response head larger than this is no head we can use.
constexpr size_t kMaxHeadBytes = 64 * 1024;

}  // namespace

std::unique_ptr<NetConnection> MakeNetConnection() {
  return std::make_unique<StreamConnection>();
}

int32_t StreamConnection::Open(const std::string& url, int64_t start, int64_t end, Event* cancel) {
  Close();
  if (start < 0 || (end >= 0 && end < start)) return kNetFailed;
  const auto parts = ParseUrl(url);
  if (!parts) return kNetFailed;
  openDeadline_ = DeadlineAfter(CurrentClock(), timeouts_.openMs);
  int32_t r = kNetFailed;
  if (parts->scheme == "http") {
    r = OpenHttp(*parts, start, end, cancel);
  } else if (parts->scheme == "ftp") {
    r = OpenFtp(*parts, start, end, cancel);
  } else if (parts->scheme == "raw") {
    // A raw stream is read as it comes: it starts where the server starts it.
    r = start == 0 ? OpenRaw(*parts, cancel) : kNetRefused;
  }
  if (r != kNetOk) Close();
  return r;
}

void StreamConnection::Close() {
  data_.Close();
  control_.Close();
  pending_.clear();
  capabilities_ = 0;
  contentLength_ = -1;
  remaining_ = -1;
  chunked_ = false;
  chunks_ = ChunkedDecoder();
}

uint64_t StreamConnection::StepDeadline(uint32_t ownMs) const {
  return std::min(DeadlineAfter(CurrentClock(), ownMs), openDeadline_);
}

uint32_t StreamConnection::StepMs(uint32_t ownMs) const {
  return MsUntil(CurrentClock(), StepDeadline(ownMs));
}

int32_t StreamConnection::OpenRaw(const UrlParts& url, Event* cancel) {
  if (url.port == 0) return kNetFailed;
  if (sink_) sink_->OnNotify(kNetNotifyPreparingRequest, *this);
  const int32_t r = data_.Connect(url.host, url.port, StepMs(timeouts_.connectMs), cancel);
  if (r != kNetOk) return r;
  responseHeaders_.Clear();
  if (sink_) sink_->OnNotify(kNetNotifyResponseHeaders, *this);
  return kNetOk;
}

int32_t StreamConnection::ReceiveHead(std::string* head, Event* cancel) {
  std::string got;
  char buffer[4096];
  const uint64_t deadline = StepDeadline(timeouts_.responseMs);
  for (;;) {
    const uint32_t left = MsUntil(CurrentClock(), deadline);
    if (left == 0) return kNetTimedOut;
    const int64_t n = data_.Receive(buffer, sizeof(buffer), left, cancel);
    if (n < 0) return static_cast<int32_t>(n);
    if (n == 0) return kNetBadResponse;
    got.append(buffer, static_cast<size_t>(n));
    const size_t end = FindHeadEnd(got);
    if (end > 0) {
      *head = got.substr(0, end);
      pending_ = got.substr(end);
      return kNetOk;
    }
    if (got.size() > kMaxHeadBytes) return kNetBadResponse;
  }
}

int64_t StreamConnection::ReceiveRaw(void* buffer, size_t length, Event* cancel) {
  if (!pending_.empty()) {
    const size_t n = std::min(length, pending_.size());
    std::memcpy(buffer, pending_.data(), n);
    pending_.erase(0, n);
    return static_cast<int64_t>(n);
  }
  return data_.Receive(buffer, length, timeouts_.readMs, cancel);
}

int64_t StreamConnection::Read(void* buffer, size_t length, Event* cancel) {
  if (!data_.IsOpen()) return kNetNotOpen;
  if (length == 0 || remaining_ == 0) return 0;
  if (chunked_) return ReadChunked(buffer, length, cancel);
  const size_t want =
      remaining_ > 0
          ? static_cast<size_t>(std::min<int64_t>(remaining_, static_cast<int64_t>(length)))
          : length;
  const int64_t n = ReceiveRaw(buffer, want, cancel);
  if (n < 0) return n;
  if (n == 0) return remaining_ > 0 ? kNetDisconnected : 0;
  if (remaining_ > 0) remaining_ -= n;
  return n;
}

int64_t StreamConnection::ReadChunked(void* buffer, size_t length, Event* cancel) {
  std::vector<char> raw(length);
  for (;;) {
    if (chunks_.Finished()) return 0;
    const int64_t n = ReceiveRaw(raw.data(), raw.size(), cancel);
    if (n < 0) return n;
    if (n == 0) return kNetDisconnected;  // closed before the last chunk
    const int64_t decoded = chunks_.Feed(std::string_view(raw.data(), static_cast<size_t>(n)),
                                         static_cast<char*>(buffer));
    if (decoded < 0) return kNetBadResponse;
    if (decoded > 0) return decoded;
  }
}

}  // namespace vk2

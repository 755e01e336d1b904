// The runtime's network service (`NetworkClass`): one URL connection per object ("http://",
// "ftp://", "raw://"), opened at a byte offset and read in order, with the response's length
// and headers; and the download of a URL into a file. Every wait has a time limit and ends at
// once when the caller's cancel event is set.
//
// An object serves one caller at a time: calls made at once from several threads are taken one
// after the other, so a thread that must end another's wait sets that wait's cancel event.
#pragma once

#include <cstdint>

#include "foundation/text/tstring.h"
#include "interfaces/unknown.h"

namespace vk2 {

class Event;
class MNetwork;

// Results besides byte counts.
inline constexpr int32_t kNetworkOk = 0;
// A bad URL or argument, a name that did not resolve, a peer that refused the connection.
inline constexpr int32_t kNetworkFailed = -1;
inline constexpr int32_t kNetworkTimedOut = -2;   // a time limit ran out
inline constexpr int32_t kNetworkCancelled = -3;  // the cancel event was set
// The peer closed before all that was announced had come.
inline constexpr int32_t kNetworkDisconnected = -4;
inline constexpr int32_t kNetworkBadResponse = -5;  // the server's answer makes no sense
// The server answered with an error (an HTTP status, an FTP reply).
inline constexpr int32_t kNetworkRefused = -6;
inline constexpr int32_t kNetworkNotOpen = -7;
inline constexpr int32_t kNetworkNothingYet = -8;  // a read that does not wait found no bytes
inline constexpr int32_t kNetworkFileFailed = -9;  // a download's file could not be written

// Open's mode: reading, the only one there is.
inline constexpr uint32_t kNetworkOpenRead = 32;
// Read's flag: wait for bytes (within the read time limit) rather than answer at once.
inline constexpr uint32_t kNetworkReadWait = 1;
// Capabilities(): the connection can be opened at an offset (HTTP ranges, FTP restarts).
inline constexpr uint32_t kNetworkCanOpenAtOffset = 4;

// Points of a transfer a notification sink hears about.
inline constexpr int32_t kNetworkNotifyResponseHeaders = 11;
inline constexpr int32_t kNetworkNotifyPreparingRequest = 13;

// Called on the thread that opens the connection, inside Open. At
// kNetworkNotifyPreparingRequest the socket is connected and the request headers may still be
// changed; at kNetworkNotifyResponseHeaders the response headers are there.
class MNetworkNotifySink {
 public:
  virtual void OnNotify(int32_t code, MNetwork* connection) = 0;

 protected:
  ~MNetworkNotifySink() = default;
};

// Hears how a download proceeds, after each piece written to the file.
class MNetworkDownloadProgress {
 public:
  // Bytes written so far and the length the server announced (-1 unknown).
  virtual void OnDownloadProgress(int64_t received, int64_t total) = 0;

 protected:
  ~MNetworkDownloadProgress() = default;
};

// A proxy as the settings give it: "http://host:port/" or "host:port" (port 80 when none is
// given). A null or empty URL means direct connections; a user name sends basic authorization
// to the proxy.
struct NetworkProxySettings {
  const char* url = nullptr;
  const char* user = nullptr;
  const char* password = nullptr;
};

struct NetworkTimeouts {
  uint32_t connectMs = 10000;
  uint32_t responseMs = 15000;  // from the request to the end of the response head
  uint32_t readMs = 30000;      // longest silence while reading the body
  // The whole of Open (every redirect and, for FTP, both channels). A body may trickle for as
  // long as it lives.
  uint32_t openMs = 30000;
};

class MNetwork : public MUnknown {
 public:
  // Opens `url` (UTF-8, sent as given) in `mode` kNetworkOpenRead from byte `start` to byte
  // `end` inclusive (-1: to the end). A server that would send the bytes from elsewhere than
  // `start` is refused. kNetworkOk or a failure above.
  virtual int32_t Open(const char* url, uint32_t mode, int64_t start, int64_t end,
                       Event* cancel) = 0;
  // The next bytes of the body: the count, 0 at the end, or a failure above. With
  // kNetworkReadWait it waits until some bytes are there; without, kNetworkNothingYet when none
  // are.
  virtual int64_t Read(void* buffer, uint64_t count, uint32_t flags, Event* cancel) = 0;
  virtual int32_t Close() = 0;

  // For the opens from now on.
  virtual int32_t SetProxy(const NetworkProxySettings& proxy) = 0;
  virtual int32_t SetTimeouts(const NetworkTimeouts& timeouts) = 0;
  // Not owned; null for none.
  virtual int32_t SetNotifySink(MNetworkNotifySink* sink) = 0;

  virtual uint32_t Capabilities() = 0;
  // The body's length as the server announced it, or -1.
  virtual int64_t ContentLength() = 0;
  virtual bool IsConnected() = 0;
  // The socket the body comes through (-1 when closed), for side channels that need its
  // addresses. The connection keeps it.
  virtual int32_t SocketHandle() = 0;

  // An extra request header for the opens from now on; a null value removes it.
  virtual int32_t SetRequestHeader(const char* name, const char* value) = 0;
  // The first value of a response header (names compare ignoring ASCII case); kErrNotFound
  // when absent.
  virtual int32_t GetResponseHeader(const char* name, NarrowString* value) = 0;
  virtual uint32_t ResponseHeaderCount() = 0;
  // kErrNotFound past the end.
  virtual int32_t GetResponseHeaderAt(uint32_t index, NarrowString* name, NarrowString* value) = 0;

  // Fetches `url` whole into the file `path` through this connection (its proxy, time limits
  // and sink): the bytes go to a temporary file beside it, which takes the file's place only
  // once the transfer is complete. A failure at any point leaves the file as it was and no
  // temporary behind. `progress` may be null. kNetworkOk or a failure above.
  virtual int32_t Download(const char* url, const char16_t* path,
                           MNetworkDownloadProgress* progress, Event* cancel) = 0;

 protected:
  ~MNetwork() = default;
};

}  // namespace vk2

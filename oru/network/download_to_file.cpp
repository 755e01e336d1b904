#include "oru/network/download_to_file.h"

#include <vector>

#include "interfaces/runtime/network.h"
#include "platform/atomic_file_writer.h"
#include "platform/event.h"
#include "platform/registry/file_stamp.h"

namespace vk2::oru {
namespace {

constexpr size_t kPieceBytes = 64 * 1024;

// Writes the open connection's body; a NetResult or kNetworkFileFailed.
int32_t WriteBody(NetConnection& connection, AtomicFileWriter& writer,
                  MNetworkDownloadProgress* progress, Event* cancel) {
  std::vector<char> piece(kPieceBytes);
  const int64_t total = connection.ContentLength();
  int64_t received = 0;
  for (;;) {
    // A fast server never makes the read wait, where it would look at the cancel.
    if (cancel && cancel->Wait(0)) return kNetCancelled;
    const int64_t n = connection.Read(piece.data(), piece.size(), cancel);
    if (n < 0) return static_cast<int32_t>(n);
    if (n == 0) break;
    if (writer.Write(std::string_view(piece.data(), static_cast<size_t>(n)))) {
      return kNetworkFileFailed;
    }
    received += n;
    if (progress) progress->OnDownloadProgress(received, total);
  }
  // The connection reports a body cut short; this guards the count as well.
  if (total >= 0 && received != total) return kNetDisconnected;
  return kNetOk;
}

}  // namespace

int32_t DownloadToFile(NetConnection& connection, const std::string& url, const std::string& path,
                       MNetworkDownloadProgress* progress, Event* cancel) {
  if (path.empty()) return kNetworkFileFailed;
  int32_t r = connection.Open(url, 0, -1, cancel);
  if (r != kNetOk) return r;
  // What writers killed half-way left beside this file goes first.
  RemoveAbandonedTemporaries(path);
  AtomicFileWriter writer;
  if (writer.Begin(path)) {
    r = kNetworkFileFailed;
  } else {
    r = WriteBody(connection, writer, progress, cancel);
    if (r == kNetOk && writer.Commit()) r = kNetworkFileFailed;
  }
  // Anything short of a commit leaves no temporary.
  writer.Abandon();
  connection.Close();
  return r;
}

}  // namespace vk2::oru

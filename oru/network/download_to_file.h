// A URL fetched whole into a file: the body goes to a claimed temporary beside the file, which
// replaces the file only once every byte has come.
#pragma once

#include <cstdint>
#include <string>

#include "platform/net/net_connection.h"

namespace vk2 {
class MNetworkDownloadProgress;
}

namespace vk2::oru {

// Opens `url` on `connection` from its start and writes the body to `path` (UTF-8). A NetResult,
// or kNetworkFileFailed when the file cannot be written; on any failure `path` is as it was
// and no temporary is left. The connection is closed on return.
int32_t DownloadToFile(NetConnection& connection, const std::string& url, const std::string& path,
                       MNetworkDownloadProgress* progress, Event* cancel);

}  // namespace vk2::oru

// FTP control replies and passive-mode ports.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/net/ftp_reply.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string buffer(reinterpret_cast<const char*>(data), size);
  while (auto reply = vk2::TakeFtpReply(buffer)) {
    (void)vk2::PassivePort(227, reply->text);
    (void)vk2::PassivePort(229, reply->text);
  }
  return 0;
}

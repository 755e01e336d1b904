// What the network service's tests share: a new connection object, a read to the end and the
// time since a moment.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>

#include "foundation/util/ref_ptr.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/network.h"
#include "oru/network/network_connection.h"
#include "tests/platform/net/http_test_server.h"

namespace vk2::test {

inline RefPtr<MNetwork> NewConnection() {
  void* p = nullptr;
  EXPECT_EQ(oru::CreateNetworkObject(kIID_MNetwork, &p, nullptr), 0);
  return RefPtr<MNetwork>::Adopt(static_cast<MNetwork*>(p));
}

// The body to its end; `ended` gets what ended it (0, or a failure).
inline std::string ReadAll(MNetwork& connection, int64_t* ended, Event* cancel = nullptr) {
  std::string all;
  char buffer[4096];
  for (;;) {
    const int64_t n = connection.Read(buffer, sizeof(buffer), kNetworkReadWait, cancel);
    if (n <= 0) {
      *ended = n;
      return all;
    }
    all.append(buffer, static_cast<size_t>(n));
  }
}

inline int64_t MsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                               start)
      .count();
}

}  // namespace vk2::test

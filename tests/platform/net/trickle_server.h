// A loopback TCP server that answers every connection slowly: it sends `prefix` at once, then
// `trickle` one byte every `intervalMs`, over and over, until the peer goes, `limitMs` has
// passed (so that a client that never gives up cannot hold a test for ever) or the server ends.
// It reads nothing: whatever the client sends is ignored.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "tests/platform/net/loopback_listener.h"

namespace vk2::test {

class TrickleServer {
 public:
  TrickleServer(std::string prefix, std::string trickle, int intervalMs, int limitMs = 5000)
      : prefix_(std::move(prefix)),
        trickle_(std::move(trickle)),
        intervalMs_(intervalMs),
        limitMs_(limitMs) {
    listen_ = ListenOnLoopback(&port_);
    if (listen_ < 0) return;
    acceptor_ = std::thread([this] { AcceptLoop(); });
  }
  ~TrickleServer() {
    stop_ = true;
    if (acceptor_.joinable()) acceptor_.join();
    for (std::thread& t : threads_)
      t.join();
    if (listen_ >= 0) close(listen_);
  }

  std::string Url(const std::string& scheme) const {
    return scheme + "://127.0.0.1:" + std::to_string(port_) + "/file";
  }
  int Connections() const { return connections_.load(); }

 private:
  void AcceptLoop() {
    while (!stop_) {
      pollfd p{listen_, POLLIN, 0};
      if (poll(&p, 1, 10) <= 0) continue;
      const int fd = accept4(listen_, nullptr, nullptr, SOCK_CLOEXEC);
      if (fd < 0) continue;
      ++connections_;
      threads_.emplace_back([this, fd] {
        Serve(fd);
        close(fd);
      });
    }
  }

  void Serve(int fd) {
    if (send(fd, prefix_.data(), prefix_.size(), MSG_NOSIGNAL) < 0) return;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs_);
    for (size_t i = 0; !stop_ && !trickle_.empty(); ++i) {
      if (std::chrono::steady_clock::now() >= end) return;
      // A peer that closed shows as readable with nothing to read.
      pollfd p{fd, POLLIN, 0};
      if (poll(&p, 1, intervalMs_) > 0) {
        char drop[256];
        if (recv(fd, drop, sizeof(drop), MSG_DONTWAIT) <= 0) return;
      }
      if (send(fd, &trickle_[i % trickle_.size()], 1, MSG_NOSIGNAL) < 0) return;
    }
  }

  const std::string prefix_;
  const std::string trickle_;
  const int intervalMs_;
  const int limitMs_;
  int listen_ = -1;
  uint16_t port_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<int> connections_{0};
  std::thread acceptor_;
  std::vector<std::thread> threads_;  // only the acceptor adds, only the destructor joins
};

}  // namespace vk2::test

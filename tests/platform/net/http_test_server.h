// A small HTTP server on loopback for tests: each request is answered as the test's handler
// says (body, ranges or not, length or not, chunks, a status, a redirect, extra headers, a
// close part way, or no answer at all), each connection on a thread of its own.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/platform/net/loopback_listener.h"

namespace vk2::test {

struct HttpAnswer {
  std::string body;
  int status = 200;
  bool ranges = true;      // honour "Range: bytes=a-b"
  bool sendLength = true;  // send Content-Length
  bool chunked = false;
  bool icyStatus = false;   // "ICY 200 OK" in place of the HTTP status line
  std::string headers;      // extra lines, each ending "\r\n"
  std::string location;     // with a 3xx status
  int64_t closeAfter = -1;  // close after this many body bytes
  bool stall = false;       // read the request, never answer
  int64_t stallAfter = -1;  // send this many body bytes, then nothing more while open
};

class HttpTestServer {
 public:
  using Handler = std::function<HttpAnswer(const std::string& path, const std::string& request)>;

  explicit HttpTestServer(Handler handler) : handler_(std::move(handler)) {
    listen_ = ListenOnLoopback(&port_);
    if (listen_ < 0) return;
    acceptor_ = std::thread([this] { AcceptLoop(); });
  }
  ~HttpTestServer() {
    stop_ = true;
    if (acceptor_.joinable()) acceptor_.join();
    std::vector<std::thread> threads;
    {
      std::lock_guard lock(mutex_);
      threads.swap(threads_);
    }
    for (std::thread& t : threads)
      t.join();
    if (listen_ >= 0) close(listen_);
  }

  uint16_t Port() const { return port_; }
  std::string Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }
  std::vector<std::string> Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
  }
  size_t RequestCount() const { return Requests().size(); }

 private:
  void AcceptLoop() {
    while (!stop_) {
      pollfd p{listen_, POLLIN, 0};
      if (poll(&p, 1, 10) <= 0) continue;
      const int fd = accept4(listen_, nullptr, nullptr, SOCK_CLOEXEC);
      if (fd < 0) continue;
      std::lock_guard lock(mutex_);
      threads_.emplace_back([this, fd] {
        Serve(fd);
        close(fd);
      });
    }
  }

  // Waits up to 10 ms at a time for the peer; false when stopping.
  bool Readable(int fd) {
    while (!stop_) {
      pollfd p{fd, POLLIN, 0};
      if (poll(&p, 1, 10) > 0) return true;
    }
    return false;
  }
  bool SendAll(int fd, const std::string& data) {
    size_t done = 0;
    while (done < data.size()) {
      const ssize_t n = send(fd, data.data() + done, data.size() - done, MSG_NOSIGNAL);
      if (n <= 0) return false;
      done += static_cast<size_t>(n);
    }
    return true;
  }

  void Serve(int fd) {
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos) {
      if (!Readable(fd)) return;
      const ssize_t n = recv(fd, buffer, sizeof(buffer), 0);
      if (n <= 0) return;
      request.append(buffer, static_cast<size_t>(n));
    }
    {
      std::lock_guard lock(mutex_);
      requests_.push_back(request);
    }
    const size_t pathStart = request.find(' ') + 1;
    const std::string path = request.substr(pathStart, request.find(' ', pathStart) - pathStart);
    HttpAnswer answer = handler_(path, request);
    if (answer.stall) {
      while (Readable(fd) && recv(fd, buffer, sizeof(buffer), 0) > 0) {
      }
      return;
    }
    std::string body = answer.body;
    int status = answer.status;
    std::string head;
    const size_t range = request.find("Range: bytes=");
    if (status == 200 && answer.ranges && range != std::string::npos) {
      const size_t a = range + 13;
      const uint64_t first = std::stoull(request.substr(a));
      const size_t dash = request.find('-', a);
      const size_t eol = request.find("\r\n", dash);
      const std::string lastText = request.substr(dash + 1, eol - dash - 1);
      uint64_t last = lastText.empty() ? answer.body.size() - 1 : std::stoull(lastText);
      last = std::min<uint64_t>(last, answer.body.size() - 1);
      if (first >= answer.body.size()) {
        SendAll(fd, "HTTP/1.0 416 Range Not Satisfiable\r\n\r\n");
        return;
      }
      body = answer.body.substr(first, last - first + 1);
      status = 206;
      head += "Content-Range: bytes " + std::to_string(first) + "-" + std::to_string(last) + "/" +
              std::to_string(answer.body.size()) + "\r\n";
    }
    std::string line = answer.icyStatus ? "ICY " : "HTTP/1.1 ";
    line += std::to_string(status) + " Answer\r\n";
    if (!answer.location.empty()) head += "Location: " + answer.location + "\r\n";
    if (answer.chunked) {
      head += "Transfer-Encoding: chunked\r\n";
    } else if (answer.sendLength) {
      head += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    }
    if (answer.ranges) head += "Accept-Ranges: bytes\r\n";
    if (!SendAll(fd, line + head + answer.headers + "\r\n")) return;
    if (status >= 300 && status != 206) return;
    if (answer.closeAfter >= 0) body = body.substr(0, static_cast<size_t>(answer.closeAfter));
    if (answer.chunked) {
      std::string framed;
      for (size_t at = 0; at < body.size(); at += 1000) {
        const std::string piece = body.substr(at, 1000);
        char size[32];
        std::snprintf(size, sizeof(size), "%zx;ext=1\r\n", piece.size());
        framed += size + piece + "\r\n";
      }
      if (answer.closeAfter < 0) framed += "0\r\nTrailer: x\r\n\r\n";
      SendAll(fd, framed);
      return;
    }
    if (answer.stallAfter >= 0) {
      SendAll(fd, body.substr(0, static_cast<size_t>(answer.stallAfter)));
      while (Readable(fd) && recv(fd, buffer, sizeof(buffer), 0) > 0) {
      }
      return;
    }
    SendAll(fd, body);
  }

  Handler handler_;
  int listen_ = -1;
  uint16_t port_ = 0;
  std::atomic<bool> stop_{false};
  std::thread acceptor_;
  mutable std::mutex mutex_;
  std::vector<std::thread> threads_;
  std::vector<std::string> requests_;
};

// Bytes whose value tells their offset, so a misplaced read shows.
inline std::string PatternText(size_t n) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i)
    s[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
  return s;
}

}  // namespace vk2::test

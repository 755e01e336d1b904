// Opening an HTTP URL: the request, redirects, and what the response says about the body.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/net/stream_connection.h"

namespace vk2 {
namespace {

constexpr int kMaxRedirects = 5;

bool IsRedirect(int32_t status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

bool ContainsIgnoringCase(const std::string& text, std::string_view word) {
  if (word.size() > text.size()) return false;
  for (size_t i = 0; i + word.size() <= text.size(); ++i) {
    if (EqualsIgnoringCase(std::string_view(text).substr(i, word.size()), word)) return true;
  }
  return false;
}

std::string Base64(std::string_view text) {
  static constexpr char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (size_t i = 0; i < text.size(); i += 3) {
    const size_t n = std::min<size_t>(3, text.size() - i);
    uint32_t v = 0;
    for (size_t k = 0; k < 3; ++k) {
      v = (v << 8) | (k < n ? static_cast<unsigned char>(text[i + k]) : 0u);
    }
    for (size_t k = 0; k < 4; ++k) {
      out += k <= n ? kDigits[(v >> (18 - 6 * k)) & 0x3F] : '=';
    }
  }
  return out;
}

}  // namespace

int32_t StreamConnection::OpenHttp(const UrlParts& first, int64_t start, int64_t end,
                                   Event* cancel) {
  UrlParts url = first;
  for (int hop = 0; hop <= kMaxRedirects; ++hop) {
    data_.Close();
    pending_.clear();
    const bool viaProxy = !proxy_.host.empty() && proxy_.port != 0;
    const int32_t connected =
        viaProxy ? data_.Connect(proxy_.host, proxy_.port, StepMs(timeouts_.connectMs), cancel)
                 : data_.Connect(url.host, url.port, StepMs(timeouts_.connectMs), cancel);
    if (connected != kNetOk) return connected;
    if (sink_) sink_->OnNotify(kNetNotifyPreparingRequest, *this);

    // HTTP/1.0 and "close": the body ends with the connection unless its length is given.
    std::string request = "GET ";
    const std::string path = WirePath(url.path);
    request += viaProxy ? "http://" + HostHeader(url) + path : path;
    request += " HTTP/1.0\r\nHost: " + HostHeader(url) +
               "\r\nUser-Agent: Velkora2/1.0\r\nAccept: */*\r\nConnection: close\r\n";
    if (!url.user.empty()) {
      request += "Authorization: Basic " + Base64(url.user + ":" + url.password) + "\r\n";
    }
    if (viaProxy && !proxy_.user.empty()) {
      request +=
          "Proxy-Authorization: Basic " + Base64(proxy_.user + ":" + proxy_.password) + "\r\n";
    }
    if (start > 0 || end >= 0) {
      request += "Range: bytes=" + std::to_string(start) + "-";
      if (end >= 0) request += std::to_string(end);
      request += "\r\n";
    }
    for (const auto& [name, value] : requestHeaders_.Pairs()) {
      // A header that would break the request's framing is not sent.
      if (name.find_first_of("\r\n:") != std::string::npos ||
          value.find_first_of("\r\n") != std::string::npos) {
        continue;
      }
      request += name + ": " + value + "\r\n";
    }
    request += "\r\n";
    int32_t r = data_.SendAll(request, StepMs(timeouts_.responseMs), cancel);
    if (r != kNetOk) return r;

    std::string headText;
    r = ReceiveHead(&headText, cancel);
    if (r != kNetOk) return r;
    auto head = ParseResponseHead(headText);
    if (!head) return kNetBadResponse;
    lastStatus_ = head->status;
    if (IsRedirect(head->status)) {
      const std::string* location = head->headers.Find("Location");
      if (!location) return kNetBadResponse;
      auto next = ResolveLocation(url, *location);
      if (!next || next->scheme != "http") return kNetBadResponse;
      url = *next;
      continue;
    }
    if (head->status != 200 && head->status != 206) return kNetRefused;
    // A server that ignores the range sends the body from its start.
    if (start > 0 && head->status != 206) return kNetRefused;
    responseHeaders_ = std::move(head->headers);
    HttpResponseHead view;
    view.headers = responseHeaders_;
    contentLength_ = AnnouncedLength(view);
    const std::string* coding = responseHeaders_.Find("Transfer-Encoding");
    chunked_ = coding && ContainsIgnoringCase(*coding, "chunked");
    if (chunked_) contentLength_ = -1;
    remaining_ = contentLength_;
    capabilities_ = kNetCanOpenAtOffset;
    if (sink_) sink_->OnNotify(kNetNotifyResponseHeaders, *this);
    return kNetOk;
  }
  return kNetBadResponse;  // too many redirects
}

}  // namespace vk2

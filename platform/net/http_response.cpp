#include "platform/net/http_response.h"

#include <algorithm>

namespace vk2 {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
    s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

std::optional<int32_t> StatusCode(std::string_view line) {
  size_t p = 0;
  if (line.substr(0, 5) == "HTTP/") {
    if (line.size() < 8 || !IsDigit(line[5]) || line[6] != '.' || !IsDigit(line[7])) {
      return std::nullopt;
    }
    p = 8;
  } else if (line.substr(0, 3) == "ICY") {
    p = 3;
  } else {
    return std::nullopt;
  }
  if (line.size() < p + 4 || line[p] != ' ') return std::nullopt;
  ++p;
  if (!IsDigit(line[p]) || !IsDigit(line[p + 1]) || !IsDigit(line[p + 2])) return std::nullopt;
  if (line.size() > p + 3 && line[p + 3] != ' ') return std::nullopt;
  return (line[p] - '0') * 100 + (line[p + 1] - '0') * 10 + (line[p + 2] - '0');
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

size_t FindHeadEnd(std::string_view data) {
  for (size_t i = 0; i < data.size(); ++i) {
    if (data[i] != '\n') continue;
    if (i + 1 < data.size() && data[i + 1] == '\n') return i + 2;
    if (i + 2 < data.size() && data[i + 1] == '\r' && data[i + 2] == '\n') return i + 3;
  }
  return 0;
}

std::optional<HttpResponseHead> ParseResponseHead(std::string_view head) {
  HttpResponseHead out;
  bool first = true;
  while (!head.empty()) {
    const size_t eol = head.find('\n');
    std::string_view line = head.substr(0, eol);
    head = eol == std::string_view::npos ? std::string_view() : head.substr(eol + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (first) {
      const auto status = StatusCode(line);
      if (!status) return std::nullopt;
      out.status = *status;
      first = false;
      continue;
    }
    if (line.empty()) break;
    if (line[0] == ' ' || line[0] == '\t') {
      if (out.headers.IsEmpty()) return std::nullopt;
      const auto& last = out.headers.Pairs().back();
      const std::string joined = last.second + " " + std::string(Trim(line));
      const std::string name = last.first;
      out.headers.Remove(name);
      out.headers.Add(name, joined);
      continue;
    }
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos || colon == 0) return std::nullopt;
    out.headers.Add(Trim(line.substr(0, colon)), Trim(line.substr(colon + 1)));
  }
  if (first) return std::nullopt;
  return out;
}

int64_t AnnouncedLength(const HttpResponseHead& head) {
  if (const std::string* length = head.headers.Find("Content-Length")) {
    if (const auto n = ParseDecimal(*length)) return *n;
  }
  if (const std::string* range = head.headers.Find("Content-Range")) {
    std::string_view r = Trim(*range);
    if (r.substr(0, 6) != "bytes ") return -1;
    r.remove_prefix(6);
    const size_t dash = r.find('-');
    const size_t slash = r.find('/');
    if (dash == std::string_view::npos || slash == std::string_view::npos || slash < dash)
      return -1;
    const auto first = ParseDecimal(r.substr(0, dash));
    const auto last = ParseDecimal(r.substr(dash + 1, slash - dash - 1));
    if (!first || !last || *last < *first) return -1;
    return *last - *first + 1;
  }
  return -1;
}

int64_t ChunkedDecoder::Feed(std::string_view in, char* out) {
  int64_t written = 0;
  size_t i = 0;
  while (i < in.size()) {
    const char c = in[i];
    switch (state_) {
      case State::kSize: {
        const int h = HexValue(c);
        if (h >= 0) {
          if (++sizeDigits_ > 15) return -1;
          left_ = left_ * 16 + static_cast<uint64_t>(h);
        } else if (sizeDigits_ == 0) {
          return -1;
        } else if (c == ';' || c == ' ' || c == '\t') {
          state_ = State::kExtension;
        } else if (c == '\r') {
          state_ = State::kSizeLf;
        } else if (c == '\n') {
          state_ = left_ == 0 ? State::kTrailer : State::kData;
          trailerLineLength_ = 0;
        } else {
          return -1;
        }
        ++i;
        break;
      }
      case State::kExtension:
        if (c == '\n') {
          state_ = left_ == 0 ? State::kTrailer : State::kData;
          trailerLineLength_ = 0;
        }
        ++i;
        break;
      case State::kSizeLf:
        if (c != '\n') return -1;
        state_ = left_ == 0 ? State::kTrailer : State::kData;
        trailerLineLength_ = 0;
        ++i;
        break;
      case State::kData: {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(left_, in.size() - i));
        for (size_t k = 0; k < n; ++k)
          out[written + static_cast<int64_t>(k)] = in[i + k];
        written += static_cast<int64_t>(n);
        left_ -= n;
        i += n;
        if (left_ == 0) state_ = State::kDataCr;
        break;
      }
      case State::kDataCr:
        if (c == '\r') {
          state_ = State::kDataLf;
        } else if (c == '\n') {
          state_ = State::kSize;
          sizeDigits_ = 0;
        } else {
          return -1;
        }
        ++i;
        break;
      case State::kDataLf:
        if (c != '\n') return -1;
        state_ = State::kSize;
        sizeDigits_ = 0;
        ++i;
        break;
      case State::kTrailer:
        // Trailer lines end at an empty line.
        if (c == '\n') {
          if (trailerLineLength_ == 0) state_ = State::kDone;
          trailerLineLength_ = 0;
        } else if (c != '\r') {
          ++trailerLineLength_;
        }
        ++i;
        break;
      case State::kDone:
        return written;
    }
  }
  return written;
}

}  // namespace vk2

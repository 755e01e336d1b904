// The head of an HTTP response (also the "ICY 200 OK" status line of streaming servers): the
// status line and the header lines, up to the blank line that ends them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/net/header_list.h"

namespace vk2 {

struct HttpResponseHead {
  int32_t status = 0;
  HeaderList headers;
};

// Where the head in `data` ends (just past the blank line, "\r\n\r\n" or "\n\n"), or 0 while
// it has not ended yet.
size_t FindHeadEnd(std::string_view data);

// Parses a complete head. Empty for a status line that is neither "HTTP/<d>.<d> <3 digits>"
// nor "ICY <3 digits>", or a header line without a colon. Continuation lines (starting with
// a blank) extend the value before them.
std::optional<HttpResponseHead> ParseResponseHead(std::string_view head);

// The body length a head announces: Content-Length, else the total of a Content-Range
// "bytes a-b/total" as b - a + 1; -1 when neither says.
int64_t AnnouncedLength(const HttpResponseHead& head);

// Reads the body of a "Transfer-Encoding: chunked" response: fed raw bytes, it gives the data
// bytes and tells when the last chunk has come. Extensions and trailers are skipped.
class ChunkedDecoder {
 public:
  // Decodes `in` (all of it is taken) into `out`, which has room for `in.size()` bytes;
  // returns the count written, or -1 when the framing is broken.
  int64_t Feed(std::string_view in, char* out);
  bool Finished() const { return state_ == State::kDone; }

 private:
  enum class State { kSize, kExtension, kSizeLf, kData, kDataCr, kDataLf, kTrailer, kDone };
  State state_ = State::kSize;
  uint64_t left_ = 0;
  int sizeDigits_ = 0;
  size_t trailerLineLength_ = 0;
};

}  // namespace vk2

// Helpers for the playlist format tests: streams over text, records made in one line.
#pragma once

#include <string>

#include "core/files/file_stream.h"
#include "core/playlist/item_info.h"

namespace vk2::test {

// A read-only stream over `text`, named as if it were the file `name`.
class TextStream {
 public:
  explicit TextStream(std::string text, const char* name = "/m/x/list.m3u")
      : text_(std::move(text)) {
    stream_.OpenMemory(reinterpret_cast<uint8_t*>(text_.data()), text_.size(), true, nullptr,
                       nullptr, Utf16(name));
  }
  FileStream* get() { return &stream_; }

 private:
  std::string text_;
  FileStream stream_;
};

inline std::string BufferText(const FileStream& s) {
  return std::string(s.Buffer().begin(), s.Buffer().end());
}

inline std::string U8(const TString& s) {
  return Utf8(s).c_str();
}

inline ItemInfo Item(const char* url) {
  ItemInfo info;
  info.SetUrl(Utf16(url));
  return info;
}

}  // namespace vk2::test

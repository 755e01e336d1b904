// What every playlist format shares: its result codes, reading a stream's whole text and
// writing whole lines, and saving a playlist file so that it is never left half-written.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/files/file_stream.h"
#include "foundation/text/tstring.h"

namespace vk2 {

inline constexpr int32_t kErrPlaylistNoStream = -9;
inline constexpr int32_t kErrPlaylistUnreadable = -7;
inline constexpr int32_t kErrPlaylistWrite = -10;
inline constexpr int32_t kErrPlaylistMalformed = -16;
inline constexpr int32_t kErrPlaylistVersion = -14;
inline constexpr int32_t kErrPlaylistNoDocument = -19;

// Rewinds the stream (the seek must answer 0) and borrows its whole contents. Holds the
// contents until destroyed.
class StreamText {
 public:
  explicit StreamText(FileStream* stream);
  ~StreamText();
  StreamText(const StreamText&) = delete;
  StreamText& operator=(const StreamText&) = delete;

  bool ok() const { return ok_; }
  std::string_view bytes() const { return bytes_; }

 private:
  FileStream* stream_;
  bool ok_ = false;
  bool held_ = false;
  std::string_view bytes_;
};

// Writes all of `text`; false on a failed or short write.
bool WriteAll(FileStream* stream, std::string_view text);

// Playlist text on disk is UTF-8. A byte sequence that is not valid UTF-8 is read as Latin-1,
// byte by byte, so text from older single-byte playlists keeps its characters. A zero byte
// ends the text (readers decode line by line, so it ends only its line).
TString DecodePlaylistText(std::string_view bytes);
// A leading UTF-8 byte order mark is not part of the text.
std::string_view SkipByteOrderMark(std::string_view bytes);

// Runs `write` over a memory stream named `path` and, when it succeeds, replaces the file at
// `path` atomically with what it wrote. The writer's result, or kErrPlaylistWrite when the
// file cannot be replaced; on any failure the old file stays as it was.
template <class Writer>
int32_t SavePlaylistFile(const TString& path, Writer&& write);
int32_t ReplaceFileWith(const TString& path, const FileStream& buffer);

template <class Writer>
int32_t SavePlaylistFile(const TString& path, Writer&& write) {
  FileStream buffer;
  buffer.OpenBuffer(path);
  const int32_t result = write(&buffer);
  if (result < 0) return result;
  const int32_t saved = ReplaceFileWith(path, buffer);
  return saved < 0 ? saved : result;
}

}  // namespace vk2

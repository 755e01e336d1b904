#include "core/formats/playlist_io.h"

#include "platform/whole_file.h"

namespace vk2 {

StreamText::StreamText(FileStream* stream) : stream_(stream) {
  if (!stream_ || stream_->Seek(0, kSeekStart) != 0) return;
  const uint8_t* data = nullptr;
  uint64_t size = 0;
  if (!stream_->GetContents(&data, &size)) return;
  held_ = true;
  bytes_ = std::string_view(reinterpret_cast<const char*>(data), static_cast<size_t>(size));
  ok_ = true;
}

StreamText::~StreamText() {
  if (held_) stream_->ReleaseContents();
}

bool WriteAll(FileStream* stream, std::string_view text) {
  uint64_t written = 0;
  if (text.empty()) return true;
  return stream->Write(text.data(), text.size(), &written) && written == text.size();
}

std::string_view SkipByteOrderMark(std::string_view bytes) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  return bytes;
}

TString DecodePlaylistText(std::string_view bytes) {
  if (bytes.size() > static_cast<size_t>(INT32_MAX)) bytes = bytes.substr(0, INT32_MAX);
  return FromNarrowString(bytes.data(), static_cast<int32_t>(bytes.size()));
}

int32_t ReplaceFileWith(const TString& path, const FileStream& buffer) {
  const auto& bytes = buffer.Buffer();
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  const std::string target = Utf8(path).c_str();
  // Saves killed before their rename left temporaries here; nobody else would ever clear them.
  const size_t slash = target.rfind('/');
  RemoveDeadTemporaries(slash == std::string::npos ? "." : target.substr(0, slash + 1));
  return WriteFileAtomic(target, text, 0644) ? kErrPlaylistWrite : 0;
}

}  // namespace vk2

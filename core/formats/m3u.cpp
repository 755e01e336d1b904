#include "core/formats/m3u.h"

#include <cmath>
#include <string>
#include <string_view>

#include "core/formats/playlist_io.h"
#include "core/formats/playlist_paths.h"
#include "foundation/text/number_parse.h"
#include "foundation/util/result.h"

namespace vk2 {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view TrimBlank(std::string_view s) {
  while (!s.empty() && IsBlank(s.front()))
    s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back()))
    s.remove_suffix(1);
  return s;
}

bool StartsWithNoCase(std::string_view line, std::string_view prefix) {
  return line.size() >= prefix.size() &&
         NarrowCompare(std::string(line.substr(0, prefix.size())).c_str(),
                       std::string(prefix).c_str(), false) == 0;
}

// "#EXTINF:<seconds>,<title>": the seconds as a signed decimal (no digits read as 0).
void ReadInformation(std::string_view rest, ItemInfo* info) {
  const std::string text(rest);
  int32_t seconds = 0;
  ReadSigned32(text.c_str(), 10, &seconds);
  if (seconds >= 0) {
    info->SetDuration(static_cast<float>(seconds), kDurationEstimate);
  } else {
    // Streams announce "-1": no length, which is not a length of -1 seconds.
    info->Clear(kDurationPresent);
    info->SetDurationType(kDurationUnknown);
    info->Set(kDurationTypePresent);
  }
  const size_t comma = rest.find(',');
  if (comma != std::string_view::npos) {
    info->SetTitle(DecodePlaylistText(TrimBlank(rest.substr(comma + 1))));
  }
}

// Line breaks inside a value would start a new line of the file.
NarrowString OneLine(const TString& text) {
  NarrowString line = Utf8(text);
  if (line.FindChar('\r') < 0 && line.FindChar('\n') < 0) return line;
  char* p = line.WritableData();
  for (uint32_t i = 0; i < line.Length(); ++i) {
    if (p[i] == '\r' || p[i] == '\n') p[i] = ' ';
  }
  return line;
}

}  // namespace

int32_t ReadM3u(FileStream* stream, ItemInfoArray* items) {
  if (!items) return kErrMissingArg;
  items->Clear();
  if (!stream) return kErrPlaylistNoStream;
  StreamText text(stream);
  if (!text.ok()) return kErrPlaylistUnreadable;
  const TString folder = PlaylistFolder(stream->GetName());
  std::string_view rest = SkipByteOrderMark(text.bytes());
  bool extended = false;
  ItemInfo working;
  int32_t count = 0;
  while (!rest.empty()) {
    const size_t end = rest.find_first_of("\r\n");
    std::string_view line = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    while (!line.empty() && IsBlank(line.front()))
      line.remove_prefix(1);
    if (line.empty()) continue;
    if (StartsWithNoCase(line, "#EXTM3U")) {
      extended = true;
      continue;
    }
    if (extended && StartsWithNoCase(line, "#EXTINF:")) {
      ReadInformation(line.substr(8), &working);
      continue;
    }
    if (line.front() == '#') continue;
    const TString entry = DecodePlaylistText(TrimBlank(line));
    if (entry.IsEmpty()) continue;
    working.SetUrl(EntryToUrl(folder, entry));
    if (!items->Append(working)) return kErrOutOfMemory;
    working.ClearPresence();
    ++count;
  }
  return count;
}

int32_t WriteM3u(FileStream* stream, const ItemInfoArray& items, bool extended, bool relative) {
  if (!stream) return kErrPlaylistNoStream;
  if (stream->Seek(0, kSeekStart) != 0) return kErrPlaylistUnreadable;
  if (extended && !WriteAll(stream, "#EXTM3U\n")) return kErrPlaylistWrite;
  const TString folder = PlaylistFolder(stream->GetName());
  int32_t written = 0;
  for (const ItemInfo& item : items) {
    // An entry without a URL would leave an information line for the next entry to take.
    if (!item.Has(kUrlPresent) || item.url.IsEmpty()) continue;
    if (extended) {
      std::string line = "#EXTINF:";
      const uint32_t type = item.GetDurationType();
      const bool timed = item.Has(kDurationTypePresent) && item.Has(kDurationPresent) &&
                         (type == kDurationEstimate || type == kDurationVerified) &&
                         std::isfinite(item.duration);
      if (timed) {
        const double rounded = std::floor(static_cast<double>(item.duration) + 0.5);
        const double clamped = std::fmin(std::fmax(rounded, 0.0), 2147483647.0);
        line += std::to_string(static_cast<int64_t>(clamped));
      }
      if (item.Has(kTitlePresent)) {
        // A title needs a number before it; -1 reads back as "no length".
        if (!timed) line += "-1";
        line += ',';
        line += OneLine(item.title).c_str();
      }
      if (timed || item.Has(kTitlePresent)) {
        line += '\n';
        if (!WriteAll(stream, line)) return kErrPlaylistWrite;
      }
    }
    std::string entry = OneLine(UrlToEntry(folder, item.url, relative)).c_str();
    // A relative name that begins like a comment or with blanks would not read back as itself.
    if (!entry.empty() && (entry[0] == '#' || IsBlank(entry[0])) && IsFileUrl(item.url)) {
      entry.insert(0, "./");
    }
    entry += '\n';
    if (!WriteAll(stream, entry)) return kErrPlaylistWrite;
    ++written;
  }
  return written;
}

}  // namespace vk2

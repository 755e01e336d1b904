#include "core/formats/pls.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>

#include "core/formats/playlist_io.h"
#include "core/formats/playlist_paths.h"
#include "foundation/util/result.h"

namespace vk2 {
namespace {

constexpr char kSection[] = "playlist";
constexpr std::string_view kMarker = "[playlist]";

std::string Key(const char* name, uint32_t n) {
  return name + std::to_string(n);
}

// Values are single lines in the file.
NarrowString OneLine(const TString& text) {
  NarrowString line = Utf8(text);
  if (line.FindChar('\r') < 0 && line.FindChar('\n') < 0) return line;
  char* p = line.WritableData();
  for (uint32_t i = 0; i < line.Length(); ++i) {
    if (p[i] == '\r' || p[i] == '\n') p[i] = ' ';
  }
  return line;
}

bool ReadText(MIniFile* ini, const std::string& key, TString* out) {
  NarrowString value;
  if (ini->ReadString(kSection, key.c_str(), &value) < 0) return false;
  *out = DecodePlaylistText(value.view());
  return true;
}

}  // namespace

bool IsPlsFile(FileStream* stream) {
  if (!stream) return false;
  StreamText text(stream);
  if (!text.ok() || text.bytes().size() <= kMarker.size()) return false;
  const std::string_view bytes = text.bytes();
  const size_t last = bytes.size() - kMarker.size();
  for (size_t i = 0; i < last; ++i) {
    if (bytes[i] != '[') continue;
    if (NarrowCompare(bytes.data() + i, kMarker.data(), false,
                      static_cast<int32_t>(kMarker.size())) == 0) {
      return true;
    }
  }
  return false;
}

int32_t ReadPls(FileStream* stream, ItemInfoArray* items, const PlaylistDocuments& documents) {
  if (!items) return kErrMissingArg;
  items->Clear();
  if (!stream) return kErrPlaylistNoStream;
  RefPtr<MIniFile> ini = documents.newIni ? documents.newIni() : nullptr;
  if (!ini) return kErrPlaylistNoDocument;
  StreamText text(stream);
  if (!text.ok()) return kErrPlaylistUnreadable;
  const std::string_view bytes = SkipByteOrderMark(text.bytes());
  if (ini->LoadMemory(bytes.data(), bytes.size()) < 0) return kErrPlaylistUnreadable;

  int32_t declared = 0;
  if (ini->ReadInt(kSection, "NumberOfEntries", &declared) < 0 || declared < 0) declared = 0;
  // Every entry takes a line of its own, so a file cannot hold more entries than lines; a
  // declared count beyond that only costs lookups of keys that are not there.
  const uint64_t lines = static_cast<uint64_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1;
  const uint32_t count = static_cast<uint32_t>(std::min<uint64_t>(declared, lines));
  int32_t cached = 0;
  int32_t version = 0;
  const bool withInfo = ini->ReadInt(kSection, "CachedInfo", &cached) >= 0
                            ? cached != 0
                            : ini->ReadInt(kSection, "Version", &version) >= 0 && version >= 2;

  const TString folder = PlaylistFolder(stream->GetName());
  for (uint32_t n = 1; n <= count; ++n) {
    TString entry;
    if (!ReadText(ini.Get(), Key("file", n), &entry)) continue;
    ItemInfo item;
    item.SetUrl(EntryToUrl(folder, entry));
    if (withInfo) {
      int32_t length = 0;
      if (ini->ReadInt(kSection, Key("length", n).c_str(), &length) >= 0) {
        if (length >= 0) {
          item.SetDuration(static_cast<float>(length), kDurationEstimate);
        } else {
          item.SetDurationType(kDurationUnknown);
          item.Set(kDurationTypePresent);
        }
      }
      TString value;
      if (ReadText(ini.Get(), Key("title", n), &value)) item.SetTitle(value);
      if (ReadText(ini.Get(), Key("author", n), &value)) item.SetAuthor(value);
    }
    if (!items->Append(std::move(item))) return kErrOutOfMemory;
  }
  return static_cast<int32_t>(items->Count());
}

int32_t WritePls(FileStream* stream, const ItemInfoArray& items, bool cachedInfo, bool relative,
                 const PlaylistDocuments& documents) {
  if (!stream) return kErrPlaylistNoStream;
  RefPtr<MIniFile> ini = documents.newIni ? documents.newIni() : nullptr;
  if (!ini) return kErrPlaylistNoDocument;
  // An entry without a URL cannot be read back; the others are numbered without gaps.
  int32_t total = 0;
  for (const ItemInfo& item : items)
    total += item.Has(kUrlPresent) && !item.url.IsEmpty();
  int32_t r = ini->WriteInt(kSection, "NumberOfEntries", total);
  if (r >= 0 && cachedInfo) r = ini->WriteInt(kSection, "CachedInfo", 1);
  if (r >= 0 && cachedInfo) r = ini->WriteInt(kSection, "Version", 2);
  const TString folder = PlaylistFolder(stream->GetName());
  uint32_t n = 0;
  for (const ItemInfo& item : items) {
    if (r < 0) break;
    if (!item.Has(kUrlPresent) || item.url.IsEmpty()) continue;
    ++n;
    r = ini->WriteString(kSection, Key("file", n).c_str(),
                         OneLine(UrlToEntry(folder, item.url, relative)).c_str());
    if (r < 0 || !cachedInfo) continue;
    const uint32_t type = item.GetDurationType();
    if (item.Has(kDurationTypePresent) && item.Has(kDurationPresent) &&
        (type == kDurationEstimate || type == kDurationVerified) && std::isfinite(item.duration)) {
      const double seconds = std::floor(static_cast<double>(item.duration) + 0.5);
      r = ini->WriteInt(kSection, Key("length", n).c_str(),
                        static_cast<int32_t>(std::fmin(std::fmax(seconds, 0.0), 2147483647.0)));
    }
    if (r >= 0 && item.Has(kTitlePresent))
      r = ini->WriteString(kSection, Key("title", n).c_str(), OneLine(item.title).c_str());
    if (r >= 0 && item.Has(kAuthorPresent))
      r = ini->WriteString(kSection, Key("author", n).c_str(), OneLine(item.author).c_str());
  }
  if (r < 0) return r;
  NarrowString text;
  if (ini->SaveToMemory(&text) < 0) return kErrPlaylistWrite;
  if (stream->Seek(0, kSeekStart) != 0 || !WriteAll(stream, text.view())) return kErrPlaylistWrite;
  return total;
}

}  // namespace vk2

#include "core/formats/xpl.h"

#include <cmath>
#include <string_view>

#include "core/formats/playlist_io.h"
#include "core/formats/playlist_paths.h"
#include "foundation/containers/tarray.h"
#include "foundation/parse/tokenizer.h"
#include "foundation/text/number_parse.h"
#include "foundation/util/result.h"

namespace vk2 {
namespace {

constexpr std::string_view kSniff = "<?xpl ";
constexpr int32_t kFileSchemeLength = 7;

const char16_t* const kDurationNames[] = {u"Estimate", u"Verified", u"Unknown", u"Infinite"};
const char16_t* const kScanNames[] = {u"ScanInadvisable", u"BasicScan", u"CompleteScan",
                                      u"Unreadable"};

// 1-based position of `text` in `names` (ASCII case folded), or 0.
uint32_t NameIndex(const TString& text, const char16_t* const (&names)[4]) {
  const TString trimmed = text.Trimmed();
  for (uint32_t i = 0; i < 4; ++i) {
    if (trimmed.Equals(names[i], false)) return i + 1;
  }
  return 0;
}

// A whole text that reads as a finite number.
bool ReadWholeNumber(const TString& text, double* value) {
  const TString trimmed = text.Trimmed();
  if (trimmed.IsEmpty()) return false;
  const int32_t used = ParseNumberText(trimmed.c_str(), value);
  return used == static_cast<int32_t>(trimmed.Length()) && std::isfinite(*value);
}

RefPtr<MXmlNode> Child(MXmlNode* parent, const char16_t* name, uint32_t index, int32_t type) {
  RefPtr<MXmlNode> child;
  if (parent->GetChild(name, index, type, child.Put()) < 0) return nullptr;
  return child;
}

bool ChildText(MXmlNode* parent, const char16_t* name, TString* text) {
  RefPtr<MXmlNode> child = Child(parent, name, 0, kXmlElement);
  return child && child->GetText(text) >= 0;
}

// "version=<number>", as the key/value tokenizer splits it.
int32_t CheckVersion(MXmlNode* instruction) {
  TString text;
  if (instruction->GetText(&text) < 0) return kErrPlaylistMalformed;
  TokenizerSpec spec;
  InitKeyValueSpec(&spec);
  TArray<TString> words;
  TokenizeWide(text.c_str(), static_cast<int32_t>(text.Length()), spec, &words);
  double version = 0;
  if (words.Count() != 2 || !words[0].Equals(u"version", false) ||
      !ReadWholeNumber(words[1], &version)) {
    return kErrPlaylistMalformed;
  }
  return version < 1.0 ? kErrPlaylistVersion : kOk;
}

// A local URL whose path is relative was written relative to the playlist's folder.
TString ResolveUrl(const TString& folder, const TString& url) {
  if (!IsFileUrl(url) || folder.IsEmpty()) return url;
  const TString path = url.Mid(kFileSchemeLength);
  return TString(u"file://").Concat(ResolveEntryPath(folder, path));
}

void ReadEntry(MXmlNode* entry, ItemInfo* item) {
  TString text;
  if (ChildText(entry, u"Title", &text)) item->SetTitle(text);
  if (ChildText(entry, u"Author", &text)) item->SetAuthor(text);
  if (ChildText(entry, u"Duration_Type", &text)) {
    if (const uint32_t type = NameIndex(text, kDurationNames)) {
      item->SetDurationType(type);
      item->Set(kDurationTypePresent);
    }
  }
  double seconds = 0;
  if (ChildText(entry, u"Duration", &text) && ReadWholeNumber(text, &seconds) &&
      std::fabs(seconds) <= 3.0e38) {
    item->duration = static_cast<float>(seconds);
    item->Set(kDurationPresent);
  }
  const int32_t tokens = entry->GetChildCount(u"Token", kXmlElement);
  if (tokens > 0) item->Set(kTokensPresent);
  for (int32_t i = 0; i < tokens; ++i) {
    RefPtr<MXmlNode> token = Child(entry, u"Token", static_cast<uint32_t>(i), kXmlElement);
    if (!token) continue;
    ItemToken pair;
    token->GetAttribute(u"Name", &pair.name);
    token->GetText(&pair.value);
    item->tokens.Append(std::move(pair));
  }
  if (ChildText(entry, u"ScanCompletedness", &text)) {
    if (const uint32_t scan = NameIndex(text, kScanNames)) {
      item->SetScan(scan);
      item->Set(kScanPresent);
    }
  }
}

bool AddText(MXmlNode* parent, const char16_t* name, const TString& text) {
  return parent->AddChild(name, text.c_str(), kXmlElement, nullptr) >= 0;
}

}  // namespace

bool IsXplFile(FileStream* stream) {
  if (!stream) return false;
  StreamText text(stream);
  if (!text.ok() || text.bytes().size() <= kSniff.size()) return false;
  const std::string_view bytes = text.bytes();
  const size_t last = bytes.size() - kSniff.size();
  for (size_t i = 0; i < last; ++i) {
    if (bytes[i] == '<' && NarrowCompare(bytes.data() + i, kSniff.data(), false,
                                         static_cast<int32_t>(kSniff.size())) == 0) {
      return true;
    }
  }
  return false;
}

int32_t ReadXpl(FileStream* stream, ItemInfoArray* items, const PlaylistDocuments& documents) {
  if (!items) return kErrMissingArg;
  items->Clear();
  if (!stream) return kErrPlaylistNoStream;
  RefPtr<MXmlDocument> doc = documents.newXml ? documents.newXml() : nullptr;
  if (!doc) return kErrPlaylistNoDocument;
  {
    StreamText text(stream);
    if (!text.ok()) return kErrPlaylistUnreadable;
    if (doc->Load(text.bytes().data(), text.bytes().size(), 0) < 0) return kErrPlaylistUnreadable;
  }
  RefPtr<MXmlNode> root;
  if (doc->Root(root.Put()) < 0 || !root) return kErrPlaylistMalformed;
  RefPtr<MXmlNode> instruction = Child(root.Get(), u"xpl", 0, kXmlProcessingInstruction);
  if (!instruction) return kErrPlaylistMalformed;
  if (const int32_t r = CheckVersion(instruction.Get()); r < 0) return r;
  RefPtr<MXmlNode> list = Child(root.Get(), u"xpl", 0, kXmlElement);
  if (!list) return kErrPlaylistMalformed;

  const TString folder = PlaylistFolder(stream->GetName());
  const int32_t entries = list->GetChildCount(u"Entry", kXmlElement);
  for (int32_t i = 0; i < entries; ++i) {
    RefPtr<MXmlNode> entry = Child(list.Get(), u"Entry", static_cast<uint32_t>(i), kXmlElement);
    TString url;
    // An empty URL names nothing that could be played or written back.
    if (!entry || !ChildText(entry.Get(), u"URL", &url) || url.IsEmpty()) continue;
    ItemInfo item;
    item.SetUrl(ResolveUrl(folder, url));
    ReadEntry(entry.Get(), &item);
    if (!items->Append(std::move(item))) {
      items->Clear();
      return kErrOutOfMemory;
    }
  }
  return static_cast<int32_t>(items->Count());
}

int32_t WriteXpl(FileStream* stream, const ItemInfoArray& items, bool relative,
                 const PlaylistDocuments& documents) {
  if (!stream) return kErrPlaylistNoStream;
  RefPtr<MXmlDocument> doc = documents.newXml ? documents.newXml() : nullptr;
  if (!doc) return kErrPlaylistNoDocument;
  RefPtr<MXmlNode> root;
  if (doc->Root(root.Put()) < 0 || !root) return kErrPlaylistNoDocument;
  RefPtr<MXmlNode> list;
  if (root->AddChild(u"xpl", u"version=1.0", kXmlProcessingInstruction, nullptr) < 0 ||
      root->AddChild(u"xpl", nullptr, kXmlElement, list.Put()) < 0 || !list) {
    return kErrPlaylistWrite;
  }
  const TString folder = PlaylistFolder(stream->GetName());
  int32_t written = 0;
  for (const ItemInfo& item : items) {
    if (!item.Has(kUrlPresent) || item.url.IsEmpty()) continue;
    RefPtr<MXmlNode> entry;
    if (list->AddChild(u"Entry", nullptr, kXmlElement, entry.Put()) < 0 || !entry)
      return kErrPlaylistWrite;
    const TString url = relative && IsFileUrl(item.url)
                            ? TString(u"file://").Concat(UrlToEntry(folder, item.url, true))
                            : item.url;
    bool ok = AddText(entry.Get(), u"URL", url);
    if (ok && item.Has(kTitlePresent)) ok = AddText(entry.Get(), u"Title", item.title);
    if (ok && item.Has(kAuthorPresent)) ok = AddText(entry.Get(), u"Author", item.author);
    if (ok && item.Has(kDurationTypePresent)) {
      const uint32_t type = item.GetDurationType();
      const bool named = type >= kDurationEstimate && type <= kDurationInfinite;
      ok = AddText(entry.Get(), u"Duration_Type", named ? kDurationNames[type - 1] : u"Unknown");
    }
    if (ok && item.Has(kDurationPresent) && std::isfinite(item.duration)) {
      ok = AddText(entry.Get(), u"Duration",
                   TString::Format(u"%#f", static_cast<double>(item.duration)));
    }
    if (item.Has(kTokensPresent)) {
      for (const ItemToken& token : item.tokens) {
        RefPtr<MXmlNode> node;
        ok = ok && entry->AddChild(u"Token", token.value.c_str(), kXmlElement, node.Put()) >= 0 &&
             node && node->SetAttribute(u"Name", token.name.c_str()) >= 0;
      }
    }
    if (ok && item.Has(kScanPresent)) {
      const uint32_t scan = item.GetScan();
      if (scan >= kScanInadvisable && scan <= kScanUnreadable)
        ok = AddText(entry.Get(), u"ScanCompletedness", kScanNames[scan - 1]);
    }
    if (!ok) return kErrPlaylistWrite;
    ++written;
  }
  NarrowString text;
  if (doc->SaveToMemory(&text, kXmlSaveIndent | kXmlSaveUtf8) < 0) return kErrPlaylistWrite;
  if (stream->Seek(0, kSeekStart) != 0 || !WriteAll(stream, text.view())) return kErrPlaylistWrite;
  return written;
}

}  // namespace vk2

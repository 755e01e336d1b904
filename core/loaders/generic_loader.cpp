#include "core/loaders/generic_loader.h"

#include <unistd.h>

#include <algorithm>
#include <new>
#include <optional>
#include <string>

#include "component/module/runtime_loader.h"
#include "component/object/com_object.h"
#include "core/files/folder_walk.h"
#include "core/loaders/dropped_name.h"
#include "core/loaders/playlist_transfer.h"
#include "foundation/util/result.h"
#include "interfaces/core/core.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/class_enumerator.h"

namespace vk2 {
namespace {

// Read access, others may read, the file must exist.
constexpr uint32_t kOpenPlaylistFile = 0x25;

TString CurrentFolder() {
  std::string buffer(4096, '\0');
  if (!getcwd(buffer.data(), buffer.size())) return u"/";
  TString folder = Utf16(buffer.c_str());
  if (folder.IsEmpty() || folder[folder.Length() - 1] != u'/') folder += u'/';
  return folder;
}

ItemInfo UrlRecord(const TString& url) {
  ItemInfo record;
  record.SetUrl(url);
  return record;
}

// One AddToPlaylist call: the loader list is filled on first need and kept for the call.
class AddJob {
 public:
  AddJob(const GenericLoaderEnvironment& environment, MPlaylist* playlist, TArray<uint32_t>* ids)
      : environment_(environment), playlist_(playlist), ids_(ids), base_(CurrentFolder()) {}

  int32_t AddNamed(const TString& text) {
    const DroppedName name = Sort(text);
    switch (name.kind) {
      case DroppedKind::kEmpty:
        return kErrMissingArg;
      case DroppedKind::kAbsent:
        return kErrNoInterface;
      case DroppedKind::kStream:
      case DroppedKind::kMediaFile: {
        ItemInfoArray one;
        one.Append(UrlRecord(name.url));
        return AppendToPlaylist(playlist_, std::move(one), ids_);
      }
      case DroppedKind::kPlaylistFile:
        return AddPlaylistFile(name, true);
      case DroppedKind::kFolder:
        return AddFolder(name.path);
      case DroppedKind::kPattern:
        return AddPattern(name.path);
    }
    return kErrFailed;
  }

 private:
  DroppedName Sort(const TString& text) {
    if (environment_.kindOf) return SortDroppedName(text, Filters(), base_, environment_.kindOf);
    return SortDroppedName(text, Filters(), base_, [](const TString& p) { return PathKind(p); });
  }

  const std::vector<TString>& Filters() {
    if (!loaders_) {
      loaders_.emplace();
      if (environment_.listLoaders) {
        environment_.listLoaders(&*loaders_);
      } else {
        ListRuntimePlaylistLoaders(&*loaders_);
      }
      std::stable_sort(loaders_->begin(), loaders_->end(),
                       [](const PlaylistLoaderEntry& a, const PlaylistLoaderEntry& b) {
                         return a.description.priority > b.description.priority;
                       });
      for (const PlaylistLoaderEntry& entry : *loaders_)
        filters_.push_back(entry.description.filter);
    }
    return filters_;
  }

  // `named`: the user named this file; inside a walk a file that cannot be read is skipped.
  int32_t AddPlaylistFile(const DroppedName& name, bool named) {
    FileStream stream;
    if (!stream.Open(name.path, kOpenPlaylistFile)) return named ? kErrCannotRead : 0;
    MPlaylistLoader* chosen = nullptr;
    MPlaylistLoader* candidate = (*loaders_)[name.loader].loader.Get();
    if (candidate && candidate->CanRead(&stream)) {
      chosen = candidate;
    } else {
      for (const PlaylistLoaderEntry& entry : *loaders_) {
        if (entry.loader && entry.loader.Get() != candidate && entry.loader->CanRead(&stream)) {
          chosen = entry.loader.Get();
          break;
        }
      }
    }
    if (!chosen) return 0;
    ItemInfoArray records;
    const int32_t read = chosen->Read(&stream, &records);
    if (read < 0) return named ? read : 0;
    return AppendToPlaylist(playlist_, std::move(records), ids_);
  }

  int32_t AddFolder(const TString& folder) {
    TArray<TString> paths;
    if (WalkFolder(&paths, kWalkSubfolders, folder.ConcatText(u"/*")) < 0) return 0;
    return AddListed(paths);
  }

  int32_t AddPattern(const TString& pattern) {
    TArray<TString> paths;
    if (WalkFolder(&paths, kWalkFolders, pattern) < 0) return 0;
    return AddListed(paths);
  }

  // Media files go in as runs, one addition per run, so that a large folder is one change of
  // the playlist rather than one per file; playlist files and folders keep their place.
  int32_t AddListed(const TArray<TString>& paths) {
    int32_t total = 0;
    ItemInfoArray run;
    auto flush = [&]() -> int32_t {
      if (run.IsEmpty()) return 0;
      const int32_t r = AppendToPlaylist(playlist_, std::move(run), ids_);
      run = ItemInfoArray();
      return r;
    };
    for (const TString& path : paths) {
      const DroppedName name = Sort(path);
      int32_t added = 0;
      switch (name.kind) {
        case DroppedKind::kMediaFile:
          run.Append(UrlRecord(name.url));
          continue;
        case DroppedKind::kPlaylistFile:
          added = flush();
          if (added >= 0) total += added, added = AddPlaylistFile(name, false);
          break;
        case DroppedKind::kFolder:
          added = flush();
          if (added >= 0) total += added, added = AddFolder(name.path);
          break;
        default:
          break;
      }
      if (added < 0) return added;
      total += added;
    }
    const int32_t last = flush();
    return last < 0 ? last : total + last;
  }

  const GenericLoaderEnvironment& environment_;
  MPlaylist* const playlist_;
  TArray<uint32_t>* const ids_;
  const TString base_;
  std::optional<std::vector<PlaylistLoaderEntry>> loaders_;
  std::vector<TString> filters_;
};

class GenericLoader final
    : public ComObject<GenericLoader, Face<MGenericLoader, kIID_GenericLoader>> {
 public:
  explicit GenericLoader(GenericLoaderEnvironment environment)
      : environment_(std::move(environment)) {}

  int32_t AddToNamedPlaylist(const TString& playlistName, const TString& text,
                             TArray<uint32_t>* ids) override {
    RefPtr<MPlaylist> playlist;
    const int32_t r = FindPlaylist(playlistName, &playlist);
    if (r < 0) return r;
    return AddToPlaylist(playlist.Get(), text, ids);
  }

  int32_t AddToPlaylist(MPlaylist* playlist, const TString& text, TArray<uint32_t>* ids) override {
    if (!playlist) return kErrMissingArg;
    AddJob job(environment_, playlist, ids);
    return job.AddNamed(text);
  }

  int32_t ListLoaders(std::vector<PlaylistLoaderEntry>* out) override {
    if (!out) return kErrMissingArg;
    out->clear();
    if (environment_.listLoaders) return environment_.listLoaders(out);
    return ListRuntimePlaylistLoaders(out);
  }

 private:
  ~GenericLoader() override = default;

  int32_t FindPlaylist(const TString& name, RefPtr<MPlaylist>* out) {
    if (environment_.findPlaylist) return environment_.findPlaylist(name, out);
    RefPtr<MCore> core = CreateRuntimeObject<MCore>(kMediaCoreClass, kIID_MCore);
    if (!core) return kErrNoService;
    MPlaylistManager* playlists = core->GetPlaylistManager();
    if (!playlists) return kErrNoService;
    return playlists->Find(name, out);
  }

  const GenericLoaderEnvironment environment_;
};

}  // namespace

RefPtr<MGenericLoader> MakeGenericLoader(GenericLoaderEnvironment environment) {
  auto* loader = new (std::nothrow) GenericLoader(std::move(environment));
  return RefPtr<MGenericLoader>(loader);
}

int32_t ListRuntimePlaylistLoaders(std::vector<PlaylistLoaderEntry>* out) {
  if (!out) return kErrMissingArg;
  RefPtr<MClassEnumerator> classes =
      CreateRuntimeObject<MClassEnumerator>(kRuntimeRootClass, kIID_MClassEnumerator);
  if (!classes) return kOk;
  uint32_t count = 0;
  classes->GetCategoryCount(kCategoryPlaylistLoaders, &count);
  for (uint32_t i = 0; i < count; ++i) {
    Guid member{};
    if (classes->GetCategoryEntry(kCategoryPlaylistLoaders, i, &member, nullptr) < 0) continue;
    void* p = nullptr;
    if (classes->CreateInstance(member, kIID_MPlaylistLoader, &p, nullptr) < 0 || !p) continue;
    auto loader = RefPtr<MPlaylistLoader>::Adopt(static_cast<MPlaylistLoader*>(p));
    std::vector<PlaylistLoaderDescription> descriptions;
    if (loader->Describe(&descriptions) < 0) continue;
    for (PlaylistLoaderDescription& description : descriptions)
      out->push_back({std::move(description), loader});
  }
  return kOk;
}

}  // namespace vk2

#include "gui/script_functions/file_script_functions.h"

#include <algorithm>

#include "component/script/handler_call_args.h"
#include "core/script/script_args.h"
#include "gui/bridge/playlist_file.h"
#include "gui/main/add_files_job.h"
#include "gui/open_files/url_strip.h"
#include "gui/paths/path_routines.h"
#include "gui/script_functions/file_filters.h"
#include "gui/script_functions/script_call.h"
#include "interfaces/audio/media_types.h"
#include "interfaces/ids.h"

namespace vk2::gui {
namespace {

constexpr char16_t kPlayerSection[] = u"velkora/player";
constexpr char16_t kPlaylistsSection[] = u"velkora/playlists";

RefPtr<MPreferenceStore> OpenSection(const GuiScriptServices& s, const char16_t* section) {
  RefPtr<MPreferenceStore> prefs = s.preferences ? s.preferences() : nullptr;
  if (prefs && prefs->OpenSection(section, 1) < 0) return nullptr;
  return prefs;
}

// The starting folder and filter index the preferences remember.
template <class Dialog>
void Remembered(MPreferenceStore* prefs, const char16_t* filterKey, Dialog* dialog) {
  if (!prefs) return;
  prefs->PrepString(u"lastdirectory", u"");
  TString folder;
  if (prefs->GetString(u"lastdirectory", &folder) >= 0 && !folder.IsEmpty()) {
    dialog->SetFolder(folder.c_str());
  }
  int32_t filter = 0;
  if (prefs->GetInt(filterKey, &filter) >= 0 && filter >= 0) dialog->SetFilterIndex(filter);
}

void Remember(MPreferenceStore* prefs, const char16_t* filterKey, const TString& path,
              int32_t filter) {
  if (!prefs) return;
  prefs->SetString(u"lastdirectory", PathDirectory(path.c_str()).c_str());
  prefs->SetInt(filterKey, filter);
}

uint32_t AddFilesOptions(const GuiScriptServices& s) {
  uint32_t options = 0;
  if (s.main) s.main->GetAddFilesOptions(&options);
  return options;
}

void Queue(const GuiScriptServices& s, const TString& playlist, const TArray<TString>& files,
           uint32_t options) {
  if (s.main) s.main->QueueFiles(playlist.c_str(), &files, options, 0);
}

std::vector<FileType> PlayerFileTypes(const GuiScriptServices& s) {
  RefPtr<MPlayer> player = s.players ? s.players->FindPlayer(u"") : nullptr;
  MediaTypeList list;
  std::vector<FileType> types;
  if (!player || player->GetFileExtensions(&list) < 0) return types;
  for (uint32_t i = 0; i < list.Count(); ++i) {
    types.push_back({list.At(i).pattern, list.At(i).description, 0});
  }
  return types;
}

struct SaveChoice {
  FileType type;
  RefPtr<MPlaylistLoader> loader;
};

std::vector<SaveChoice> PlaylistFileTypes(const GuiScriptServices& s) {
  std::vector<SaveChoice> choices;
  if (!s.playlistLoaders) return choices;
  for (PlaylistLoaderEntry& entry : s.playlistLoaders()) {
    FileType type{entry.description.filter, WideFromNarrow(entry.description.description.c_str()),
                  entry.description.priority};
    choices.push_back({type, entry.loader});
  }
  return choices;
}

std::vector<FileType> TypesOf(const std::vector<SaveChoice>& choices) {
  std::vector<FileType> types;
  for (const SaveChoice& choice : choices)
    types.push_back(choice.type);
  return types;
}

RefPtr<MPlaylist> PlaylistAt(HandlerCall& call, const TString& path) {
  RefPtr<MScriptObject> object = FindScriptObject(call, path);
  RefPtr<MPlaylist> playlist;
  if (!object || object->QueryInterface(kIID_MPlaylist, playlist.PutVoid(), 1) < 0) return nullptr;
  return playlist;
}

}  // namespace

int32_t RunOpenFilesDialog(const GuiScriptServices& s) {
  RefPtr<MOpenFileDialog> dialog = s.openDialog ? s.openDialog() : nullptr;
  RefPtr<MPreferenceStore> prefs = OpenSection(s, kPlayerSection);
  if (!dialog) return kScriptDone;
  if (prefs) prefs->PrepInt(u"lastfilter", 0, INT32_MIN, INT32_MAX);
  Remembered(prefs.Get(), u"lastfilter", dialog.Get());
  std::vector<FileType> types = PlayerFileTypes(s);
  if (!types.empty()) {
    std::vector<TString> filters = GroupFilters(types, u"All audio files (%s)");
    dialog->SetFilters(filters.data(), static_cast<uint32_t>(filters.size()));
  }
  dialog->SetMultipleSelection(1);
  UrlStripServices strip;
  strip.preferences = s.preferences;
  strip.textDomain = s.textDomain;
  strip.main = s.main;
  dialog->SetStrip(RefPtr<UrlStrip>(new UrlStrip(std::move(strip))).Get());
  TArray<TString> paths;
  dialog->RunModal(&paths);
  if (paths.Count() == 0) return kScriptDone;
  Remember(prefs.Get(), u"lastfilter", paths[0], dialog->GetFilterIndex());
  Queue(s, u"default", paths, AddFilesOptions(s));
  return kScriptDone;
}

int32_t OpenFilesFunction(HandlerCall& call) {
  return RunOpenFilesDialog(Services(call));
}

int32_t AddFileFunction(HandlerCall& call) {
  const GuiScriptServices& s = Services(call);
  const uint32_t options = AddFilesOptions(s);
  TString file;
  TString playlist = u"default";
  bool playImmediately = (options & kAddFilesPlayImmediately) != 0;
  bool append = (options & kAddFilesAppend) != 0;
  if (UnpackRequired(call, u"Wwbb", &file, &playlist, &playImmediately, &append) < 0)
    return kScriptBadArguments;
  const uint32_t flags = (options & ~(kAddFilesAppend | kAddFilesPlayImmediately)) |
                         (append ? kAddFilesAppend : 0) |
                         (playImmediately ? kAddFilesPlayImmediately : 0);
  TArray<TString> files;
  files.Append(file);
  Queue(s, playlist, files, flags);
  return kScriptDone;
}

int32_t LoadPlaylistFileFunction(HandlerCall& call) {
  const GuiScriptServices& s = Services(call);
  TString path;
  bool append = false;
  if (UnpackRequired(call, u"Wb", &path, &append) < 0) return kScriptBadArguments;
  RefPtr<MPlaylist> target = PlaylistAt(call, path);
  if (!target) return Report(call, u"Playlist given to add to was not valid.\n");
  RefPtr<MOpenFileDialog> dialog = s.openDialog ? s.openDialog() : nullptr;
  if (!dialog) return kScriptDone;
  RefPtr<MPreferenceStore> prefs = OpenSection(s, kPlaylistsSection);
  Remembered(prefs.Get(), u"lastloadfilter", dialog.Get());
  std::vector<TString> filters =
      GroupFilters(TypesOf(PlaylistFileTypes(s)), u"All playlist files (%s)");
  dialog->SetFilters(filters.data(), static_cast<uint32_t>(filters.size()));
  dialog->SetMultipleSelection(0);
  TArray<TString> paths;
  dialog->RunModal(&paths);
  if (paths.Count() == 0 || !s.players) return kScriptDone;
  Remember(prefs.Get(), u"lastloadfilter", paths[0], dialog->GetFilterIndex());
  // Loaded into a playlist of its own first, so a file that fails to load changes nothing.
  TString name;
  target->GetName(&name);
  TString temporary;
  if (s.players->AddTemporaryPlaylist(name, &temporary) < 0) return kScriptDone;
  RefPtr<MPlaylist> loaded = s.players->FindPlaylist(temporary);
  if (loaded && s.players->LoadIntoPlaylist(temporary, paths[0]) >= 0) {
    target->CopyFrom(loaded.Get(), append ? 1 : 0);
  }
  s.players->RemovePlaylist(temporary);
  return kScriptDone;
}

int32_t SavePlaylistFileFunction(HandlerCall& call) {
  const GuiScriptServices& s = Services(call);
  TString path;
  if (UnpackRequired(call, u"W", &path) < 0) return kScriptBadArguments;
  RefPtr<MPlaylist> playlist = PlaylistAt(call, path);
  if (!playlist) return Report(call, u"Playlist given to save was not valid.\n");
  RefPtr<MSaveFileDialog> dialog = s.saveDialog ? s.saveDialog() : nullptr;
  if (!dialog) return kScriptDone;
  RefPtr<MPreferenceStore> prefs = OpenSection(s, kPlaylistsSection);
  Remembered(prefs.Get(), u"lastsavefilter", dialog.Get());
  std::vector<SaveChoice> choices = PlaylistFileTypes(s);
  std::stable_sort(choices.begin(), choices.end(), [](const SaveChoice& a, const SaveChoice& b) {
    return a.type.order < b.type.order;
  });
  std::vector<TString> filters = SaveFilters(TypesOf(choices));
  dialog->SetFilters(filters.data(), static_cast<uint32_t>(filters.size()));
  TString chosen;
  dialog->RunModal(&chosen);
  if (chosen.IsEmpty()) return kScriptDone;
  const int32_t filter = dialog->GetFilterIndex();
  Remember(prefs.Get(), u"lastsavefilter", chosen, filter);
  if (filter < 0 || static_cast<size_t>(filter) >= choices.size()) return kScriptDone;
  chosen = CompleteExtension(chosen, filters, filter);
  WritePlaylistFile(choices[static_cast<size_t>(filter)].loader.Get(), playlist.Get(), chosen, 1,
                    1);
  return kScriptDone;
}

}  // namespace vk2::gui

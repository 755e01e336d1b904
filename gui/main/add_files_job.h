// One "add files" request: entries to load into a playlist, and what to do with them.
#pragma once

#include <cstdint>

#include "foundation/containers/tarray.h"
#include "foundation/text/tstring.h"

namespace vk2::gui {

struct AddFilesJob {
  TString playlistName;   // empty: "default"
  TArray<TString> files;  // files, folders, URLs, playlist files or interface packages
  uint32_t flags = 0;     // kAddFilesAppend, kAddFilesPlayImmediately
  uint32_t startIndex = 0;
};

// What a job needs of the rest of the player. Called on the worker thread.
class AddFilesServices {
 public:
  // A fresh temporary playlist for a job aimed at `playlistName`; its name goes to `tempName`.
  virtual int32_t CreateTemporaryPlaylist(const TString& playlistName, TString* tempName) = 0;
  virtual void RemoveTemporaryPlaylist(const TString& tempName) = 0;
  // Loads one entry (file, folder, URL or playlist file) into the playlist: the number of items
  // added, or a negative code.
  virtual int32_t LoadEntry(const TString& playlistName, const TString& entry) = 0;
  virtual int32_t InstallPackage(const TString& path) = 0;
  virtual int32_t LoadVisual(const TString& path) = 0;
  // Copies the temporary playlist's items into the target (empty name: "default").
  virtual int32_t CopyToTarget(const TString& tempName, const TString& target, bool append) = 0;
  // Starts the named player (empty: "default") without waiting for it.
  virtual int32_t Play(const TString& playerName) = 0;
  // The message of a result code; empty when it has none.
  virtual TString ErrorMessage(int32_t code) = 0;

 protected:
  ~AddFilesServices() = default;
};

}  // namespace vk2::gui

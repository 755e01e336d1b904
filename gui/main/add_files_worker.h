// The queue of add-files jobs and the one worker thread that runs them, first in first out, so
// that no caller waits for file loading. Progress and failures go to the status listeners.
#pragma once

#include <cstdint>
#include <memory>

#include "gui/main/add_files_job.h"
#include "interfaces/gui/listener_list.h"

namespace vk2::gui {

inline constexpr uint32_t kProgressIntervalMs = 100;

class AddFilesWorker {
 public:
  // `services` and `status` outlive the worker.
  AddFilesWorker(AddFilesServices* services, MListenerList* status);
  // Runs every job still queued, then ends the thread; from the worker thread itself the queue
  // is dropped unrun (a thread cannot wait for itself).
  ~AddFilesWorker();
  AddFilesWorker(const AddFilesWorker&) = delete;
  AddFilesWorker& operator=(const AddFilesWorker&) = delete;

  // Queues a job; nothing for an empty list. With `nameInList` the first file names the
  // playlist and loading starts with the second.
  int32_t QueueFiles(const TString& playlistName, const TArray<TString>& files, uint32_t flags,
                     bool nameInList);

  // Runs one job on the calling thread: the item count, or the first negative code.
  int32_t AddFilesToPlaylist(const AddFilesJob& job);

  bool IsStarted() const;

 private:
  struct Shared;
  void Run(const std::shared_ptr<Shared>& shared);

  AddFilesServices* services_;
  MListenerList* status_;
  std::shared_ptr<Shared> shared_;
};

}  // namespace vk2::gui

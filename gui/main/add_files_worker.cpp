#include "gui/main/add_files_worker.h"

#include <deque>
#include <mutex>

#include "foundation/util/result.h"
#include "gui/main/file_kinds.h"
#include "interfaces/gui/gui_application.h"
#include "platform/clock.h"
#include "platform/event.h"
#include "platform/thread.h"

namespace vk2::gui {

struct AddFilesWorker::Shared {
  std::recursive_mutex mutex;
  std::deque<AddFilesJob> queue;
  Event wake{EventReset::kAuto};
  bool stop = false;
  Thread thread;
};

AddFilesWorker::AddFilesWorker(AddFilesServices* services, MListenerList* status)
    : services_(services), status_(status), shared_(std::make_shared<Shared>()) {
  std::shared_ptr<Shared> shared = shared_;
  shared_->thread.Start([this, shared] { Run(shared); });
}

AddFilesWorker::~AddFilesWorker() {
  {
    std::lock_guard lock(shared_->mutex);
    shared_->stop = true;
    if (shared_->thread.IsCurrent()) shared_->queue.clear();
  }
  shared_->wake.Set();
  if (shared_->thread.IsCurrent()) {
    shared_->thread.Detach();
  } else {
    shared_->thread.Join();
  }
}

bool AddFilesWorker::IsStarted() const {
  return shared_->thread.IsStarted();
}

int32_t AddFilesWorker::QueueFiles(const TString& playlistName, const TArray<TString>& files,
                                   uint32_t flags, bool nameInList) {
  if (files.IsEmpty()) return kOk;
  AddFilesJob job;
  job.playlistName = nameInList ? files[0] : playlistName;
  job.files = files;
  job.flags = flags;
  job.startIndex = nameInList ? 1 : 0;
  {
    std::lock_guard lock(shared_->mutex);
    shared_->queue.push_back(std::move(job));
  }
  shared_->wake.Set();
  return kOk;
}

void AddFilesWorker::Run(const std::shared_ptr<Shared>& shared) {
  for (;;) {
    shared->wake.Wait();
    for (;;) {
      AddFilesJob job;
      {
        std::lock_guard lock(shared->mutex);
        // The stop flag counts only once the queue is empty: jobs queued before it still run.
        if (shared->queue.empty()) {
          if (shared->stop) return;
          break;
        }
        job = std::move(shared->queue.front());
        shared->queue.pop_front();
      }
      int32_t result = AddFilesToPlaylist(job);
      if (result >= 0) continue;
      TString message = services_->ErrorMessage(result);
      if (message.IsEmpty()) message = u"unknown error";
      status_->Post(TString::Format(u"Unable to add files to playlist - %s", message),
                    kStatusError);
    }
  }
}

int32_t AddFilesWorker::AddFilesToPlaylist(const AddFilesJob& job) {
  uint64_t lastReport = CurrentClock().NowMs();
  TString tempName;
  int32_t result = services_->CreateTemporaryPlaylist(job.playlistName, &tempName);
  if (result < 0) return result;

  uint32_t items = 0;
  for (uint32_t i = job.startIndex; i < job.files.Count() && result >= 0; ++i) {
    const TString& entry = job.files[i];
    if (IsInterfacePackage(entry)) {
      result = services_->InstallPackage(entry);
    } else if (IsVisualPluginFile(entry)) {
      result = services_->LoadVisual(entry);
    } else {
      result = services_->LoadEntry(tempName, entry);
      if (result > 0) items += static_cast<uint32_t>(result);
    }
    uint64_t now = CurrentClock().NowMs();
    if (now - lastReport > kProgressIntervalMs) {
      lastReport = now;
      status_->Post(TString::Format(u"Adding files to %s playlist... %u", job.playlistName, items),
                    kStatusProgress);
    }
  }
  if (result >= 0 && items > 0) {
    int32_t copied =
        services_->CopyToTarget(tempName, job.playlistName, (job.flags & kAddFilesAppend) != 0);
    // A copy that failed is reported like a failed entry, and nothing is played.
    if (copied < 0) {
      result = copied;
    } else if (job.flags & kAddFilesPlayImmediately) {
      services_->Play(job.playlistName);
    }
  }
  services_->RemoveTemporaryPlaylist(tempName);
  return result < 0 ? result : static_cast<int32_t>(items);
}

}  // namespace vk2::gui

#include "core/playlist/idle_scan.h"

#include <utility>

#include "foundation/util/result.h"

namespace vk2 {

IdleScan::IdleScan(IdleScanHost& host, IdleScanSettings settings)
    : host_(host),
      settings_(std::move(settings)),
      clock_(settings_.clock ? *settings_.clock : CurrentClock()),
      sleeper_(std::make_shared<ClockSleeper>()) {}

IdleScan::~IdleScan() {
  Close();
}

void IdleScan::Reap(Thread thread) {
  if (!thread.IsStarted()) return;
  // A thread never joins itself; one that ends its own scan just lets go.
  if (thread.IsCurrent()) {
    thread.Detach();
  } else {
    thread.Join();
  }
}

int32_t IdleScan::Start() {
  Thread ended;
  {
    std::lock_guard lock(mutex_);
    if (closed_) return kErrWrongState;
    if (running_) return kOk;
    if (!settings_.makeMediaSystem) return kErrCannotCreate;
    ended = std::move(thread_);
  }
  Reap(std::move(ended));
  {
    std::lock_guard lock(mutex_);
    if (closed_) return kErrWrongState;
    if (running_) return kOk;
    run_ = std::make_shared<Run>();
    listChanged_ = false;
    restart_ = false;
    running_ = true;
    if (!thread_.Start([this, run = run_] { RunScan(*run); })) {
      running_ = false;
      return kErrCannotCreate;
    }
    // Playback comes first: the scan only uses what is left over.
    thread_.SetPriority(ThreadPriority::kLowest);
    // Reported before the thread can store anything (it takes this lock first), so the start
    // comes before the scan's own changes. Queueing takes only the queue's lock.
    host_.ReportScan(PlaylistChangeType::kIdleScanStarted);
  }
  return kOk;
}

int32_t IdleScan::Stop() {
  Thread thread;
  bool wasRunning;
  {
    std::lock_guard lock(mutex_);
    wasRunning = running_;
    running_ = false;
    thread = std::move(thread_);
    if (run_) run_->stop = true;
  }
  if (wasRunning) {
    {
      std::lock_guard lock(sleeper_->mutex);
      sleeper_->cv.notify_all();
    }
    host_.WakeLockWaiters();
  }
  Reap(std::move(thread));
  if (wasRunning) host_.ReportScan(PlaylistChangeType::kIdleScanStopped);
  return kOk;
}

void IdleScan::Close() {
  {
    std::lock_guard lock(mutex_);
    closed_ = true;
  }
  Stop();
}

bool IdleScan::Running() {
  std::lock_guard lock(mutex_);
  return running_;
}

int32_t IdleScan::Configure(IdleScanMode mode, bool startImmediately) {
  bool start;
  {
    std::lock_guard lock(mutex_);
    if (mode != mode_) restart_ = true;
    mode_ = mode;
    start = startImmediately && !startImmediately_;
    startImmediately_ = startImmediately;
  }
  int32_t r = start ? Start() : kOk;
  host_.ReportScan(PlaylistChangeType::kIdleScanSettingChanged);
  // A scan that waits for new items looks again at once.
  ListChanged();
  return r;
}

void IdleScan::ListChanged() {
  listChanged_ = true;
  std::lock_guard lock(sleeper_->mutex);
  sleeper_->cv.notify_all();
}

void IdleScan::RunScan(const Run& run) {
  SetCurrentThreadName("vk2-idle-scan");
  RefPtr<MMediaSystem> media = settings_.makeMediaSystem();
  End end = End::kRequested;
  if (media) {
    end = Loop(*media, run);
  } else {
    std::lock_guard lock(mutex_);
    if (!run.stop && running_) {
      running_ = false;
      end = End::kPassDone;
    }
  }
  // The media system goes before the report, with no lock held: its chains own threads.
  media.Reset();
  if (end == End::kPassDone) host_.ReportScan(PlaylistChangeType::kIdleScanStopped);
}

IdleScan::End IdleScan::Loop(MMediaSystem& media, const Run& run) {
  uint32_t from = 0;
  bool nothingLeft = false;
  for (;;) {
    if (run.stop) return End::kRequested;
    IdleScanMode mode;
    {
      std::lock_guard lock(mutex_);
      if (std::exchange(restart_, false)) from = 0, nothingLeft = false;
      mode = mode_;
    }
    if (listChanged_.exchange(false)) from = 0, nothingLeft = false;
    if (!nothingLeft) {
      ItemInfo copy;
      uint32_t index = 0;
      if (host_.FindUnscanned(from, mode, &copy, &index, run.stop)) {
        // On from the next item, so an item whose scan stays basic is not taken again at once;
        // an item that changed its file meanwhile is looked at again.
        from = ScanItem(media, copy, mode, run) ? index + 1 : index;
        continue;
      }
      if (run.stop) return End::kRequested;
      nothingLeft = true;
    }
    {
      // Stops are set under this lock, so a stopped run never touches its successor's state.
      std::lock_guard lock(mutex_);
      if (run.stop || !running_) return End::kRequested;
      if (!startImmediately_) {
        running_ = false;
        return End::kPassDone;
      }
    }
    Pause(run);
  }
}

bool IdleScan::ScanItem(MMediaSystem& media, const ItemInfo& item, IdleScanMode mode,
                        const Run& run) {
  ItemInfo scanned = item;
  const int32_t full = mode == IdleScanMode::kThorough ? 1 : 0;
  const int32_t prepared = media.PrepareScan(&item, full, kScanCostLimit);
  if (Succeeded(prepared)) {
    if (Failed(media.FillItemInfo(&scanned))) {
      scanned.SetScan(kScanUnreadable);
    } else if (!scanned.Has(kScanPresent) || scanned.GetScan() == kScanNone) {
      // Filled without saying how well: it was read, so it is not to be read again.
      scanned.SetScan(kScanComplete);
    }
  } else {
    const bool tooCostly = settings_.isTooCostly && settings_.isTooCostly(prepared);
    scanned.SetScan(tooCostly ? kScanInadvisable : kScanUnreadable);
  }
  scanned.Set(kScanPresent);
  const bool stored = host_.StoreScanned(item, scanned, run.stop);
  media.DiscardScanChains();
  return stored;
}

void IdleScan::Pause(const Run& run) {
  std::unique_lock lock(sleeper_->mutex);
  const uint64_t deadline = clock_.NowMs() + settings_.pollMs;
  while (!run.stop && !listChanged_) {
    if (clock_.WaitUntil(sleeper_, lock, deadline)) return;
  }
}

}  // namespace vk2

// The idle scan of a playlist: a lowest-priority thread that walks the items lacking
// information, opens each through a media system's scan chain and stores the duration, title,
// author and tags it learns. A scan started by hand makes one pass; with "start immediately" it
// keeps watching and scans items as they are added.
//
// The thread takes the playlist lock only to pick an item and to store its result; the scan
// itself runs outside it. Start, stop and setting changes take the scan's own lock, never while
// the playlist lock or a listener is waited for, and the thread is joined with no lock held.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

#include "foundation/util/ref_ptr.h"
#include "interfaces/core/media_system.h"
#include "interfaces/core/playlist.h"
#include "platform/clock.h"
#include "platform/thread.h"

namespace vk2 {

using MediaSystemMaker = std::function<RefPtr<MMediaSystem>()>;
// Whether a failure of PrepareScan means the item is too costly to scan (as opposed to broken).
using ScanRefusalTest = std::function<bool(int32_t code)>;

// What the scan needs of its playlist. `cancel` turns true when the scan is being stopped;
// calls that wait for the playlist lock give up then.
class IdleScanHost {
 public:
  // From index `from` on, the first item that needs a scan in `mode`: a copy of it and its
  // index. False when none is left (or on cancel).
  virtual bool FindUnscanned(uint32_t from, IdleScanMode mode, ItemInfo* copy, uint32_t* index,
                             const std::atomic<bool>& cancel) = 0;
  // Stores what a scan of `original` (the copy FindUnscanned gave) found in `scanned`, without
  // undoing edits made to the item since the copy was taken. False when nothing was stored: the
  // item is gone or names another file now.
  virtual bool StoreScanned(const ItemInfo& original, const ItemInfo& scanned,
                            const std::atomic<bool>& cancel) = 0;
  // Started, stopped or setting changed.
  virtual void ReportScan(PlaylistChangeType type) = 0;
  // Wakes a scan thread waiting for the playlist lock, so that it sees its cancel flag.
  virtual void WakeLockWaiters() = 0;

 protected:
  ~IdleScanHost() = default;
};

struct IdleScanSettings {
  Clock* clock = nullptr;  // null: the process's current clock
  // How often a scan that watches for new items looks again, and the longest a stop waits for
  // a thread that is idle.
  uint32_t pollMs = 100;
  MediaSystemMaker makeMediaSystem;
  ScanRefusalTest isTooCostly;
};

class IdleScan {
 public:
  // The most costly stream reader a scan may use.
  static constexpr int32_t kScanCostLimit = 767;

  IdleScan(IdleScanHost& host, IdleScanSettings settings);
  // Stops the thread.
  ~IdleScan();
  IdleScan(const IdleScan&) = delete;
  IdleScan& operator=(const IdleScan&) = delete;

  // 0, also when already running; kErrWrongState once closed, kErrCannotCreate without a media
  // system maker or a thread.
  int32_t Start();
  // Returns once the thread has ended (at most a poll interval plus the item in progress).
  int32_t Stop();
  bool Running();
  // A new mode makes the scan look from the first item again; setting `startImmediately`
  // starts the scan. Clearing it lets a running scan end after its pass.
  int32_t Configure(IdleScanMode mode, bool startImmediately);
  // Items were added, removed, moved or reordered: look from the first item again.
  void ListChanged();
  // Stops the scan for good.
  void Close();

 private:
  enum class End { kRequested, kPassDone };
  // One thread's run. Each run has its own stop flag: a stop meant for a thread that is still
  // winding down must not be undone by the start of the next one, or the old thread would keep
  // scanning beside the new one and the stop waiting for it would never return.
  struct Run {
    std::atomic<bool> stop{false};
  };
  void RunScan(const Run& run);
  End Loop(MMediaSystem& media, const Run& run);
  // Whether the result was stored.
  bool ScanItem(MMediaSystem& media, const ItemInfo& item, IdleScanMode mode, const Run& run);
  // Waits for a poll interval, a stop or a change of the list.
  void Pause(const Run& run);
  // Joins a thread that has ended (or is ending) with no lock held.
  static void Reap(Thread thread);

  IdleScanHost& host_;
  IdleScanSettings settings_;
  Clock& clock_;

  std::mutex mutex_;  // the scan lock
  Thread thread_;
  bool running_ = false;
  bool closed_ = false;
  bool restart_ = false;
  bool startImmediately_ = false;
  IdleScanMode mode_ = IdleScanMode::kQuick;
  std::shared_ptr<Run> run_;  // the latest thread's run

  std::atomic<bool> listChanged_{false};
  std::shared_ptr<ClockSleeper> sleeper_;
};

}  // namespace vk2

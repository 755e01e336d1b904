// A media system that scans from a table instead of opening files: per URL, what preparing a
// scan answers and what it fills in. The table and the record of calls are shared by every media
// system made from one FakeScanWorld, so a test sees what a scan thread's media system did.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "component/object/com_object.h"
#include "core/playlist/idle_scan.h"
#include "core/playlist/item_info.h"
#include "foundation/util/result.h"
#include "interfaces/core/media_system.h"

namespace vk2::test {

inline constexpr int32_t kTooCostlyCode = -300;

struct ScanOutcome {
  int32_t prepare = 0;  // PrepareScan's result
  int32_t fill = 0;     // FillItemInfo's result
  float seconds = 0;
  bool estimate = false;
  const char16_t* title = nullptr;
  const char16_t* album = nullptr;
};

struct FakeScanWorld {
  std::mutex mutex;
  std::map<std::u16string, ScanOutcome> outcomes;
  // (URL, full flag) of each PrepareScan, in order.
  std::vector<std::pair<std::u16string, int32_t>> prepared;
  int alive = 0;
  int made = 0;
  // Runs inside PrepareScan, on the scan thread, with no lock of the world held.
  std::function<void(const ItemInfo&)> duringPrepare;

  void Set(const std::u16string& url, ScanOutcome outcome) {
    std::lock_guard lock(mutex);
    outcomes[url] = outcome;
  }
  size_t PreparedCount() {
    std::lock_guard lock(mutex);
    return prepared.size();
  }
};

class FakeMediaSystem final : public ComObject<FakeMediaSystem, SilentFace<MMediaSystem>> {
 public:
  explicit FakeMediaSystem(std::shared_ptr<FakeScanWorld> world) : world_(std::move(world)) {
    std::lock_guard lock(world_->mutex);
    ++world_->alive;
    ++world_->made;
  }

  int32_t PrepareScan(const ItemInfo* item, int32_t full, int32_t costLimit) override {
    EXPECT_EQ(costLimit, 767);
    std::function<void(const ItemInfo&)> hook;
    {
      std::lock_guard lock(world_->mutex);
      world_->prepared.emplace_back(std::u16string(item->url.view()), full);
      hook = world_->duringPrepare;
      auto it = world_->outcomes.find(std::u16string(item->url.view()));
      outcome_ = it != world_->outcomes.end() ? it->second : ScanOutcome{kErrCannotOpen};
      scanning_ = item->id;
    }
    if (hook) hook(*item);
    return outcome_.prepare;
  }
  int32_t FillItemInfo(ItemInfo* item) override {
    if (item->id != scanning_) return kErrFailed;
    if (outcome_.fill < 0) return outcome_.fill;
    item->SetDuration(outcome_.seconds, outcome_.estimate ? kDurationEstimate : kDurationVerified);
    if (outcome_.title) item->SetTitle(outcome_.title);
    if (outcome_.album) {
      item->tokens.Append({u"album", outcome_.album});
      item->Set(kTokensPresent);
    }
    item->SetScan(outcome_.estimate ? kScanBasic : kScanComplete);
    item->Set(kScanPresent);
    return 0;
  }
  int32_t DiscardScanChains() override {
    scanning_ = 0;
    return 0;
  }

  int32_t GetFileExtensionText(TString*) override { return kErrNotSupported; }
  int32_t GetFileExtensions(MediaTypeList*) override { return kErrNotSupported; }
  int32_t SetOwner(MediaSystemOwner*) override { return kErrNotSupported; }
  int32_t GetTransition(int32_t*, double*) override { return kErrNotSupported; }
  int32_t SetTransition(int32_t, double) override { return kErrNotSupported; }
  int32_t Play() override { return kErrNotSupported; }
  int32_t Stop() override { return kErrNotSupported; }
  int32_t Pause() override { return kErrNotSupported; }
  int32_t SwitchToNewChain(uint32_t) override { return kErrNotSupported; }
  int32_t SeekStream(double, uint32_t) override { return kErrNotSupported; }
  int32_t GetState() override { return 0; }
  int32_t SetVolume(double) override { return kErrNotSupported; }
  int32_t SetBalance(double) override { return kErrNotSupported; }
  int32_t GetPlayInfo(MediaPlayInfo*) override { return kErrNotSupported; }
  int32_t GetString(const char16_t*, TString*) override { return kErrNotSupported; }
  int32_t GetInteger(const char16_t*, int32_t*) override { return kErrNotSupported; }
  int32_t GetNumber(const char16_t*, double*) override { return kErrNotSupported; }
  int32_t Describe(PropertyDescriptionList*) override { return kErrNotSupported; }
  int32_t SetString(const char16_t*, const char16_t*) override { return kErrNotSupported; }
  int32_t SetInteger(const char16_t*, int32_t) override { return kErrNotSupported; }
  int32_t SetNumber(const char16_t*, double) override { return kErrNotSupported; }
  int32_t LoadSettings(MPreferenceStore*) override { return kErrNotSupported; }
  int32_t SaveSettings(MPreferenceStore*) override { return kErrNotSupported; }
  int32_t SendFilterMessage(const char16_t*, uint32_t) override { return kErrNotSupported; }
  int32_t GetCurrentChain(MMediaChain**, uint32_t*) override { return kErrNotFound; }
  int32_t HoldPosition(double) override { return 0; }
  int32_t BuildChain(const ItemInfo*, uint32_t, MMediaChain**, int32_t, int32_t) override {
    return kErrNotSupported;
  }
  int32_t ReleasePosition() override { return 0; }

 private:
  ~FakeMediaSystem() override {
    std::lock_guard lock(world_->mutex);
    --world_->alive;
  }

  std::shared_ptr<FakeScanWorld> world_;
  ScanOutcome outcome_;
  uint32_t scanning_ = 0;
};

inline MediaSystemMaker FakeMediaSystems(const std::shared_ptr<FakeScanWorld>& world) {
  return [world] { return RefPtr<MMediaSystem>(new FakeMediaSystem(world)); };
}

}  // namespace vk2::test

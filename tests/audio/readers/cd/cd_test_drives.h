// Drives for the CD reader's tests: the image drive of libcdio, optionally behind a wrapper
// that fails or holds its reads, and a catalog that lists and opens them.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/cd/cd_drive.h"
#include "platform/event.h"

namespace vk2::test {

// A disc of one track whose every frame holds its own number (32-bit little-endian), so a read
// shows where it came from.
class PatternCdDrive final : public CdDrive {
 public:
  explicit PatternCdDrive(int64_t sectors) : sectors_(sectors) {}
  bool ReadToc(CdToc* toc) override {
    toc->tracks = {CdTrack{1, 0, sectors_, true}};
    return true;
  }
  CdReadStatus ReadAudio(int64_t firstSector, uint32_t count, uint8_t* out) override {
    if (firstSector < 0 || firstSector + count > sectors_) return CdReadStatus::kFailed;
    const auto first = static_cast<uint32_t>(firstSector * kCdFramesPerSector);
    for (uint32_t i = 0; i < count * kCdFramesPerSector; ++i) {
      const uint32_t v = first + i;
      for (int b = 0; b < 4; ++b)
        out[i * 4 + b] = static_cast<uint8_t>(v >> (8 * b));
    }
    return CdReadStatus::kOk;
  }

 private:
  int64_t sectors_;
};

// Passes reads on until a set number of them has been made, then fails them.
class FaultyCdDrive final : public CdDrive {
 public:
  struct Plan {
    int goodReads = 1 << 30;  // reads that go through before the failures start
    int failures = 1 << 30;   // failing reads in a row, then they go through again
    CdReadStatus failWith = CdReadStatus::kDeviceError;
    Event* gate = nullptr;  // when set, reads after the good ones wait for it instead
  };
  FaultyCdDrive(std::unique_ptr<CdDrive> inner, Plan plan)
      : inner_(std::move(inner)), plan_(plan) {}

  bool ReadToc(CdToc* toc) override { return inner_->ReadToc(toc); }
  CdReadStatus ReadAudio(int64_t firstSector, uint32_t count, uint8_t* out) override {
    const int n = reads_.fetch_add(1);
    if (n >= plan_.goodReads) {
      if (plan_.gate) {
        plan_.gate->Wait();
      } else if (n < plan_.goodReads + plan_.failures) {
        return plan_.failWith;
      }
    }
    return inner_->ReadAudio(firstSector, count, out);
  }
  int Reads() const { return reads_.load(); }

 private:
  std::unique_ptr<CdDrive> inner_;
  Plan plan_;
  std::atomic<int> reads_{0};
};

class TestCdCatalog final : public CdDriveCatalog {
 public:
  explicit TestCdCatalog(std::vector<std::string> drives) : drives_(std::move(drives)) {}

  // Every drive opened from now on sits behind a FaultyCdDrive with this plan.
  void SetPlan(FaultyCdDrive::Plan plan) {
    plan_ = plan;
    faulty_ = true;
  }
  int Opens() const { return opens_; }

  std::vector<std::string> ListDrives() override { return drives_; }
  std::unique_ptr<CdDrive> Open(const std::string& device, CdOpenStatus* status) override {
    ++opens_;
    std::unique_ptr<CdDrive> drive = OpenCdioDrive(device, status);
    if (!drive || !faulty_) return drive;
    return std::make_unique<FaultyCdDrive>(std::move(drive), plan_);
  }

 private:
  std::vector<std::string> drives_;
  FaultyCdDrive::Plan plan_;
  bool faulty_ = false;
  int opens_ = 0;
};

}  // namespace vk2::test

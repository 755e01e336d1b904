// A minimal interface object for container tests: counts references and logs its destruction.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "foundation/util/result.h"
#include "interfaces/unknown.h"

namespace vk2::test {

class CountedUnknown final : public MUnknown {
 public:
  // `log` receives `id` when the object is destroyed.
  CountedUnknown(int id, std::vector<int>* log) : id_(id), log_(log) {}

  int32_t QueryInterface(const Guid&, void** out, uint32_t, uint32_t) override {
    *out = nullptr;
    return kErrNoInterface;
  }
  uint32_t AddRef() override { return ++refs_; }
  uint32_t Release() override {
    const uint32_t left = --refs_;
    if (left == 0) {
      if (log_) log_->push_back(id_);
      delete this;
    }
    return left;
  }
  int id() const { return id_; }

 private:
  ~CountedUnknown() = default;

  int id_;
  std::vector<int>* log_;
  std::atomic<uint32_t> refs_{1};
};

}  // namespace vk2::test

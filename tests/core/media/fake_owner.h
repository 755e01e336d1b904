// A media system owner for tests: a list of items with a current one, what it was told (stream
// ids heard, errors, flushes) and waits for what it expects to be told.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "core/playlist/item_info.h"
#include "foundation/text/tstring.h"
#include "foundation/util/result.h"
#include "interfaces/core/media_system.h"

namespace vk2::test {

class FakeOwner final : public MediaSystemOwner {
 public:
  // What Advance answers past the last item (the player's "no more songs to play").
  static constexpr int32_t kNoMoreItems = -301;

  // Items get ids 1, 2, 3, ... in order.
  void SetItems(const std::vector<std::u16string>& urls) {
    std::lock_guard lock(mutex_);
    items_.clear();
    for (size_t i = 0; i < urls.size(); ++i) {
      ItemInfo item;
      item.id = static_cast<uint32_t>(i + 1);
      item.Set(kIdPresent);
      item.SetUrl(TString(urls[i].c_str()));
      items_.push_back(item);
    }
    current_ = 0;
  }

  int32_t GetCurrentItem(ItemInfo* item) override {
    std::lock_guard lock(mutex_);
    if (current_ >= items_.size()) return kErrNotFound;
    *item = items_[current_];
    return kOk;
  }
  int32_t Advance() override {
    std::lock_guard lock(mutex_);
    ++advances_;
    if (current_ + 1 >= items_.size()) return kNoMoreItems;
    ++current_;
    return kOk;
  }
  int32_t SelectItem(uint32_t itemId) override {
    std::lock_guard lock(mutex_);
    for (size_t i = 0; i < items_.size(); ++i) {
      if (items_[i].id == itemId) {
        current_ = i;
        return kOk;
      }
    }
    return kErrNotFound;
  }
  int32_t OnStreamIdChanged(uint32_t itemId) override {
    std::lock_guard lock(mutex_);
    streams_.push_back(itemId);
    changed_.notify_all();
    return kOk;
  }
  int32_t OnError(const char16_t* text) override {
    std::lock_guard lock(mutex_);
    errors_.push_back(Utf8(TString(text)).c_str());
    changed_.notify_all();
    return kOk;
  }
  int32_t OnFlushed() override {
    std::lock_guard lock(mutex_);
    ++flushes_;
    changed_.notify_all();
    return kOk;
  }

  // Stream ids heard, in order, with repeats of the same id (reported more than once) folded.
  std::vector<uint32_t> Streams() {
    std::lock_guard lock(mutex_);
    std::vector<uint32_t> folded;
    for (uint32_t id : streams_) {
      if (folded.empty() || folded.back() != id) folded.push_back(id);
    }
    return folded;
  }
  std::vector<std::string> Errors() {
    std::lock_guard lock(mutex_);
    return errors_;
  }
  int Advances() {
    std::lock_guard lock(mutex_);
    return advances_;
  }
  // Waits (real time, bounded) until the owner was told that `itemId` is heard.
  bool WaitForStream(uint32_t itemId, uint32_t timeoutMs = 20000) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
      for (uint32_t id : streams_) {
        if (id == itemId) return true;
      }
      return false;
    });
  }
  bool WaitForError(uint32_t timeoutMs = 20000) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [&] { return !errors_.empty(); });
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<ItemInfo> items_;
  size_t current_ = 0;
  int advances_ = 0;
  std::vector<uint32_t> streams_;
  std::vector<std::string> errors_;
  int flushes_ = 0;
};

}  // namespace vk2::test

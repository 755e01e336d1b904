// `RegistrationList<Entry>`: the registered callbacks or listeners of an object. An entry is
// added once (-6 when already present) and removed once (-5 when absent); entries compare with
// ==. Registration adds no reference: a receiver removes itself before it goes.
//
// Fire calls over a copy taken under the list's lock and runs outside it, so a callback may add
// or remove entries (its own included) and may block without holding up registration; an entry
// removed by an earlier call of the same fire is not called, one added is called from the next
// fire on.
// RemoveAndWait also waits for the fires under way on other threads when it removes, so that
// the entry is never called after it returned; from inside a fire on the same thread it does
// not wait for that fire (it could not end).
#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace vk2 {

inline constexpr int32_t kErrAlreadyRegistered = -6;
inline constexpr int32_t kErrNotRegistered = -5;

template <class Entry>
class RegistrationList {
 public:
  int32_t Add(const Entry& entry) {
    std::lock_guard lock(mutex_);
    if (std::find(entries_.begin(), entries_.end(), entry) != entries_.end()) {
      return kErrAlreadyRegistered;
    }
    entries_.push_back(entry);
    return 0;
  }

  int32_t Remove(const Entry& entry) {
    std::lock_guard lock(mutex_);
    return EraseLocked(entry);
  }

  // Remove, then wait until every fire that other threads began before it has ended.
  int32_t RemoveAndWait(const Entry& entry) {
    std::unique_lock lock(mutex_);
    const int32_t r = EraseLocked(entry);
    if (r != 0) return r;
    const uint64_t mark = nextFire_;
    const auto self = std::this_thread::get_id();
    fireEnded_.wait(lock, [&] {
      for (auto it = firing_.begin(); it != firing_.end() && it->first < mark; ++it) {
        if (it->second != self) return false;
      }
      return true;
    });
    return 0;
  }

  // Calls `call(entry)` for every entry in registration order, outside the lock.
  template <class Call>
  void Fire(Call&& call) {
    std::vector<Entry> copy;
    uint64_t ticket;
    {
      std::lock_guard lock(mutex_);
      if (entries_.empty()) return;
      copy = entries_;
      ticket = nextFire_++;
      firing_.emplace(ticket, std::this_thread::get_id());
    }
    struct EndFire {
      RegistrationList* list;
      uint64_t ticket;
      ~EndFire() {
        {
          std::lock_guard lock(list->mutex_);
          list->firing_.erase(ticket);
        }
        list->fireEnded_.notify_all();
      }
    } end{this, ticket};
    for (const Entry& entry : copy) {
      // One removed by an earlier call of this fire is left out.
      if (Contains(entry)) call(entry);
    }
  }

  // The entries as they stand.
  std::vector<Entry> Snapshot() const {
    std::lock_guard lock(mutex_);
    return entries_;
  }
  bool Contains(const Entry& entry) const {
    std::lock_guard lock(mutex_);
    return std::find(entries_.begin(), entries_.end(), entry) != entries_.end();
  }
  size_t Count() const {
    std::lock_guard lock(mutex_);
    return entries_.size();
  }
  bool IsEmpty() const { return Count() == 0; }

 private:
  int32_t EraseLocked(const Entry& entry) {
    auto it = std::find(entries_.begin(), entries_.end(), entry);
    if (it == entries_.end()) return kErrNotRegistered;
    entries_.erase(it);
    return 0;
  }

  mutable std::mutex mutex_;
  std::condition_variable fireEnded_;
  std::vector<Entry> entries_;
  std::map<uint64_t, std::thread::id> firing_;  // fires under way, by ticket
  uint64_t nextFire_ = 0;
};

}  // namespace vk2

// The chains a media system owns, each with its role. The table only keeps records: whoever
// takes entries out releases their chains after leaving every lock (a chain's last release
// waits for its threads).
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "foundation/util/ref_ptr.h"
#include "interfaces/audio/media_chain.h"

namespace vk2 {

enum class ChainRole : uint32_t {
  kFinished = 0,  // being replaced; goes when it ends or is stopped
  kCurrent = 1,   // the item being heard
  kNext = 2,      // built and cued, waiting to take over
  kScan = 3,      // measures an item, plays nothing
};

// A time notification added to the chain, kept so that it can be taken back.
struct ChainNotification {
  double seconds = 0.0;
  uint32_t key = 0;
};

struct ChainEntry {
  RefPtr<MMediaChain> chain;
  uint32_t chainId = 0;
  uint32_t itemId = 0;
  ChainRole role = ChainRole::kCurrent;
  uint32_t predecessor = 0;  // a next chain: the chain id it follows
  std::vector<ChainNotification> notifications;
};

class ChainTable {
 public:
  // Pointers stay valid until the table changes.
  ChainEntry* Find(uint32_t chainId);
  ChainEntry* FirstIn(ChainRole role);
  ChainEntry* Current() { return FirstIn(ChainRole::kCurrent); }
  // The current chain, else the first scan chain: what property reads speak for.
  ChainEntry* CurrentOrScan();
  ChainEntry* FollowerOf(uint32_t chainId);
  bool Any(const std::function<bool(const ChainEntry&)>& match) const;
  void ForEach(const std::function<void(const ChainEntry&)>& visit) const {
    for (const ChainEntry& e : entries_)
      visit(e);
  }

  void Add(ChainEntry entry) { entries_.push_back(std::move(entry)); }
  // Takes out the entry of `chainId` (appended to `out`); false when absent.
  bool Take(uint32_t chainId, std::vector<ChainEntry>* out);
  void TakeIf(const std::function<bool(const ChainEntry&)>& match, std::vector<ChainEntry>* out);
  void TakeRole(ChainRole role, std::vector<ChainEntry>* out) {
    TakeIf([role](const ChainEntry& e) { return e.role == role; }, out);
  }
  void TakeAll(std::vector<ChainEntry>* out);
  std::vector<RefPtr<MMediaChain>> Chains() const;
  size_t Size() const { return entries_.size(); }

 private:
  std::vector<ChainEntry> entries_;
};

}  // namespace vk2

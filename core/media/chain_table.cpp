#include "core/media/chain_table.h"

#include <algorithm>

namespace vk2 {

ChainEntry* ChainTable::Find(uint32_t chainId) {
  for (ChainEntry& e : entries_) {
    if (e.chainId == chainId) return &e;
  }
  return nullptr;
}

ChainEntry* ChainTable::FirstIn(ChainRole role) {
  for (ChainEntry& e : entries_) {
    if (e.role == role) return &e;
  }
  return nullptr;
}

ChainEntry* ChainTable::CurrentOrScan() {
  ChainEntry* e = Current();
  return e ? e : FirstIn(ChainRole::kScan);
}

ChainEntry* ChainTable::FollowerOf(uint32_t chainId) {
  for (ChainEntry& e : entries_) {
    if (e.role == ChainRole::kNext && e.predecessor == chainId) return &e;
  }
  return nullptr;
}

bool ChainTable::Any(const std::function<bool(const ChainEntry&)>& match) const {
  return std::any_of(entries_.begin(), entries_.end(), match);
}

bool ChainTable::Take(uint32_t chainId, std::vector<ChainEntry>* out) {
  const size_t before = out->size();
  TakeIf([chainId](const ChainEntry& e) { return e.chainId == chainId; }, out);
  return out->size() != before;
}

void ChainTable::TakeIf(const std::function<bool(const ChainEntry&)>& match,
                        std::vector<ChainEntry>* out) {
  auto keep = std::stable_partition(entries_.begin(), entries_.end(),
                                    [&match](const ChainEntry& e) { return !match(e); });
  std::move(keep, entries_.end(), std::back_inserter(*out));
  entries_.erase(keep, entries_.end());
}

void ChainTable::TakeAll(std::vector<ChainEntry>* out) {
  std::move(entries_.begin(), entries_.end(), std::back_inserter(*out));
  entries_.clear();
}

std::vector<RefPtr<MMediaChain>> ChainTable::Chains() const {
  std::vector<RefPtr<MMediaChain>> chains;
  chains.reserve(entries_.size());
  for (const ChainEntry& e : entries_)
    chains.push_back(e.chain);
  return chains;
}

}  // namespace vk2

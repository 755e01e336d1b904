// The position index over a list's segments: a treap (a binary search tree in list order,
// balanced by random priorities) whose nodes carry the item count of their subtree. It finds
// the segment that holds a position, and the position where a segment starts, in time
// logarithmic in the number of segments, where a walk along the chain is linear.
#pragma once

#include <cstdint>

namespace vk2 {

struct SegmentNode {
  uint32_t count = 0;  // items in this segment
  SegmentNode* parent = nullptr;
  SegmentNode* left = nullptr;
  SegmentNode* right = nullptr;
  uint32_t priority = 0;
  uint32_t total = 0;  // items in this node's subtree
};

class SegmentIndex {
 public:
  // Empties the index (the nodes themselves are left alone).
  void Reset() { root_ = nullptr; }
  // Adds `fresh` (not in the index) just before `at`, or last when `at` is null.
  void InsertBefore(SegmentNode* fresh, SegmentNode* at);
  void Erase(SegmentNode* node);
  // Call after the node's count changed.
  void Refresh(SegmentNode* node);

  // The segment holding the item at `index` and the item's place in it; null when `index`
  // is not below the total. A position at a segment boundary belongs to the later segment.
  SegmentNode* Locate(uint32_t index, uint32_t* position) const;
  // The items in the segments before `node`.
  uint32_t ItemsBefore(const SegmentNode* node) const;
  uint32_t Total() const { return root_ ? root_->total : 0; }

  // True when links, subtree counts and priorities are in order and the nodes, in order,
  // are `count` in number (for tests).
  bool Check(uint32_t count) const;

 private:
  static uint32_t TotalOf(const SegmentNode* n) { return n ? n->total : 0; }
  static void Recount(SegmentNode* n) {
    n->total = TotalOf(n->left) + n->count + TotalOf(n->right);
  }
  // Turns `child` into its parent's parent.
  void RotateUp(SegmentNode* child);
  uint32_t NextPriority();

  SegmentNode* root_ = nullptr;
  uint32_t random_ = 0x9E3779B9u;
};

}  // namespace vk2

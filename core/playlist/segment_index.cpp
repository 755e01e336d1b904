#include "core/playlist/segment_index.h"

namespace vk2 {
namespace {

// Checks a subtree; the nodes it holds are added to `nodes`.
bool CheckSubtree(const SegmentNode* n, const SegmentNode* parent, uint32_t* nodes) {
  if (!n) return true;
  if (n->parent != parent || (parent && n->priority > parent->priority)) return false;
  const uint32_t left = n->left ? n->left->total : 0;
  const uint32_t right = n->right ? n->right->total : 0;
  if (n->total != left + n->count + right) return false;
  ++*nodes;
  return CheckSubtree(n->left, n, nodes) && CheckSubtree(n->right, n, nodes);
}

}  // namespace

uint32_t SegmentIndex::NextPriority() {
  // xorshift: any spread of priorities keeps the expected depth logarithmic.
  random_ ^= random_ << 13;
  random_ ^= random_ >> 17;
  random_ ^= random_ << 5;
  return random_;
}

void SegmentIndex::RotateUp(SegmentNode* child) {
  SegmentNode* p = child->parent;
  SegmentNode* g = p->parent;
  if (p->left == child) {
    p->left = child->right;
    if (p->left) p->left->parent = p;
    child->right = p;
  } else {
    p->right = child->left;
    if (p->right) p->right->parent = p;
    child->left = p;
  }
  p->parent = child;
  child->parent = g;
  if (!g) {
    root_ = child;
  } else if (g->left == p) {
    g->left = child;
  } else {
    g->right = child;
  }
  Recount(p);
  Recount(child);
}

void SegmentIndex::Refresh(SegmentNode* node) {
  for (SegmentNode* n = node; n; n = n->parent)
    Recount(n);
}

void SegmentIndex::InsertBefore(SegmentNode* fresh, SegmentNode* at) {
  fresh->left = fresh->right = nullptr;
  fresh->priority = NextPriority();
  fresh->total = fresh->count;
  // The new node becomes the in-order predecessor of `at` (or the last node): the rightmost
  // node of at's left subtree gets it as its right child.
  SegmentNode* parent;
  bool asLeft = false;
  if (!root_) {
    parent = nullptr;
  } else if (!at) {
    parent = root_;
    while (parent->right)
      parent = parent->right;
  } else if (!at->left) {
    parent = at;
    asLeft = true;
  } else {
    parent = at->left;
    while (parent->right)
      parent = parent->right;
  }
  fresh->parent = parent;
  if (!parent) {
    root_ = fresh;
  } else if (asLeft) {
    parent->left = fresh;
  } else {
    parent->right = fresh;
  }
  Refresh(parent);
  while (fresh->parent && fresh->parent->priority < fresh->priority)
    RotateUp(fresh);
}

void SegmentIndex::Erase(SegmentNode* node) {
  // Rotate the node down to a leaf, keeping the heap order among the others, then cut it off.
  while (node->left || node->right) {
    SegmentNode* up = !node->right                                   ? node->left
                      : !node->left                                  ? node->right
                      : node->left->priority > node->right->priority ? node->left
                                                                     : node->right;
    RotateUp(up);
  }
  SegmentNode* parent = node->parent;
  if (!parent) {
    root_ = nullptr;
  } else {
    (parent->left == node ? parent->left : parent->right) = nullptr;
    Refresh(parent);
  }
  node->parent = nullptr;
}

SegmentNode* SegmentIndex::Locate(uint32_t index, uint32_t* position) const {
  SegmentNode* n = root_;
  while (n) {
    const uint32_t left = TotalOf(n->left);
    if (index < left) {
      n = n->left;
    } else if (index < left + n->count) {
      *position = index - left;
      return n;
    } else {
      index -= left + n->count;
      n = n->right;
    }
  }
  return nullptr;
}

uint32_t SegmentIndex::ItemsBefore(const SegmentNode* node) const {
  uint32_t before = TotalOf(node->left);
  for (const SegmentNode* n = node; n->parent; n = n->parent) {
    if (n->parent->right == n) before += TotalOf(n->parent->left) + n->parent->count;
  }
  return before;
}

bool SegmentIndex::Check(uint32_t count) const {
  uint32_t nodes = 0;
  return CheckSubtree(root_, nullptr, &nodes) && nodes == count;
}

}  // namespace vk2

// The position index over segments, against a plain vector of counts.
#include "core/playlist/segment_index.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

namespace vk2 {
namespace {

struct Model {
  SegmentIndex index;
  std::vector<std::unique_ptr<SegmentNode>> nodes;  // in list order

  uint32_t Total() const {
    uint32_t total = 0;
    for (const auto& n : nodes)
      total += n->count;
    return total;
  }

  // Every position and every segment start agrees with a walk over the vector.
  void ExpectAgrees() const {
    ASSERT_TRUE(index.Check(static_cast<uint32_t>(nodes.size())));
    ASSERT_EQ(index.Total(), Total());
    uint32_t before = 0;
    for (const auto& n : nodes) {
      ASSERT_EQ(index.ItemsBefore(n.get()), before);
      for (uint32_t i = 0; i < n->count; i += 1 + n->count / 3) {
        uint32_t position = ~0u;
        ASSERT_EQ(index.Locate(before + i, &position), n.get()) << before + i;
        ASSERT_EQ(position, i);
      }
      before += n->count;
    }
    uint32_t position = 0;
    EXPECT_EQ(index.Locate(before, &position), nullptr);
  }
};

TEST(SegmentIndexTest, PositionsFollowRandomInsertsErasuresAndCountChanges) {
  std::mt19937 random(7);
  Model m;
  for (int step = 0; step < 3000; ++step) {
    const int op = static_cast<int>(random() % 4);
    if (op <= 1 || m.nodes.size() < 4) {
      auto node = std::make_unique<SegmentNode>();
      node->count = random() % 5 == 0 ? 0 : 1 + random() % 256;
      // Half the insertions go last, as appends do.
      const size_t at = random() % 2 ? m.nodes.size() : random() % (m.nodes.size() + 1);
      m.index.InsertBefore(node.get(), at == m.nodes.size() ? nullptr : m.nodes[at].get());
      m.nodes.insert(m.nodes.begin() + static_cast<ptrdiff_t>(at), std::move(node));
    } else if (op == 2) {
      const size_t at = random() % m.nodes.size();
      m.index.Erase(m.nodes[at].get());
      m.nodes.erase(m.nodes.begin() + static_cast<ptrdiff_t>(at));
    } else {
      SegmentNode* node = m.nodes[random() % m.nodes.size()].get();
      node->count = random() % 257;
      m.index.Refresh(node);
    }
    if (step % 97 == 0) {
      SCOPED_TRACE(step);
      m.ExpectAgrees();
    }
  }
  m.ExpectAgrees();
  while (!m.nodes.empty()) {
    m.index.Erase(m.nodes.front().get());
    m.nodes.erase(m.nodes.begin());
  }
  m.ExpectAgrees();
  EXPECT_EQ(m.index.Total(), 0u);
}

TEST(SegmentIndexTest, AppendsInOrderStayShallow) {
  // A run of appends is the common case; a degenerate chain would make every lookup linear.
  constexpr int kNodes = 4096;
  Model m;
  for (int i = 0; i < kNodes; ++i) {
    m.nodes.push_back(std::make_unique<SegmentNode>());
    m.nodes.back()->count = 1;
    m.index.InsertBefore(m.nodes.back().get(), nullptr);
  }
  m.ExpectAgrees();
  size_t deepest = 0;
  for (const auto& n : m.nodes) {
    size_t depth = 0;
    for (const SegmentNode* p = n.get(); p->parent; p = p->parent)
      ++depth;
    deepest = std::max(deepest, depth);
  }
  // log2(4096) is 12; a random treap of this size stays well within 4x that.
  EXPECT_LT(deepest, 48u);
}

}  // namespace
}  // namespace vk2

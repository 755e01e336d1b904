#include "core/playlist/playlist_order.h"

#include <utility>

#include "core/playlist/random_generator.h"
#include "core/text/sort_with_context.h"
#include "foundation/util/result.h"

namespace vk2 {
namespace {

// Drawing an item that is not linked yet (or the head) draws again; past this many draws the
// item goes to the tail, so a large addition at the top of a long list cannot spin for long.
constexpr int kShuffleDraws = 1000;

struct SortContext {
  SortKey key;
  bool ascending;
  const TString* token;
};

// The text an item sorts by, or null when it has none.
const char16_t* SortText(const ItemInfo& info, const SortContext& ctx) {
  switch (ctx.key) {
    case SortKey::kTitle: {
      if (info.Has(kTitlePresent) && !info.title.IsEmpty()) return info.title.c_str();
      if (!info.Has(kUrlPresent)) return nullptr;
      const char16_t* url = info.url.c_str();
      const char16_t* name = url;
      for (const char16_t* p = url; *p; ++p) {
        if (*p == u'/' || *p == u'\\') name = p + 1;
      }
      return name;
    }
    case SortKey::kAuthor:
      return info.Has(kAuthorPresent) ? info.author.c_str() : nullptr;
    case SortKey::kToken: {
      if (!info.Has(kTokensPresent)) return nullptr;
      const TString* value = info.FindToken(ctx.token->c_str());
      return value ? value->c_str() : nullptr;
    }
  }
  return nullptr;
}

int CompareItems(const void* a, const void* b, void* context) {
  const auto& ctx = *static_cast<const SortContext*>(context);
  const char16_t* x = SortText((*static_cast<PlaylistItem* const*>(a))->info, ctx);
  const char16_t* y = SortText((*static_cast<PlaylistItem* const*>(b))->info, ctx);
  int r;
  if (!x || !y) {
    r = (x == nullptr) - (y == nullptr);
  } else {
    r = WideCompare(x, y, false);
    r = (r > 0) - (r < 0);
  }
  return ctx.ascending ? r : -r;
}

}  // namespace

void PlaylistOrder::AddToShuffle(PlaylistItem* item, uint32_t itemsBefore) {
  item->shufflePrev = item->shuffleNext = 0;
  for (int draw = 0; draw < kShuffleDraws; ++draw) {
    const uint32_t k = RandomIndex(itemsBefore);
    if (k == itemsBefore) break;
    PlaylistItem* at = storage_.List().At(k);
    if (!at || at == item || at->shufflePrev == 0) continue;
    PlaylistItem* prev = storage_.FindLive(at->shufflePrev);
    if (!prev) continue;
    item->shufflePrev = prev->Id();
    item->shuffleNext = at->Id();
    prev->shuffleNext = item->Id();
    at->shufflePrev = item->Id();
    return;
  }
  PlaylistItem* tail = tail_ ? storage_.FindLive(tail_) : nullptr;
  item->shufflePrev = tail ? tail->Id() : 0;
  if (tail) tail->shuffleNext = item->Id();
  tail_ = item->Id();
  if (!head_ || !tail) head_ = item->Id();
}

void PlaylistOrder::RemoveFromShuffle(PlaylistItem* item) {
  PlaylistItem* prev = item->shufflePrev ? storage_.FindLive(item->shufflePrev) : nullptr;
  PlaylistItem* next = item->shuffleNext ? storage_.FindLive(item->shuffleNext) : nullptr;
  if (prev) {
    prev->shuffleNext = item->shuffleNext;
  } else if (head_ == item->Id()) {
    head_ = item->shuffleNext;
  }
  if (next) {
    next->shufflePrev = item->shufflePrev;
  } else if (tail_ == item->Id()) {
    tail_ = item->shufflePrev;
  }
}

int32_t PlaylistOrder::Reshuffle() {
  const uint32_t c = storage_.Count();
  if (c < 2) return kOk;
  TArray<PlaylistItem*> candidates;
  if (!storage_.List().Snapshot(&candidates)) return kErrOutOfMemory;
  const uint32_t h = ScaleRandom(NextRandom(), c);
  PlaylistItem* placed = candidates[h];
  // The remaining candidates are drawn one by one; the last one fills the drawn one's place,
  // so every draw is uniform over what is left and the whole order takes linear time.
  candidates[h] = candidates[c - 1];
  placed->shufflePrev = 0;
  head_ = placed->Id();
  for (uint32_t m = c - 1; m >= 1; --m) {
    const uint32_t j = ScaleRandom(NextRandom(), m);
    PlaylistItem* item = candidates[j];
    candidates[j] = candidates[m - 1];
    placed->shuffleNext = item->Id();
    item->shufflePrev = placed->Id();
    placed = item;
  }
  placed->shuffleNext = 0;
  tail_ = placed->Id();
  return kOk;
}

int32_t PlaylistOrder::GetFirst(uint32_t* id, bool shuffle) const {
  if (!id) return kErrMissingArg;
  if (storage_.Count() == 0) {
    *id = 0;
  } else if (shuffle) {
    *id = head_;
  } else {
    *id = storage_.List().At(0)->Id();
  }
  return kOk;
}

int32_t PlaylistOrder::Step(uint32_t id, uint32_t* out, bool shuffle, bool forward) const {
  if (!out) return kErrMissingArg;
  PlaylistItem* item = storage_.Find(id);
  if (!item) return storage_.Codes()(PlaylistError::kIdNotFound);
  *out = 0;
  if (!item->IsRemoved() && !shuffle) {
    const int64_t index = storage_.List().IndexOf(item) + (forward ? 1 : -1);
    PlaylistItem* other = index >= 0 ? storage_.List().At(static_cast<uint32_t>(index)) : nullptr;
    if (other) *out = other->Id();
    return kOk;
  }
  // Follow the links (a removed item's recorded ones) to the first live item. Every removed
  // item is passed at most once, whatever the links hold.
  uint32_t budget = storage_.RemovedCount() + 1;
  uint32_t next = shuffle ? (forward ? item->shuffleNext : item->shufflePrev)
                          : (forward ? item->listNext : item->listPrev);
  while (next != 0 && budget-- > 0) {
    PlaylistItem* at = storage_.Find(next);
    if (!at) return kOk;
    if (!at->IsRemoved()) {
      *out = next;
      return kOk;
    }
    next = shuffle ? (forward ? at->shuffleNext : at->shufflePrev)
                   : (forward ? at->listNext : at->listPrev);
  }
  return kOk;
}

int32_t PlaylistOrder::GetNext(uint32_t id, uint32_t* next, bool shuffle) const {
  return Step(id, next, shuffle, true);
}

int32_t PlaylistOrder::GetPrev(uint32_t id, uint32_t* prev, bool shuffle) const {
  return Step(id, prev, shuffle, false);
}

int32_t PlaylistOrder::Sort(SortKey key, bool ascending, const TString& token) {
  if (storage_.Count() == 0) return 0;
  TArray<PlaylistItem*> items;
  if (!storage_.List().Snapshot(&items)) return kErrOutOfMemory;
  SortContext ctx{key, ascending, &token};
  SortWithContext(items.Data(), items.Count(), sizeof(PlaylistItem*), CompareItems, &ctx);
  return storage_.List().Assign(items.Data(), items.Count()) ? 1 : kErrOutOfMemory;
}

int32_t PlaylistOrder::Randomize() {
  const uint32_t n = storage_.Count();
  if (n == 0) return 0;
  // Each item in list order takes a random place among those placed so far (the one there
  // moves to the end): a uniform order in linear time.
  TArray<PlaylistItem*> order;
  if (!order.Reserve(n)) return kErrOutOfMemory;
  storage_.List().ForEach([&order](PlaylistItem* item) {
    const uint32_t k = RandomBetween(0, order.Count());
    if (k == order.Count()) {
      order.Append(item);
    } else {
      order.Append(order[k]);
      order[k] = item;
    }
  });
  return storage_.List().Assign(order.Data(), order.Count()) ? 1 : kErrOutOfMemory;
}

int32_t PlaylistOrder::Reverse() {
  const uint32_t n = storage_.Count();
  if (n == 0) return 0;
  TArray<PlaylistItem*> order;
  if (!storage_.List().Snapshot(&order)) return kErrOutOfMemory;
  for (uint32_t i = 0, j = n - 1; i < j; ++i, --j)
    std::swap(order[i], order[j]);
  return storage_.List().Assign(order.Data(), order.Count()) ? 1 : kErrOutOfMemory;
}

bool PlaylistOrder::CheckShuffle() const {
  const uint32_t n = storage_.Count();
  if (n == 0) return head_ == 0 && tail_ == 0;
  uint32_t seen = 0;
  uint32_t prev = 0;
  for (uint32_t id = head_; id != 0; id = storage_.FindLive(id)->shuffleNext) {
    PlaylistItem* item = storage_.FindLive(id);
    if (!item || item->shufflePrev != prev || ++seen > n) return false;
    prev = id;
    if (item->shuffleNext && !storage_.FindLive(item->shuffleNext)) return false;
  }
  return seen == n && prev == tail_;
}

}  // namespace vk2

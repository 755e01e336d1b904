#include "core/playlist/item_list.h"

#include <algorithm>
#include <limits>
#include <new>

namespace vk2 {
namespace {

constexpr uint32_t kSlots = ListSegment::kSlots;
// Inserts of this many items or more always go into fresh segments.
constexpr uint32_t kBulkInsert = 128;
// A prefix split off a segment joins its previous one only while they stay this small together.
constexpr uint32_t kSmallPrefix = 33;
// Segments this thin merge with a neighbour after a removal.
constexpr uint32_t kMergeBelow = 64;
// Spare segments kept between edits, so that one-at-a-time inserts do not allocate and free
// their reserve each time.
constexpr uint32_t kKeptSpares = 3;
// Positions are reported as 32-bit signed indexes elsewhere.
constexpr uint32_t kMaxItems = static_cast<uint32_t>(std::numeric_limits<int32_t>::max());

}  // namespace

ItemList::ItemList() {
  first_ = last_ = new ListSegment;
  IndexChain();
}

void ItemList::IndexChain() {
  index_.Reset();
  for (ListSegment* s = first_; s; s = s->next)
    index_.InsertBefore(s, nullptr);
}

ItemList::~ItemList() {
  Clear();
  delete first_;
  FreeSpares();
}

void ItemList::Place(ListSegment* s, uint32_t i, PlaylistItem* item) {
  s->slots[i].owner = s;
  s->slots[i].item = item;
  item->slot = &s->slots[i];
}

void ItemList::Shift(ListSegment* s, uint32_t from, int32_t delta) {
  if (delta > 0) {
    for (uint32_t i = s->count; i > from; --i)
      Place(s, i - 1 + static_cast<uint32_t>(delta), s->slots[i - 1].item);
  } else if (delta < 0) {
    const uint32_t down = static_cast<uint32_t>(-delta);
    for (uint32_t i = from; i < s->count; ++i)
      Place(s, i - down, s->slots[i].item);
  }
}

bool ItemList::ReserveSegments(uint32_t n) {
  uint32_t have = 0;
  for (ListSegment* s = spares_; s; s = s->next)
    ++have;
  for (; have < n; ++have) {
    auto* s = new (std::nothrow) ListSegment;
    if (!s) return false;
    s->next = spares_;
    spares_ = s;
  }
  return true;
}

void ItemList::FreeSpares(uint32_t keep) {
  ListSegment** link = &spares_;
  for (; *link && keep > 0; --keep)
    link = &(*link)->next;
  while (*link) {
    ListSegment* next = (*link)->next;
    delete *link;
    *link = next;
  }
}

ListSegment* ItemList::NewSegmentBefore(ListSegment* s) {
  // Callers reserve enough segments first; an insertion never fails halfway.
  ListSegment* fresh = spares_;
  spares_ = fresh->next;
  fresh->count = 0;
  fresh->next = s;
  fresh->prev = s->prev;
  if (s->prev) {
    s->prev->next = fresh;
  } else {
    first_ = fresh;
  }
  s->prev = fresh;
  index_.InsertBefore(fresh, s);
  return fresh;
}

void ItemList::Unlink(ListSegment* s) {
  index_.Erase(s);
  if (s->prev) {
    s->prev->next = s->next;
  } else {
    first_ = s->next;
  }
  if (s->next) {
    s->next->prev = s->prev;
  } else {
    last_ = s->prev;
  }
  s->prev = s->next = nullptr;
}

ListSegment* ItemList::Locate(uint32_t index, uint32_t* position) const {
  if (auto* s = static_cast<ListSegment*>(index_.Locate(index, position))) return s;
  // The end of the list: after the last item.
  *position = last_->count;
  return last_;
}

PlaylistItem* ItemList::At(uint32_t index) const {
  if (index >= count_) return nullptr;
  uint32_t p;
  ListSegment* s = Locate(index, &p);
  return s->slots[p].item;
}

int64_t ItemList::IndexOf(const PlaylistItem* item) const {
  if (!item || !item->slot) return -1;
  const ListSegment* s = item->slot->owner;
  return (item->slot - s->slots) + int64_t{index_.ItemsBefore(s)};
}

void ItemList::InsertAt(ListSegment* s, uint32_t p, PlaylistItem* const* items, uint32_t n) {
  while (n > 0) {
    if (p == 0 && (n >= kBulkInsert || s->count + n > kSlots)) {
      // A run of fresh segments in front of s; the only empty segment (an empty list) is used
      // as it is.
      ListSegment* fresh = s->count == 0 ? s : NewSegmentBefore(s);
      const uint32_t k = std::min(n, kSlots);
      for (uint32_t i = 0; i < k; ++i)
        Place(fresh, i, items[i]);
      fresh->count = k;
      index_.Refresh(fresh);
      count_ += k;
      items += k;
      n -= k;
      s = fresh;
      p = k;
      continue;
    }
    if (n < kBulkInsert && s->count + n <= kSlots) {
      Shift(s, p, static_cast<int32_t>(n));
      for (uint32_t i = 0; i < n; ++i)
        Place(s, p + i, items[i]);
      s->count += n;
      index_.Refresh(s);
      count_ += n;
      return;
    }
    if (p == s->count && s->next) {
      s = s->next;
      p = 0;
      continue;
    }
    // Split s at p: its head goes to the previous segment when both stay small, else to a new
    // segment of its own; the insertion then continues at the front of what is left of s.
    const uint32_t incoming = n < kBulkInsert ? n : 0;
    ListSegment* prev = s->prev;
    if (prev && incoming + prev->count + p < kSmallPrefix) {
      for (uint32_t i = 0; i < p; ++i)
        Place(prev, prev->count + i, s->slots[i].item);
      prev->count += p;
      index_.Refresh(prev);
    } else {
      ListSegment* head = NewSegmentBefore(s);
      for (uint32_t i = 0; i < p; ++i)
        Place(head, i, s->slots[i].item);
      head->count = p;
      index_.Refresh(head);
    }
    Shift(s, p, -static_cast<int32_t>(p));
    s->count -= p;
    p = 0;
    if (s->count + n <= kSlots) {
      Shift(s, 0, static_cast<int32_t>(n));
      for (uint32_t i = 0; i < n; ++i)
        Place(s, i, items[i]);
      s->count += n;
      index_.Refresh(s);
      count_ += n;
      return;
    }
    index_.Refresh(s);
  }
}

bool ItemList::Insert(uint32_t index, PlaylistItem* const* items, uint32_t n) {
  if (index > count_ || n > kMaxItems - count_) return false;
  if (n == 0) return true;
  if (!items) return false;
  if (!ReserveSegments(n / kSlots + 3)) {
    FreeSpares();
    return false;
  }
  uint32_t p;
  ListSegment* s = Locate(index, &p);
  InsertAt(s, p, items, n);
  FreeSpares(kKeptSpares);
  return true;
}

void ItemList::MergeAround(ListSegment* s) {
  if (first_ == last_) return;
  ListSegment* next = s->next;
  ListSegment* prev = s->prev;
  if (s->count <= kMergeBelow && next && next->count <= kMergeBelow &&
      (!prev || next->count < prev->count)) {
    for (uint32_t i = 0; i < next->count; ++i)
      Place(s, s->count + i, next->slots[i].item);
    s->count += next->count;
    index_.Refresh(s);
    Unlink(next);
    delete next;
  } else if (prev && prev->count <= kMergeBelow && s->count <= kMergeBelow) {
    for (uint32_t i = 0; i < s->count; ++i)
      Place(prev, prev->count + i, s->slots[i].item);
    prev->count += s->count;
    index_.Refresh(prev);
    Unlink(s);
    delete s;
  } else if (s->count == 0) {
    // Only the last segment of an empty list stays empty.
    Unlink(s);
    delete s;
  }
}

bool ItemList::Remove(uint32_t index, uint32_t n) {
  if (index > count_ || n > count_ - index) return false;
  if (n == 0) return true;
  uint32_t p;
  ListSegment* s = Locate(index, &p);
  ListSegment* touched = nullptr;
  while (n > 0) {
    if (p == 0) {
      // Whole segments go at once; the list's only segment is emptied, never freed.
      while (s && n > 0 && s->count <= n) {
        for (uint32_t i = 0; i < s->count; ++i)
          s->slots[i].item->slot = nullptr;
        n -= s->count;
        count_ -= s->count;
        if (first_ == last_) {
          s->count = 0;
          index_.Refresh(s);
          return true;
        }
        ListSegment* next = s->next;
        touched = next ? next : s->prev;
        Unlink(s);
        delete s;
        s = next;
      }
      if (n == 0) break;
    }
    const uint32_t k = std::min(s->count - p, n);
    for (uint32_t i = p; i < p + k; ++i)
      s->slots[i].item->slot = nullptr;
    Shift(s, p + k, -static_cast<int32_t>(k));
    s->count -= k;
    index_.Refresh(s);
    count_ -= k;
    n -= k;
    touched = s;
    if (n > 0) {
      s = s->next;
      p = 0;
    }
  }
  if (touched) MergeAround(touched);
  return true;
}

bool ItemList::Snapshot(TArray<PlaylistItem*>* out) const {
  out->Clear();
  if (!out->Reserve(count_)) return false;
  ForEach([out](PlaylistItem* item) { out->Append(item); });
  return true;
}

bool ItemList::Move(uint32_t from, uint32_t n, uint32_t before) {
  if (from > count_ || n > count_ - from || before > count_) return false;
  if (before > from && before < from + n) return false;
  if (n == 0 || before == from || before == from + n) return true;
  TArray<PlaylistItem*> run;
  if (!run.Reserve(n)) return false;
  for (uint32_t i = 0; i < n; ++i)
    run.Append(At(from + i));
  if (!ReserveSegments(n / kSlots + 3)) {
    FreeSpares();
    return false;
  }
  Remove(from, n);
  const uint32_t target = before > from ? before - n : before;
  uint32_t p;
  ListSegment* s = Locate(target, &p);
  InsertAt(s, p, run.Data(), n);
  FreeSpares(kKeptSpares);
  return true;
}

bool ItemList::Assign(PlaylistItem* const* items, uint32_t n) {
  if (n > kMaxItems || (n > 0 && !items)) return false;
  const uint32_t segments = n == 0 ? 1 : (n + kSlots - 1) / kSlots;
  if (!ReserveSegments(segments)) {
    FreeSpares();
    return false;
  }
  Clear();
  // Clear leaves one empty segment; fill it and chain the rest after it.
  ListSegment* s = first_;
  for (uint32_t i = 0; i < n; ++i) {
    if (s->count == kSlots) {
      ListSegment* fresh = spares_;
      spares_ = fresh->next;
      fresh->count = 0;
      fresh->prev = s;
      fresh->next = nullptr;
      s->next = fresh;
      last_ = fresh;
      s = fresh;
    }
    Place(s, s->count++, items[i]);
  }
  count_ = n;
  IndexChain();
  FreeSpares(kKeptSpares);
  return true;
}

void ItemList::Clear() {
  for (ListSegment* s = first_; s; s = s->next) {
    for (uint32_t i = 0; i < s->count; ++i)
      s->slots[i].item->slot = nullptr;
  }
  while (first_ != last_) {
    ListSegment* next = first_->next;
    delete first_;
    first_ = next;
  }
  first_->prev = first_->next = nullptr;
  first_->count = 0;
  count_ = 0;
  IndexChain();
}

TArray<uint32_t> ItemList::SegmentCounts() const {
  TArray<uint32_t> counts;
  for (const ListSegment* s = first_; s; s = s->next)
    counts.Append(s->count);
  return counts;
}

bool ItemList::CheckConsistency() const {
  uint32_t total = 0;
  uint32_t segments = 0;
  const ListSegment* prev = nullptr;
  for (const ListSegment* s = first_; s; s = s->next) {
    if (s->prev != prev || s->count > kSlots) return false;
    if (index_.ItemsBefore(s) != total) return false;
    ++segments;
    if (s->count == 0 && (first_ != last_)) return false;
    for (uint32_t i = 0; i < s->count; ++i) {
      if (s->slots[i].owner != s || !s->slots[i].item || s->slots[i].item->slot != &s->slots[i])
        return false;
    }
    total += s->count;
    prev = s;
  }
  return prev == last_ && total == count_ && index_.Check(segments) && index_.Total() == count_;
}

}  // namespace vk2

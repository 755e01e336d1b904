// Lockable block pools: fixed-size records handed out from blocks of many records, so that
// hash entries and script data items never come from the heap one by one.
//
// A block is one allocation holding a small header and kRecordsPerBlock slots; each slot keeps a
// pointer back to its block. Free records sit on a free list; a block whose last record comes
// back is kept as the spare, and only when a second block empties is the older spare freed.
// That damps the allocate/free cycle at a block boundary while keeping at most one empty block.
//
// Alloc and Free take the pool's recursive lock, so one pool can serve many owners on many
// threads. Records are constructed by Alloc and destroyed by Free (outside the lock).
//
// The module-wide pool of two-record blocks that some builds create at load time serves no
// caller here, so it is not built.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <new>
#include <utility>

#include "foundation/containers/tarray.h"

namespace vk2 {

template <class Record, uint32_t kRecordsPerBlock, uint32_t kListGrowth>
class BlockPool {
  static_assert(kRecordsPerBlock > 0 && kListGrowth > 0);

 public:
  BlockPool() : freeList_(kListGrowth), blocks_(kListGrowth) {}
  // Frees every block. Records still in use are not destroyed: their owners must have freed them.
  ~BlockPool() {
    for (Block* block : blocks_)
      delete block;
  }
  BlockPool(const BlockPool&) = delete;
  BlockPool& operator=(const BlockPool&) = delete;

  // A record constructed from `args`, or null when memory runs out.
  template <class... Args>
  Record* Alloc(Args&&... args) {
    Slot* slot = TakeSlot();
    if (!slot) return nullptr;
    try {
      return new (slot->storage) Record(std::forward<Args>(args)...);
    } catch (...) {
      ReturnSlot(slot);
      throw;
    }
  }

  // Destroys a record from this pool and takes it back; null is ignored.
  void Free(Record* record) {
    if (!record) return;
    record->~Record();
    ReturnSlot(SlotOf(record));
  }

  // Frees the spare block, if any.
  void ReleaseSpareBlock() {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (spare_) FreeBlock(spare_);
    spare_ = nullptr;
  }

 private:
  struct Block;
  struct Slot {
    Block* block;
    alignas(Record) unsigned char storage[sizeof(Record)];
  };
  struct Block {
    uint32_t inUse;
    uint32_t index;  // position in blocks_
    BlockPool* owner;
    Slot slots[kRecordsPerBlock];
  };

  static Slot* SlotOf(Record* record) {
    return reinterpret_cast<Slot*>(reinterpret_cast<unsigned char*>(record) -
                                   offsetof(Slot, storage));
  }

  Slot* TakeSlot() {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (freeList_.IsEmpty() && !AddBlock()) return nullptr;
    Slot* slot = freeList_.Last();
    freeList_.RemoveLast();
    if (slot->block->inUse++ == 0 && slot->block == spare_) spare_ = nullptr;
    return slot;
  }

  void ReturnSlot(Slot* slot) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    Block* block = slot->block;
    if (--block->inUse == 0) {
      if (spare_) FreeBlock(spare_);
      spare_ = block;
    }
    // AddBlock keeps room for every record, so this never allocates.
    freeList_.Append(slot);
  }

  bool AddBlock() {
    // The free list keeps room for every record of every block, so Free can never fail.
    const uint32_t records = (blocks_.Count() + 1) * kRecordsPerBlock;
    if (records > freeList_.Capacity()) {
      const uint32_t missing = records - freeList_.Capacity();
      const uint32_t steps = (missing + kListGrowth - 1) / kListGrowth;
      if (!freeList_.GrowBy(steps * kListGrowth)) return false;
    }
    if (blocks_.Count() == blocks_.Capacity() && !blocks_.GrowBy(kListGrowth)) return false;
    Block* block = new (std::nothrow) Block;
    if (!block) return false;
    block->inUse = 0;
    block->index = blocks_.Count();
    block->owner = this;
    // Lowest address on top of the free list: records are handed out in address order.
    for (uint32_t i = kRecordsPerBlock; i > 0; --i) {
      block->slots[i - 1].block = block;
      freeList_.Append(&block->slots[i - 1]);
    }
    blocks_.Append(block);
    return true;
  }

  // Removes an empty block's records from the free list and the block from the block list.
  void FreeBlock(Block* block) {
    uint32_t kept = 0;
    for (uint32_t i = 0; i < freeList_.Count(); ++i) {
      if (freeList_[i]->block != block) freeList_[kept++] = freeList_[i];
    }
    freeList_.Truncate(kept);
    blocks_.RemoveAt(block->index);
    for (uint32_t i = block->index; i < blocks_.Count(); ++i)
      blocks_[i]->index = i;
    delete block;
  }

  std::recursive_mutex mutex_;
  Block* spare_ = nullptr;
  TArray<Slot*> freeList_;
  TArray<Block*> blocks_;
};

// Storage for script data items: 256 records to a block, lists growing by 1,280. The script
// language names its data-item record type.
template <class Record>
using NodePool = BlockPool<Record, 256, 1280>;

}  // namespace vk2

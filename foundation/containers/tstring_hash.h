// `TStringHash`: a table from `TString` keys to pointer-wide values.
//
// Buckets are a power of two in number and never grow on their own: owners that expect many
// keys pass a size hint or call Rehash. Entries come from one `EntryPool` per module, shared by
// every table (the first table creates it, the last one destroys it). The pool is locked; the
// table itself is not, its owner serialises access.
#pragma once

#include <cstdint>

#include "foundation/containers/entry_pool.h"
#include "foundation/text/tstring.h"

namespace vk2 {

class TStringHash {
 public:
  // The bucket count is the largest power of two not above `sizeHint` (1 for 0 or 1).
  // A case-insensitive table folds ASCII letters in hashing and comparing alike.
  TStringHash(uint32_t sizeHint, bool caseSensitive);
  ~TStringHash();
  TStringHash(const TStringHash&) = delete;
  TStringHash& operator=(const TStringHash&) = delete;

  // Rebuilds the buckets for a new size hint; false (table unchanged) when memory runs out.
  bool Rehash(uint32_t sizeHint);
  // Adds an entry for `key` and returns it for the caller to set its value; null when memory
  // runs out. Does not look for an existing entry: callers Find first when keys must be unique.
  StringHashEntry* Insert(const TString& key);
  // The entry for `key` (the first inserted when there are several), or null.
  StringHashEntry* Find(const TString& key) const;
  StringHashEntry* Find(const char16_t* key) const;
  // Removes the entry for `key` and returns it to the pool; true when one was removed.
  bool Remove(const TString& key);
  // Iteration: Next(null) is the first entry, Next(e) the one after e, null at the end. The order
  // follows buckets, so it depends on the hash. Insert and Remove end an iteration.
  StringHashEntry* Next(const StringHashEntry* entry) const;
  void RemoveAll();

  uint32_t Count() const { return count_; }
  uint32_t BucketCount() const { return bucketCount_; }
  bool CaseSensitive() const { return caseSensitive_; }

 private:
  // A bucket is null or a heap array of entry pointers ended by a null entry.
  using Bucket = StringHashEntry**;

  static uint32_t BucketCountFor(uint32_t sizeHint);
  uint32_t HashOf(const char16_t* key) const;
  StringHashEntry* FindText(const char16_t* key, int32_t length) const;
  // Appends to bucket `index`; false when memory runs out.
  static bool AddToBucket(Bucket* buckets, uint32_t index, StringHashEntry* entry);
  static void FreeBuckets(Bucket* buckets, uint32_t count);

  EntryPool* pool_;
  Bucket* buckets_ = nullptr;
  uint32_t bucketCount_ = 0;
  uint32_t count_ = 0;
  bool caseSensitive_;
};

}  // namespace vk2

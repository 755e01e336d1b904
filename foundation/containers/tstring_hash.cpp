#include "foundation/containers/tstring_hash.h"

#include <cstdlib>
#include <mutex>

namespace vk2 {
namespace {

// The module's shared entry pool and the number of tables using it.
std::mutex gPoolMutex;
EntryPool* gPool = nullptr;
uint32_t gTables = 0;

EntryPool* AcquireEntryPool() {
  std::lock_guard<std::mutex> lock(gPoolMutex);
  if (gTables++ == 0) gPool = new EntryPool;
  return gPool;
}

void ReleaseEntryPool() {
  std::lock_guard<std::mutex> lock(gPoolMutex);
  if (--gTables == 0) {
    delete gPool;
    gPool = nullptr;
  }
}

uint32_t BucketLength(const StringHashEntry* const* bucket) {
  uint32_t n = 0;
  while (bucket[n])
    ++n;
  return n;
}

}  // namespace

TStringHash::TStringHash(uint32_t sizeHint, bool caseSensitive)
    : pool_(AcquireEntryPool()), caseSensitive_(caseSensitive) {
  const uint32_t count = BucketCountFor(sizeHint);
  buckets_ = static_cast<Bucket*>(std::calloc(count, sizeof(Bucket)));
  // Without buckets the table stays empty and Insert fails.
  if (buckets_) bucketCount_ = count;
}

TStringHash::~TStringHash() {
  RemoveAll();
  std::free(buckets_);
  ReleaseEntryPool();
}

uint32_t TStringHash::BucketCountFor(uint32_t sizeHint) {
  uint32_t count = 1;
  while (count <= sizeHint / 2)
    count <<= 1;
  return count;
}

uint32_t TStringHash::HashOf(const char16_t* key) const {
  return ElfHash(key, !caseSensitive_);
}

bool TStringHash::AddToBucket(Bucket* buckets, uint32_t index, StringHashEntry* entry) {
  Bucket bucket = buckets[index];
  const uint32_t k = bucket ? BucketLength(bucket) : 0;
  // Room grows in steps of four pointers: 4 at first (three entries and the terminator), then
  // k + 7 whenever k mod 4 is 2.
  if (!bucket || k % 4 == 2) {
    const size_t words = bucket ? k + 7 : 4;
    auto* grown = static_cast<Bucket>(std::realloc(bucket, words * sizeof(StringHashEntry*)));
    if (!grown) return false;
    bucket = grown;
    buckets[index] = bucket;
  }
  bucket[k] = entry;
  bucket[k + 1] = nullptr;
  return true;
}

void TStringHash::FreeBuckets(Bucket* buckets, uint32_t count) {
  for (uint32_t i = 0; i < count; ++i)
    std::free(buckets[i]);
  std::free(buckets);
}

bool TStringHash::Rehash(uint32_t sizeHint) {
  const uint32_t count = BucketCountFor(sizeHint);
  auto* fresh = static_cast<Bucket*>(std::calloc(count, sizeof(Bucket)));
  if (!fresh) return false;
  for (uint32_t b = 0; b < bucketCount_; ++b) {
    if (!buckets_[b]) continue;
    for (StringHashEntry** e = buckets_[b]; *e; ++e) {
      if (!AddToBucket(fresh, (*e)->hash & (count - 1), *e)) {
        FreeBuckets(fresh, count);
        return false;
      }
    }
  }
  FreeBuckets(buckets_, bucketCount_);
  buckets_ = fresh;
  bucketCount_ = count;
  return true;
}

StringHashEntry* TStringHash::Insert(const TString& key) {
  if (bucketCount_ == 0) return nullptr;
  StringHashEntry* entry = pool_->Alloc();
  if (!entry) return nullptr;
  entry->key = key;
  entry->hash = HashOf(key.c_str());
  if (!AddToBucket(buckets_, entry->hash & (bucketCount_ - 1), entry)) {
    pool_->Free(entry);
    return nullptr;
  }
  ++count_;
  return entry;
}

StringHashEntry* TStringHash::FindText(const char16_t* key, int32_t length) const {
  if (bucketCount_ == 0) return nullptr;
  Bucket bucket = buckets_[HashOf(key) & (bucketCount_ - 1)];
  if (!bucket) return nullptr;
  for (; *bucket; ++bucket) {
    if ((*bucket)->key.Equals(key, caseSensitive_, length)) return *bucket;
  }
  return nullptr;
}

StringHashEntry* TStringHash::Find(const TString& key) const {
  return FindText(key.c_str(), static_cast<int32_t>(key.Length()));
}

StringHashEntry* TStringHash::Find(const char16_t* key) const {
  return FindText(key ? key : u"", -1);
}

bool TStringHash::Remove(const TString& key) {
  StringHashEntry* entry = Find(key);
  if (!entry) return false;
  const uint32_t index = entry->hash & (bucketCount_ - 1);
  Bucket bucket = buckets_[index];
  uint32_t i = 0;
  while (bucket[i] != entry)
    ++i;
  // Close the gap, carrying the terminator down.
  for (; bucket[i]; ++i)
    bucket[i] = bucket[i + 1];
  if (!bucket[0]) {
    std::free(bucket);
    buckets_[index] = nullptr;
  }
  pool_->Free(entry);
  --count_;
  return true;
}

StringHashEntry* TStringHash::Next(const StringHashEntry* entry) const {
  if (bucketCount_ == 0) return nullptr;
  uint32_t b = 0;
  if (entry) {
    b = entry->hash & (bucketCount_ - 1);
    Bucket bucket = buckets_[b];
    if (!bucket) return nullptr;
    while (*bucket && *bucket != entry)
      ++bucket;
    if (!*bucket) return nullptr;  // not an entry of this table
    if (bucket[1]) return bucket[1];
    ++b;
  }
  for (; b < bucketCount_; ++b) {
    if (buckets_[b]) return buckets_[b][0];
  }
  return nullptr;
}

void TStringHash::RemoveAll() {
  for (uint32_t b = 0; b < bucketCount_; ++b) {
    if (!buckets_[b]) continue;
    for (StringHashEntry** e = buckets_[b]; *e; ++e)
      pool_->Free(*e);
    std::free(buckets_[b]);
    buckets_[b] = nullptr;
  }
  count_ = 0;
}

}  // namespace vk2

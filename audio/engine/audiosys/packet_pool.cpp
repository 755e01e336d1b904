#include "audio/engine/audiosys/packet_pool.h"

#include <new>

#include "foundation/util/result.h"

namespace vk2 {

// Kept off the kit's counted base: a packet is reused, not deleted, so its count is reset each
// time it leaves the pool, and only one thread at a time holds it, so the count is plain.
class PoolPacket final : public AudioPacket {
 public:
  uint32_t AddRef() override { return ++refs_; }
  uint32_t Release() override {
    const uint32_t left = --refs_;
    if (left == 0) pool_->ReturnPacket(this);
    return left;
  }

 private:
  friend class PacketPool;
  uint32_t refs_ = 0;
  PacketPool* pool_ = nullptr;
};

namespace {
constexpr size_t HeaderSize() {
  const size_t a = PacketPool::kPayloadAlignment;
  return (sizeof(PoolPacket) + a - 1) / a * a;
}
}  // namespace

PacketPool::~PacketPool() {
  for (PoolPacket* p : free_)
    Free(p);
}

uint32_t PacketPool::AddRef() {
  return owner_ ? owner_->AddRef() : ComObject::AddRef();
}

uint32_t PacketPool::Release() {
  return owner_ ? owner_->Release() : ComObject::Release();
}

PoolPacket* PacketPool::Allocate(uint32_t capacity) {
  void* block =
      ::operator new (HeaderSize() + capacity, std::align_val_t{kPayloadAlignment}, std::nothrow);
  if (!block) return nullptr;
  auto* p = new (block) PoolPacket;
  p->data = static_cast<uint8_t*>(block) + HeaderSize();
  p->capacity = capacity;
  return p;
}

void PacketPool::Free(PoolPacket* packet) {
  packet->~PoolPacket();
  ::operator delete (static_cast<void*>(packet), std::align_val_t{kPayloadAlignment});
}

int32_t PacketPool::AcquirePacket(AudioPacket** slot, uint32_t bytes) {
  if (!slot) return kErrMissingArg;
  PoolPacket* p = nullptr;
  {
    ScopedLock lock(lock_);
    // Newest first: the one most likely still in the cache. Capacity c fits when n <= c < 2n.
    // An empty request is served from the smallest class, so it is reused like any other.
    const uint64_t n = bytes ? bytes : 1;
    for (size_t i = free_.size(); i-- > 0;) {
      const uint64_t c = free_[i]->capacity;
      if (n <= c && c < 2 * n) {
        p = free_[i];
        free_.erase(free_.begin() + static_cast<std::ptrdiff_t>(i));
        break;
      }
    }
  }
  if (!p) p = Allocate(bytes ? bytes : 1);
  if (!p) return kErrOutOfMemory;
  p->format = nullptr;  // released when the packet came back
  p->pool_ = this;
  p->refs_ = 0;
  p->byteCount = bytes;
  p->position = -1.0;
  p->length = -1.0;
  p->flags = 0;
  p->streamId = 0;
  AddRef();  // the packet holds the pool while it is out
  p->AddRef();
  if (*slot) (*slot)->Release();
  *slot = p;
  return kOk;
}

void PacketPool::ReturnPacket(PoolPacket* packet) {
  packet->SetFormat(nullptr);
  bool keep = false;
  {
    ScopedLock lock(lock_);
    const uint64_t a = packet->capacity;
    size_t sameClass = 0;
    for (const PoolPacket* p : free_) {
      if (a <= p->capacity && p->capacity < 2 * a) ++sameClass;
    }
    if (sameClass < kMaxFreePerClass) {
      free_.push_back(packet);
      keep = true;
    }
  }
  if (!keep) Free(packet);
  // Last: this may be the audio system's last reference.
  Release();
}

size_t PacketPool::FreeCount() const {
  ScopedLock lock(lock_);
  return free_.size();
}

}  // namespace vk2

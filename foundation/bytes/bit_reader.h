// Bits of a byte span, most significant first, through a 64-bit cache. The span must be followed
// by eight readable bytes; past the span the bits read as zero. Hot loops call Refill once and
// then Peek/Skip up to 56 bits; Get refills on its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace vk2 {

class BitReader {
 public:
  BitReader() = default;
  BitReader(const uint8_t* data, size_t size, uint64_t bit = 0) : data_(data), size_(size) {
    SetPosition(bit);
  }

  // Afterwards at least 56 bits stand in the cache.
  void Refill() {
    // Past the span the cache's low bits, zero already, stand for the zeros there.
    if (next_ <= size_) [[likely]]
      cache_ |= LoadBigEndian64(data_ + next_) >> count_;
    const int take = (63 - count_) >> 3;
    next_ += static_cast<uint64_t>(take);
    count_ += take << 3;
  }
  // The next `n` bits (1..56 after a Refill) without consuming them.
  uint32_t Peek(int n) const { return static_cast<uint32_t>(cache_ >> (64 - n)); }
  void Skip(int n) {
    cache_ <<= n;
    count_ -= n;
  }
  // The next `n` bits (0..32), consumed; refills only when the cache runs short, so a hot loop
  // that refilled once reads on without further loads.
  uint32_t Get(int n) {
    if (n == 0) return 0;
    if (count_ < n) Refill();
    const uint32_t v = Peek(n);
    Skip(n);
    return v;
  }
  // The next `n` bits (0..32), consumed without a refill: for up to 56 bits after a Refill.
  uint32_t Take(int n) {
    if (n == 0) return 0;
    const uint32_t v = Peek(n);
    Skip(n);
    return v;
  }
  // The cache: the next bits from the most significant end.
  uint64_t Window() const { return cache_; }

  // Bits consumed from the start of the span (counting on past its end).
  uint64_t Position() const { return next_ * 8 - static_cast<uint64_t>(count_); }
  void SetPosition(uint64_t bit) {
    next_ = bit >> 3;
    cache_ = 0;
    count_ = 0;
    Refill();
    Skip(static_cast<int>(bit & 7));
  }

  static uint64_t LoadBigEndian64(const uint8_t* p) {
    uint64_t v;
    std::memcpy(&v, p, 8);
    return __builtin_bswap64(v);
  }

 private:
  const uint8_t* data_ = nullptr;
  uint64_t size_ = 0;
  uint64_t next_ = 0;  // the byte the next refill loads
  uint64_t cache_ = 0;
  int count_ = 0;
};

}  // namespace vk2

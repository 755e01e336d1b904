// The module's one source of item ids. Every playlist of the module draws from it, so an id
// names one item across all playlists for as long as the module lives.
#pragma once

#include <cstdint>
#include <mutex>

#include "component/object/com_object.h"
#include "interfaces/unknown.h"

namespace vk2 {

class MSharedCounter : public MUnknown {
 public:
  // The next id: 1 first, never 0, never the same twice before 2^32 - 1 ids were handed out.
  virtual uint32_t NextId() = 0;

 protected:
  ~MSharedCounter() = default;
};

class SharedCounter final : public ComObject<SharedCounter, SilentFace<MSharedCounter>> {
 public:
  // Starts with no references; the module takes the first.
  SharedCounter() = default;

  // The counter is reached only through the module object: it answers no interface, its own
  // included, and unlike the kit's silent objects it leaves `*out` alone.
  int32_t QueryInterface(const Guid& iid, void** out, uint32_t addRef = 1,
                         uint32_t reserved = 0) override;
  uint32_t NextId() override;

 private:
  ~SharedCounter() override = default;

  std::mutex mutex_;
  uint32_t value_ = 0;
};

}  // namespace vk2

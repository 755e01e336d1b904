// Sub-objects (the extra interfaces an object hands out as separate parts) have no identity or
// count of their own: they answer QueryInterface, AddRef and Release through their owner.
#pragma once

#include <cstdint>

#include "foundation/util/guid.h"

// Inside a sub-object class: forwards the three MUnknown slots to `owner` (a pointer member).
#define VK2_FORWARD_UNKNOWN(owner)                                                \
  int32_t QueryInterface(const ::vk2::Guid& iid, void** out, uint32_t addRef = 1, \
                         uint32_t reserved = 0) override {                        \
    return (owner)->QueryInterface(iid, out, addRef, reserved);                   \
  }                                                                               \
  uint32_t AddRef() override {                                                    \
    return (owner)->AddRef();                                                     \
  }                                                                               \
  uint32_t Release() override {                                                   \
    return (owner)->Release();                                                    \
  }

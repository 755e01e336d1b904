// The one rule every QueryInterface follows: a null result pointer gives -3; an id that is not
// served gives -15 with a null result; otherwise the interface is handed out and a reference is
// added only when the low byte of the add-reference flag is non-zero.
#pragma once

#include <cstdint>

#include "interfaces/unknown.h"

namespace vk2 {

inline constexpr int32_t kErrNullResult = -3;
inline constexpr int32_t kErrUnknownInterface = -15;

// `found`: the interface for the asked id (no reference added yet), or null when not served.
inline int32_t AnswerQuery(MUnknown* found, void** out, uint32_t addRef) {
  if (!out) return kErrNullResult;
  *out = found;
  if (!found) return kErrUnknownInterface;
  if (addRef & 0xFFu) found->AddRef();
  return 0;
}

}  // namespace vk2

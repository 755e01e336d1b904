// What the test modules serve. Test-only identifiers: these classes never ship.
#pragma once

#include <cstdint>

#include "foundation/util/guid.h"
#include "interfaces/unknown.h"

namespace vk2::test {

inline constexpr Guid kAlphaProbeClass = MakeGuid("411EA8CB-AC3E-430D-B334-2968D92A0D02");
inline constexpr Guid kAlphaPartClass = MakeGuid("AF7CA6A9-3957-4294-AAFD-761D3A6CBDAB");
inline constexpr Guid kBetaProbeClass = MakeGuid("562B4B4B-2672-4E29-8CC9-CF8A5844EC2A");
inline constexpr Guid kTestCategory = MakeGuid("8863FEEC-9B11-4084-93B6-DA7765F9BD16");
inline constexpr Guid kIID_MTestProbe = MakeGuid("D4E11E18-76B8-4FB5-94C9-418AAC7C7F67");
inline constexpr Guid kIID_MTestPart = MakeGuid("A8968A70-5947-45B2-A050-2A49596236EF");
inline constexpr Guid kUnservedClass = MakeGuid("3C6DE274-62C4-4146-AFB2-83033D172845");

// Answers questions about the module it lives in.
class MTestProbe : public MUnknown {
 public:
  // The module's attach count, as its glue keeps it.
  virtual int32_t AttachCount() = 0;
  // Address of a function of the foundation library as linked into this module.
  virtual const void* FoundationAddress() = 0;
  // MIFactory calls the module has answered.
  virtual int32_t FactoryRequests() = 0;
  // Objects of the module alive now.
  virtual int32_t LiveObjects() = 0;
  // Category members the module saw through the runtime while it was being attached.
  virtual int32_t MembersSeenAtAttach() = 0;
  // Makes a probe the calling thread's value in the module's first per-thread list.
  virtual int32_t HoldThreadValue() = 0;

 protected:
  ~MTestProbe() = default;
};

// A part that can be aggregated into an outer object.
class MTestPart : public MUnknown {
 public:
  virtual int32_t Value() = 0;

 protected:
  ~MTestPart() = default;
};

}  // namespace vk2::test

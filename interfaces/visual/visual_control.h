// Visual groups: named sets of visual windows that show one visual and one list of post
// effects. MVisualControl owns the groups; a visual window joins and leaves them and offers the
// group the local operations of MVisualGroupWindow (which never call back into the group).
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/text/tstring.h"
#include "foundation/util/guid.h"
#include "interfaces/unknown.h"
#include "interfaces/visual/visual_host.h"

namespace vk2 {

// What a group asks of each of its windows. Every call applies to that window only.
class MVisualGroupWindow {
 public:
  virtual int32_t SetVisual(uint32_t id) = 0;
  virtual uint32_t GetVisualId() = 0;
  virtual int32_t SendFilterMessage(const char16_t* message, int32_t argument) = 0;
  // A null effect drops the class from the window's list; otherwise the window keeps a
  // reference on the effect (every window of a group shares the one object).
  virtual int32_t EnablePostEffect(const Guid& classId, MVisualPostEffect* effect) = 0;
  virtual void GetPostEffects(std::vector<Guid>* classIds) = 0;

 protected:
  ~MVisualGroupWindow() = default;
};

class MVisualGroupListener {
 public:
  // `added` is 1 after a window joined the group, 0 after one left.
  virtual void OnGroupChange(const char16_t* group, int32_t added) = 0;

 protected:
  ~MVisualGroupListener() = default;
};

class MVisualControl : public MUnknown {
 public:
  virtual int32_t GetGroupNames(std::vector<TString>* names) = 0;
  virtual int32_t GroupNextVisual(const char16_t* group) = 0;
  virtual int32_t GroupPrevVisual(const char16_t* group) = 0;
  // An id the host does not know leaves the group unchanged.
  virtual int32_t GroupSetVisual(const char16_t* group, uint32_t id) = 0;
  // 0, or the failure of creating the effect.
  virtual int32_t GroupEnablePostEffect(const char16_t* group, const Guid& classId,
                                        int32_t enable) = 0;
  virtual int32_t GroupIsPostEffectEnabled(const char16_t* group, const Guid& classId) = 0;
  // -5 when no group has that name.
  virtual int32_t SendFilterMessage(const char16_t* group, const char16_t* message,
                                    int32_t argument) = 0;
  // Add: -6 when present; remove: -5 when absent.
  virtual int32_t AddRemoveGroupListener(MVisualGroupListener* listener, int32_t add) = 0;
  virtual int32_t JoinGroup(MVisualGroupWindow* window, const char16_t* group) = 0;
  virtual int32_t LeaveGroup(MVisualGroupWindow* window, const char16_t* group) = 0;

 protected:
  ~MVisualControl() = default;
};

}  // namespace vk2

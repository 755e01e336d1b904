// Objects kept by name: the operations the playlist and player managers share, and the listener
// that hears of every addition, removal and rename.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/text/tstring.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/unknown.h"

namespace vk2 {

enum NamedObjectChange : int32_t {
  kNamedObjectAdded = 0,    // second name empty
  kNamedObjectRemoved = 1,  // second name empty
  kNamedObjectRenamed = 2,  // old name, new name
};

// Held without a reference: remove it before it goes. Called with no lock of the registry held,
// in the order of the changes.
class MNamedObjectListener {
 public:
  virtual void OnChange(int32_t change, const TString& name, const TString& secondName) = 0;

 protected:
  ~MNamedObjectListener() = default;
};

// Names compare without regard to (ASCII) case.
template <class Object>
class MNamedObjects : public MUnknown {
 public:
  // add 1 adds (-6 when present), 0 removes (-5 when absent).
  virtual int32_t AddRemoveListener(MNamedObjectListener* listener, int32_t add) = 0;
  // Adds a new object under `name` (-6 when the name is taken, -3 when it cannot be made) or
  // removes the object of that name (-9 for an empty name, -5 when there is none).
  virtual int32_t AddRemove(const TString& name, int32_t add) = 0;
  // -9 for an empty name, -6 when `newName` is taken, -5 when `oldName` is unknown.
  virtual int32_t Rename(const TString& oldName, const TString& newName) = 0;
  // The object of that name with a reference for the caller, or -5.
  virtual int32_t Find(const TString& name, RefPtr<Object>* out) = 0;
  // Adds a new object under a fresh name "<base>_<8 hex digits>" and returns the name.
  virtual int32_t MakeTemporaryName(const TString& base, TString* out) = 0;
  // Every object's name, in the order of addition.
  virtual int32_t ListNames(std::vector<TString>* out) = 0;

 protected:
  ~MNamedObjects() = default;
};

}  // namespace vk2

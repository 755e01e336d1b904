// A list of counted objects found by name (without regard to case), created under a name,
// renamed and removed, with listeners told of every change and a console line for the changes a
// user may want to see. One registry per object kind; the manager that owns it supplies the
// kind's name and the hooks that make, prepare and dispose of its objects.
//
// The registry lock is held while hooks run; it is left before listeners are called, console
// lines are written and removed objects are disposed of and released, so a listener may call
// back into the registry and an object's last reference never goes under the lock.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <utility>
#include <vector>

#include "core/playlist/random_generator.h"
#include "core/registry/listener_channel.h"
#include "core/registry/registry_text.h"
#include "foundation/text/tstring.h"
#include "foundation/util/ref_ptr.h"
#include "foundation/util/result.h"
#include "interfaces/core/named_objects.h"

namespace vk2 {

template <class Object>
class NamedObjectHooks {
 public:
  // A new object, not yet named; `temporary` when the registry made its name.
  virtual int32_t CreateObject(RefPtr<Object>* out, bool temporary) = 0;
  virtual TString NameOf(Object* object) = 0;
  virtual void SetNameOf(Object* object, const TString& name) = 0;
  // After the object was named, before it is listed (under the registry lock).
  virtual void OnAdded(Object* object) { (void)object; }
  // Before the object leaves the list (under the registry lock).
  virtual void OnRemove(Object* object) { (void)object; }
  // After it left the list, with no lock held, while the registry's reference still stands:
  // where threads are stopped. `all` when every object goes at once (RemoveAll).
  virtual void Dispose(Object* object, bool all) { (void)object, (void)all; }

 protected:
  ~NamedObjectHooks() = default;
};

using RegistryLog = std::function<void(const RegistryLine& line)>;

template <class Object>
class NamedObjectRegistry {
 public:
  // Attempts at a temporary name before giving up: a Create that keeps failing must not spin.
  static constexpr int kTemporaryNameAttempts = 64;

  NamedObjectRegistry(TString kindName, NamedObjectHooks<Object>* hooks, RegistryLog log)
      : kindName_(std::move(kindName)),
        hooks_(hooks),
        log_(std::move(log)),
        listeners_([](MNamedObjectListener* listener, const Change& change) {
          listener->OnChange(change.kind, change.name, change.secondName);
        }) {}
  NamedObjectRegistry(const NamedObjectRegistry&) = delete;
  NamedObjectRegistry& operator=(const NamedObjectRegistry&) = delete;

  int32_t AddRemoveListener(MNamedObjectListener* listener, int32_t add) {
    return listeners_.AddRemove(listener, add);
  }

  int32_t AddRemove(const TString& name, bool add, bool temporary = false) {
    Aftermath after;
    int32_t result;
    {
      std::lock_guard lock(mutex_);
      result = add ? AddLocked(name, temporary, &after) : RemoveLocked(name, &after);
    }
    Finish(&after);
    return result;
  }

  int32_t Rename(const TString& oldName, const TString& newName) {
    if (oldName.IsEmpty() || newName.IsEmpty()) return kErrMissingArg;
    Aftermath after;
    int32_t result = kOk;
    {
      std::lock_guard lock(mutex_);
      if (IndexOf(newName) >= 0) return kErrAlreadyPresent;
      const int index = IndexOf(oldName);
      if (index < 0) {
        after.lines.push_back(
            MakeRegistryLine(RegistryMessage::kNotFoundToRename, kindName_, oldName));
        result = kErrNotFound;
      } else {
        hooks_->SetNameOf(objects_[index].Get(), newName);
        listeners_.Post({kNamedObjectRenamed, oldName, newName});
        after.lines.push_back(
            MakeRegistryLine(RegistryMessage::kRenamed, kindName_, oldName, newName));
      }
    }
    Finish(&after);
    return result;
  }

  int32_t Find(const TString& name, RefPtr<Object>* out) const {
    if (!out) return kErrMissingArg;
    std::lock_guard lock(mutex_);
    const int index = IndexOf(name);
    if (index < 0) return kErrNotFound;
    *out = objects_[index];
    return kOk;
  }

  int32_t MakeTemporaryName(const TString& base, TString* out) {
    Aftermath after;
    int32_t result = kErrOutOfMemory;
    {
      std::lock_guard lock(mutex_);
      for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
        TString name = TemporaryName(base, NextRandom());
        if (AddLocked(name, true, &after) >= 0) {
          if (out) *out = name;
          result = kOk;
          break;
        }
      }
    }
    Finish(&after);
    return result;
  }

  std::vector<TString> ListNames() const {
    std::lock_guard lock(mutex_);
    std::vector<TString> names;
    names.reserve(objects_.size());
    for (const RefPtr<Object>& object : objects_)
      names.push_back(hooks_->NameOf(object.Get()));
    return names;
  }

  // A snapshot of the objects, in order of addition.
  std::vector<RefPtr<Object>> Objects() const {
    std::lock_guard lock(mutex_);
    return objects_;
  }

  // Removes every object: each gets OnRemove, its removal is announced (without console lines)
  // and it is disposed of, all with no lock held.
  void RemoveAll() {
    std::vector<RefPtr<Object>> all;
    {
      std::lock_guard lock(mutex_);
      all.swap(objects_);
    }
    for (const RefPtr<Object>& object : all) {
      hooks_->OnRemove(object.Get());
      listeners_.Post({kNamedObjectRemoved, hooks_->NameOf(object.Get()), TString()});
    }
    listeners_.Deliver();
    for (const RefPtr<Object>& object : all)
      hooks_->Dispose(object.Get(), true);
  }

 private:
  struct Change {
    int32_t kind;
    TString name;
    TString secondName;
  };
  // What a change leaves to do once the lock is left.
  struct Aftermath {
    std::vector<RegistryLine> lines;
    std::vector<RefPtr<Object>> removed;
  };

  int IndexOf(const TString& name) const {
    for (size_t i = 0; i < objects_.size(); ++i) {
      if (hooks_->NameOf(objects_[i].Get()).Equals(name, false)) return static_cast<int>(i);
    }
    return -1;
  }

  int32_t AddLocked(const TString& name, bool temporary, Aftermath* after) {
    // A nameless object could never be removed again.
    if (name.IsEmpty()) return kErrMissingArg;
    if (IndexOf(name) >= 0) {
      if (!IsQuietName(name)) {
        after->lines.push_back(MakeRegistryLine(RegistryMessage::kAlreadyExists, kindName_, name));
      }
      return kErrAlreadyPresent;
    }
    RefPtr<Object> object;
    if (hooks_->CreateObject(&object, temporary) < 0 || !object) {
      after->lines.push_back(MakeRegistryLine(RegistryMessage::kNotCreated, kindName_, name));
      return kErrOutOfMemory;
    }
    hooks_->SetNameOf(object.Get(), name);
    hooks_->OnAdded(object.Get());
    objects_.push_back(std::move(object));
    listeners_.Post({kNamedObjectAdded, name, TString()});
    if (!IsQuietName(name)) {
      after->lines.push_back(MakeRegistryLine(RegistryMessage::kAdded, kindName_, name));
    }
    return kOk;
  }

  int32_t RemoveLocked(const TString& name, Aftermath* after) {
    if (name.IsEmpty()) return kErrMissingArg;
    const int index = IndexOf(name);
    if (index < 0) {
      after->lines.push_back(MakeRegistryLine(RegistryMessage::kNotFoundToRemove, kindName_, name));
      return kErrNotFound;
    }
    hooks_->OnRemove(objects_[index].Get());
    after->removed.push_back(std::move(objects_[index]));
    objects_.erase(objects_.begin() + index);
    listeners_.Post({kNamedObjectRemoved, name, TString()});
    if (!IsQuietName(name)) {
      after->lines.push_back(MakeRegistryLine(RegistryMessage::kRemoved, kindName_, name));
    }
    return kOk;
  }

  void Finish(Aftermath* after) {
    listeners_.Deliver();
    if (log_) {
      for (const RegistryLine& line : after->lines)
        log_(line);
    }
    for (const RefPtr<Object>& object : after->removed)
      hooks_->Dispose(object.Get(), false);
    after->removed.clear();
  }

  const TString kindName_;
  NamedObjectHooks<Object>* const hooks_;
  const RegistryLog log_;
  mutable std::recursive_mutex mutex_;
  std::vector<RefPtr<Object>> objects_;
  ListenerChannel<MNamedObjectListener, Change> listeners_;
};

}  // namespace vk2

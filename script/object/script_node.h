// The state and behaviour that script objects, data items and native functions share: name,
// children, parent, base object, UID, help and class name.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

#include "component/object/com_object.h"
#include "component/object/query_answer.h"
#include "component/object/ref_counted.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/script/script_object.h"

namespace vk2 {

// Counts on the kit's one base; each kind lists the interfaces it serves in ServedInterface.
class ScriptNode : public MScriptObject, public RefCounted {
 public:
  // The implementation behind any script object of this module, or null.
  static ScriptNode* From(MScriptObject* object);

  int32_t QueryInterface(const Guid& iid, void** out, uint32_t addRef = 1,
                         uint32_t reserved = 0) override {
    (void)reserved;
    return AnswerQuery(out ? ServedInterface(iid) : nullptr, out, addRef);
  }
  uint32_t AddRef() override { return RefCounted::AddRef(); }
  uint32_t Release() override { return RefCounted::Release(); }

  // ---- MScriptObject: the behaviour shared by every kind --------------------------------------
  void GetUid(TString* out) override;
  bool Call(MScriptObject** result, MScriptEngine* engine, uintptr_t extra, MScriptObject* caller,
            MScriptObject* params) override;
  bool Assign(MScriptObject* source, bool byReference) override;
  bool FindChild(const TString& name, MScriptObject** out) override;
  bool FindMember(const TString& name, MScriptObject** out, bool create) override;
  bool GetParent(MScriptObject** out) override;
  bool SetParent(MScriptObject* parent) override;
  bool UpdateChildName(MScriptObject* child, bool add) override;
  void GetName(TString* out) override;
  void GetClassName(TString* out) override;
  uint32_t GetVersion() override;
  void EnumerateChildren(ScriptObjectList* list, int32_t kind, bool includeBase) override;
  void EnumerateNames(ScriptNameList* list, int32_t kind, bool includeBase) override;
  void SetHelp(const TString& text, bool notAvailable) override;
  void Help(TString* out) override;
  void SetName(const TString& name) override;
  void SetVersion(uint32_t version) override;
  void SetClassName(const TString& name) override;
  void SetReadOnly(bool readOnly) override;
  bool IsReadOnly() override;
  void Describe(TString* out, bool plain, uint32_t depth) override;
  uintptr_t GetOwnerValue() override;
  bool SetOwnerValue(uintptr_t value) override;
  bool RegisterWithEngine(MScriptEngine* engine) override;
  bool UnregisterFromEngine(MScriptEngine* engine) override;
  void Resolve(MScriptObject** out) override;
  bool SetBase(MScriptObject* base) override;
  void* InternalQueryInterface(const Guid& iid) override;

  // ---- Member registry operations (the registry interfaces forward here) ---------------------
  bool AddChildNode(MScriptObject* child);
  bool RemoveChildNode(MScriptObject* child);
  bool RemoveChildByNameNode(const TString& name);
  bool RemoveAllChildrenNode();
  bool AddFunctionNode(const TString& name, const TString& help, bool helpNotAvailable,
                       ScriptHandler handler, MScriptObject* object, uintptr_t handlerData,
                       uintptr_t handlerTag);

  // ---- Inside the module ----------------------------------------------------------------------
  // Lookup steps 1 to 4 on this object alone: its children, its base, then creation. Data
  // items forward to here after resolving a UID, so a forward is one hop only.
  bool FindMemberPlain(const TString& name, MScriptObject** out, bool create);
  // The children table only, without the base object.
  bool FindOwnChild(const TString& name, MScriptObject** out);
  // The same for a name whose hash (HashName) is known.
  bool FindOwnChild(const TString& name, size_t hash, MScriptObject** out);
  // The child without a reference, or null: for callers that know the child stays (a running
  // script's frames keep their variables until the run ends).
  MScriptObject* OwnChildBorrowed(const TString& name, size_t hash);
  // Makes a new empty data item child of that name (no lookup first); null when read-only.
  RefPtr<MScriptObject> CreateDataChild(const TString& name);
  RefPtr<MScriptObject> BaseObject();
  // SetBase for an object nobody else knows yet (a new frame): it cannot close a cycle, so the
  // chain is not walked.
  void SetBaseOfNewObject(MScriptObject* base);
  // The base without a reference: for walks over a chain that the caller keeps alive.
  MScriptObject* BaseRaw();
  // Adds a reference unless the object is already on its way out.
  bool TryAddRef();
  uint32_t Uid() const { return uid_.load(std::memory_order_relaxed); }
  TString Name();
  bool ReadOnly() const { return readOnly_.load(std::memory_order_relaxed); }

 protected:
  explicit ScriptNode(MScriptObject* base);
  ~ScriptNode() override;

  // The interface of this kind for `iid` (no reference added), or null.
  virtual MUnknown* ServedInterface(const Guid& iid) = 0;

  // An aggregated object keeps its inner count on the base and sends AddRef and Release to its
  // outer object.
  MUnknown* outer_ = nullptr;
  std::recursive_mutex& NodeLock() { return lock_; }

 private:
  struct Extras;
  Extras& MakeExtras();  // under lock_
  void ClearParentIf(ScriptNode* parent);
  void ReportError(const TString& message);
  // Takes `base` as this object's base; the shared bases live as long as the module and are
  // not counted, which spares every value two atomic operations on one shared object.
  void HoldBase(MScriptObject* base);

  std::recursive_mutex lock_;
  TString name_;
  ScriptNode* parent_ = nullptr;   // no reference: the tree holds references downward only
  MScriptObject* base_ = nullptr;  // one reference, unless it is a shared base object
  bool baseCounted_ = false;
  std::atomic<uint32_t> uid_{0};
  std::atomic<bool> readOnly_{false};
  std::unique_ptr<Extras> extras_;  // rarely used state, made on first use
};

// A script node with the second interface its kind serves: the three MUnknown slots of both go
// to the node's one answer and count.
template <class Second>
class ScriptNodeWith : public ScriptNode, public Second {
 public:
  int32_t QueryInterface(const Guid& iid, void** out, uint32_t addRef = 1,
                         uint32_t reserved = 0) override {
    return ScriptNode::QueryInterface(iid, out, addRef, reserved);
  }
  uint32_t AddRef() override { return ScriptNode::AddRef(); }
  uint32_t Release() override { return ScriptNode::Release(); }

 protected:
  using ScriptNode::ScriptNode;
  ~ScriptNodeWith() override = default;
};

}  // namespace vk2

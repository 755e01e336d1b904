// A plain script object: a named node with children and a member registry, which native
// objects of every module aggregate (through MScriptObjectInner) to appear in scripts.
#pragma once

#include "foundation/util/ref_ptr.h"
#include "script/object/script_node.h"

namespace vk2 {

// Aggregation follows the kit's rule (the part's interfaces send their three slots to the outer
// object, its inner side counts the part), but the inner side is MScriptObjectInner, whose extra
// slots (FindInterface, InnerAddRef, InnerRelease) the kit's plain inner unknown has not: so the
// inner side is written here, counting on the node's base and answering through AnswerQuery.
class ScriptObject final : public ScriptNodeWith<MScriptMemberRegistry> {
 public:
  static RefPtr<ScriptObject> Make();
  // Made as a part of `outer`: the result is the part's inner side with one reference, held
  // by the outer object.
  static MScriptObjectInner* MakeAggregated(MUnknown* outer);

  // Both interfaces delegate to the outer object when there is one.
  int32_t QueryInterface(const Guid& iid, void** out, uint32_t addRef = 1,
                         uint32_t reserved = 0) override {
    if (outer_) return outer_->QueryInterface(iid, out, addRef, reserved);
    return ScriptNode::QueryInterface(iid, out, addRef, reserved);
  }
  uint32_t AddRef() override { return outer_ ? outer_->AddRef() : ScriptNode::AddRef(); }
  uint32_t Release() override { return outer_ ? outer_->Release() : ScriptNode::Release(); }

  int32_t GetKind() override { return kScriptKindObject; }
  MUnknown* GetMemberRegistry() override { return static_cast<MScriptMemberRegistry*>(this); }
  void* InternalQueryInterface(const Guid& iid) override;

  bool AddChild(MScriptObject* child) override { return AddChildNode(child); }
  bool RemoveChild(MScriptObject* child) override { return RemoveChildNode(child); }
  bool RemoveChildByName(const TString& name) override { return RemoveChildByNameNode(name); }
  bool RemoveAllChildren() override { return RemoveAllChildrenNode(); }
  bool AddFunction(const TString& name, const TString& help, bool helpNotAvailable,
                   ScriptHandler handler, MScriptObject* object, uintptr_t handlerData,
                   uintptr_t handlerTag) override {
    return AddFunctionNode(name, help, helpNotAvailable, handler, object, handlerData, handlerTag);
  }

  // The object as its MScriptObject interface (the pointer scripts and other modules hold).
  MScriptObject* AsScriptObject() { return this; }
  MScriptObjectInner* Inner() { return &inner_; }

 private:
  class InnerSide final : public MScriptObjectInner {
   public:
    explicit InnerSide(ScriptObject* owner) : owner_(owner) {}
    int32_t QueryInterface(const Guid& iid, void** out, uint32_t addRef,
                           uint32_t reserved) override;
    uint32_t AddRef() override { return InnerAddRef(); }
    uint32_t Release() override { return InnerRelease(); }
    void* FindInterface(const Guid& iid) override;
    uint32_t InnerAddRef() override { return owner_->RefCounted::AddRef(); }
    uint32_t InnerRelease() override { return owner_->RefCounted::Release(); }

   private:
    ScriptObject* owner_;
  };

  ScriptObject(MUnknown* outer, MScriptObject* base);
  ~ScriptObject() override = default;
  MUnknown* ServedInterface(const Guid& iid) override;

  InnerSide inner_{this};
};

}  // namespace vk2

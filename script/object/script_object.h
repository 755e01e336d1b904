// A plain script object: a named node with children and a member registry, which native
// objects of every module aggregate (through MScriptObjectInner) to appear in scripts.
#pragma once

#include "foundation/util/ref_ptr.h"
#include "script/object/script_node.h"

namespace vk2 {

class ScriptObject final : public ScriptNode, public MScriptMemberRegistry {
 public:
  static RefPtr<ScriptObject> Make();
  // Made as a part of `outer`: the result is the part's inner side with one reference, held
  // by the outer object.
  static MScriptObjectInner* MakeAggregated(MUnknown* outer);

  // Both interfaces delegate to the outer object when there is one.
  int32_t QueryInterface(const Guid& iid, void** out, uint32_t addRef, uint32_t reserved) override;
  uint32_t AddRef() override;
  uint32_t Release() override;

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
    uint32_t InnerAddRef() override;
    uint32_t InnerRelease() override;

   private:
    ScriptObject* owner_;
  };

  ScriptObject(MUnknown* outer, MScriptObject* base);
  ~ScriptObject() override = default;

  InnerSide inner_{this};
};

}  // namespace vk2

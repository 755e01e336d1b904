// The output node's chain face: the chain the real endpoint belongs to.
#include "audio/engine/audiosys/output_node.h"

#include "component/object/query.h"
#include "component/object/query_answer.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"

namespace vk2 {

MUnknown* OutputNode::ChainFace::Find(const Guid& iid) {
  if (iid == kIID_MMediaChain || iid == kIID_MCallbackRegistry) {
    return static_cast<MMediaChain*>(this);
  }
  if (iid == kIID_MModuleInfo || iid == kIID_MModuleProperties) return &Owner()->chainProperties_;
  return nullptr;
}

int32_t OutputNode::ChainFace::RegisterCallback(MAudioCallback* callback, uint32_t key) {
  auto registry = Query<MCallbackRegistry>(Owner()->Endpoint(), kIID_MCallbackRegistry);
  if (!registry) return kErrNotFound;
  return registry->RegisterCallback(callback, key);
}

int32_t OutputNode::ChainFace::UnregisterCallback(MAudioCallback* callback, uint32_t key) {
  auto registry = Query<MCallbackRegistry>(Owner()->Endpoint(), kIID_MCallbackRegistry);
  if (!registry) return kErrNotFound;
  return registry->UnregisterCallback(callback, key);
}

int32_t OutputNode::ChainFace::NextModule(MAudioModule** module) {
  if (!module) return kErrMissingArg;
  MAudioModule* current = *module;
  RefPtr<MAudioModule> endpoint = Owner()->Endpoint();
  RefPtr<MAudioModule> next;
  if (!current) {
    next = RefPtr<MAudioModule>(&Owner()->module_);
  } else {
    if (current == &Owner()->module_) next = endpoint;
    current->Release();
  }
  *module = next.Detach();
  return *module ? kOk : kErrNotFound;
}

int32_t OutputNode::ChainFace::QueryVolumeControl(MVolumeControl** control) {
  if (!control) return kErrMissingArg;
  *control = nullptr;
  auto volume = Query<MVolumeControl>(Owner()->Endpoint(), kIID_MVolumeControl);
  if (!volume) return kErrNotFound;
  *control = volume.Detach();
  return kOk;
}

// ---- Properties ------------------------------------------------------------------------------

template <class Fn, class EndpointFn>
int32_t OutputNode::ChainProperties::Ask(Fn headFn, EndpointFn endpointFn) {
  {
    // The head's chain is asked under the queue lock, which keeps it in place; the endpoint
    // never waits on this lock while it holds one of its own.
    ScopedLock lock(node_->queueLock_);
    InputNode* head = node_->HeadLocked();
    if (head && head->chain_) {
      if (auto* props = QueryBorrowed<MModuleProperties>(head->chain_, kIID_MModuleProperties)) {
        const int32_t r = headFn(props);
        if (r != kErrNotFound) return r;
      }
    }
  }
  auto props = Query<MModuleProperties>(node_->Endpoint(), kIID_MModuleProperties);
  if (!props) return kErrNotFound;
  return endpointFn(props.Get());
}

int32_t OutputNode::ChainProperties::GetString(const char16_t* name, TString* value) {
  auto fn = [&](MModuleProperties* p) { return p->GetString(name, value); };
  return Ask(fn, fn);
}

int32_t OutputNode::ChainProperties::GetInteger(const char16_t* name, int32_t* value) {
  auto fn = [&](MModuleProperties* p) { return p->GetInteger(name, value); };
  return Ask(fn, fn);
}

int32_t OutputNode::ChainProperties::GetNumber(const char16_t* name, double* value) {
  auto fn = [&](MModuleProperties* p) { return p->GetNumber(name, value); };
  return Ask(fn, fn);
}

int32_t OutputNode::ChainProperties::SetString(const char16_t* name, const char16_t* value) {
  auto fn = [&](MModuleProperties* p) { return p->SetString(name, value); };
  return Ask(fn, fn);
}

int32_t OutputNode::ChainProperties::SetInteger(const char16_t* name, int32_t value) {
  auto fn = [&](MModuleProperties* p) { return p->SetInteger(name, value); };
  return Ask(fn, fn);
}

int32_t OutputNode::ChainProperties::SetNumber(const char16_t* name, double value) {
  auto fn = [&](MModuleProperties* p) { return p->SetNumber(name, value); };
  return Ask(fn, fn);
}

int32_t OutputNode::ChainProperties::Describe(PropertyDescriptionList* list) {
  if (!list) return kErrMissingArg;
  // The head chain's descriptions, then the endpoint's.
  Ask(
      [&](MModuleProperties* p) {
        p->Describe(list);
        return kErrNotFound;
      },
      [&](MModuleProperties* p) { return p->Describe(list); });
  return kOk;
}

int32_t OutputNode::ChainProperties::SendFilterMessage(const char16_t* text, uint32_t reserved) {
  int32_t head = kErrNotFound;
  int32_t endpoint = kErrNotFound;
  Ask(
      [&](MModuleProperties* p) {
        head = p->SendFilterMessage(text, reserved);
        return kErrNotFound;
      },
      [&](MModuleProperties* p) {
        endpoint = p->SendFilterMessage(text, reserved);
        return endpoint;
      });
  return endpoint >= 0 ? endpoint : head;
}

}  // namespace vk2

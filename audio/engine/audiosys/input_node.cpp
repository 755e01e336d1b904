// The inputs of an output node: each is the last module of one item's chain.
#include <new>

#include "audio/engine/audiosys/output_node.h"
#include "component/object/query.h"
#include "foundation/util/result.h"
#include "interfaces/audio/chain_types.h"
#include "interfaces/ids.h"

namespace vk2 {

InputNode::InputNode(OutputNode* node) : node_(node) {}

InputNode::~InputNode() {
  node_->RemoveInput(this);
}

MUnknown* InputNode::QueryMore(const Guid& iid) {
  if (iid == kIID_MVolumeControl) {
    // The volume of what is heard: the endpoint's, which the node keeps alive while it is set.
    return QueryBorrowed<MUnknown>(node_->Endpoint(), iid);
  }
  if (iid == kIID_MCallbackRegistry) return &callbackFace_;
  if (iid == kIID_MTimeNotifications) return &notificationFace_;
  if (iid == kIID_MModuleInfo || iid == kIID_MModuleProperties) return &properties_;
  return nullptr;
}

int32_t InputNode::GetInputByName(AudioModuleInput** input, const char16_t* name) {
  if (!input) return kErrMissingArg;
  *input = nullptr;
  if (!name || WideCompare(name, u"input", true) != 0) return kErrNotFound;
  *input = &input_;
  return kOk;
}

int32_t InputNode::GetInput(AudioModuleInput** input, int32_t index) {
  if (!input) return kErrMissingArg;
  *input = index == 0 ? &input_ : nullptr;
  return index == 0 ? kOk : kErrNotFound;
}

int32_t InputNode::GetOutputByName(AudioModuleOutput** output, const char16_t*) {
  if (output) *output = nullptr;
  return kErrNotFound;
}

int32_t InputNode::GetOutput(AudioModuleOutput** output, int32_t) {
  if (output) *output = nullptr;
  return kErrNotFound;
}

int32_t InputNode::SetChain(MMediaChain* chain) {
  {
    ScopedLock lock(node_->queueLock_);
    chain_ = chain;
  }
  // The real endpoint belongs to the node's chain face, whoever the items' chains are.
  if (RefPtr<MAudioModule> endpoint = node_->Endpoint()) endpoint->SetChain(&node_->chain_);
  return kOk;
}

int32_t InputNode::StateChange(int32_t state) {
  if (!IsKnownChainState(state)) return MediaError(kMsUnknownState);
  OutputNode* n = node_.Get();
  OutputNode::EndpointActions actions;
  int32_t toEndpoint = 0;
  {
    ScopedLock lock(n->queueLock_);
    state_ = state;
    if (!queued_) return kOk;
    // Playing a later item: the items ahead of it are skipped.
    if (state == kChainPlaying) n->DropAheadLocked(this, &actions);
    if (n->HeadLocked() == this) {
      if (state == kChainStopped) {
        // Another item waits: the endpoint goes on for it.
        if (n->queue_.size() == 1) toEndpoint = kChainStopped;
      } else {
        toEndpoint = state;
      }
      if (toEndpoint) n->lastState_ = toEndpoint;
    }
    if (toEndpoint && !actions.endpoint) actions.endpoint = n->endpoint_;
  }
  RefPtr<MAudioModule> endpoint = actions.endpoint;
  actions.stateChange = 0;
  n->Apply(actions);
  if (!toEndpoint || !endpoint) return kOk;
  return endpoint->StateChange(toEndpoint);
}

int32_t InputNode::Prepare(int32_t mode) {
  RefPtr<MAudioModule> endpoint = node_->Endpoint();
  return endpoint ? endpoint->Prepare(mode) : kOk;
}

int32_t InputNode::Seek(double seconds, uint32_t flags, uint32_t flush) {
  {
    ScopedLock lock(node_->queueLock_);
    // Silence between two items has no position to seek in.
    if (node_->InsertingSilenceLocked()) return kOk;
  }
  RefPtr<MAudioModule> endpoint = node_->Endpoint();
  return endpoint ? endpoint->Seek(seconds, flags, flush) : kOk;
}

// ---- Input -----------------------------------------------------------------------------------

int32_t InputNode::Input::GetName(TString* name) {
  if (name) *name = u"input";
  return kOk;
}

int32_t InputNode::Input::CanHandle(AudioModuleOutput* upstream, uint32_t* s1, uint32_t* s2) {
  if (!s1 || !s2) return kErrMissingArg;
  *s1 = *s2 = 0;
  RefPtr<MAudioModule> endpoint = owner_->node_->Endpoint();
  AudioModuleInput* in = endpoint ? owner_->node_->EndpointInput(endpoint.Get()) : nullptr;
  if (!in) return kOk;
  return in->CanHandle(upstream, s1, s2);
}

int32_t InputNode::Input::Connect(AudioModuleOutput* upstream) {
  OutputNode* n = owner_->node_.Get();
  bool head = false;
  {
    ScopedLock lock(n->queueLock_);
    owner_->upstream_ = upstream;
    head = n->HeadLocked() == owner_;
  }
  if (!upstream) return kOk;
  if (head) {
    // The endpoint chooses from what this input's upstream delivers, through the node.
    RefPtr<MAudioModule> endpoint = n->Endpoint();
    AudioModuleInput* in = endpoint ? n->EndpointInput(endpoint.Get()) : nullptr;
    if (in) return in->Connect(&n->output_);
  }
  // A queued item settles its format with the endpoint when its turn comes; until then its
  // upstream delivers the first PCM format it offers.
  AudioFormatList formats;
  const int32_t r = upstream->GetFormats(&formats);
  if (r < 0) return r;
  for (uint32_t i = 0; i < formats.Count(); ++i) {
    if (IsPcm(*formats.At(i))) return upstream->SetFormat(formats.At(i));
  }
  return MediaError(kMsIncompatibleFormat);
}

int32_t InputNode::Input::GetOwner(MAudioModule** owner) {
  if (!owner) return kErrMissingArg;
  owner_->AddRef();
  *owner = owner_;
  return kOk;
}

// ---- Time notifications ----------------------------------------------------------------------

int32_t InputNode::Notifications::AddNotification(MAudioCallback* callback, double seconds,
                                                  uint32_t key) {
  if (!callback) return kErrMissingArg;
  OutputNode* n = Owner()->node_.Get();
  OutputNode::EndpointActions actions;
  {
    ScopedLock lock(n->queueLock_);
    for (const Notification& e : Owner()->notifications_) {
      if (e.callback == callback && e.key == key) return kErrAlreadyPresent;
    }
    const uint32_t tag = n->NextTagLocked();
    Owner()->notifications_.push_back(Notification{callback, seconds, key, tag});
    // Only the head's notifications are with the endpoint.
    if (n->HeadLocked() == Owner()) {
      actions.endpoint = n->endpoint_;
      actions.add.push_back(OutputNode::Tagged{seconds, tag});
    }
  }
  n->Apply(actions);
  return kOk;
}

int32_t InputNode::Notifications::RemoveNotification(MAudioCallback* callback, double seconds,
                                                     uint32_t key) {
  OutputNode* n = Owner()->node_.Get();
  OutputNode::EndpointActions actions;
  {
    // Under the queue lock: the node fires notifications under it too.
    ScopedLock lock(n->queueLock_);
    auto& list = Owner()->notifications_;
    auto it = list.begin();
    for (; it != list.end(); ++it) {
      if (it->callback == callback && it->key == key && it->seconds == seconds) break;
    }
    if (it == list.end()) return kErrNotFound;
    if (n->HeadLocked() == Owner()) {
      actions.endpoint = n->endpoint_;
      actions.remove.push_back(OutputNode::Tagged{it->seconds, it->tag});
    }
    list.erase(it);
  }
  n->Apply(actions);
  return kOk;
}

// ---- Properties ------------------------------------------------------------------------------

RefPtr<MModuleProperties> InputNode::Properties::HeadEndpoint() {
  OutputNode* n = Owner()->node_.Get();
  RefPtr<MAudioModule> endpoint;
  {
    ScopedLock lock(n->queueLock_);
    if (n->HeadLocked() != Owner()) return nullptr;
    endpoint = n->endpoint_;
  }
  return Query<MModuleProperties>(endpoint, kIID_MModuleProperties);
}

int32_t InputNode::Properties::GetString(const char16_t* name, TString* value) {
  RefPtr<MModuleProperties> p = HeadEndpoint();
  return p ? p->GetString(name, value) : kErrNotFound;
}

int32_t InputNode::Properties::GetInteger(const char16_t* name, int32_t* value) {
  RefPtr<MModuleProperties> p = HeadEndpoint();
  return p ? p->GetInteger(name, value) : kErrNotFound;
}

int32_t InputNode::Properties::GetNumber(const char16_t* name, double* value) {
  RefPtr<MModuleProperties> p = HeadEndpoint();
  return p ? p->GetNumber(name, value) : kErrNotFound;
}

int32_t InputNode::Properties::Describe(PropertyDescriptionList* list) {
  RefPtr<MModuleProperties> p = HeadEndpoint();
  return p ? p->Describe(list) : kOk;
}

int32_t InputNode::Properties::SetString(const char16_t* name, const char16_t* value) {
  RefPtr<MModuleProperties> p = HeadEndpoint();
  return p ? p->SetString(name, value) : kErrNotFound;
}

int32_t InputNode::Properties::SetInteger(const char16_t* name, int32_t value) {
  RefPtr<MModuleProperties> p = HeadEndpoint();
  return p ? p->SetInteger(name, value) : kErrNotFound;
}

int32_t InputNode::Properties::SetNumber(const char16_t* name, double value) {
  RefPtr<MModuleProperties> p = HeadEndpoint();
  return p ? p->SetNumber(name, value) : kErrNotFound;
}

}  // namespace vk2

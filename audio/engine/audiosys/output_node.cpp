#include "audio/engine/audiosys/output_node.h"

#include <cmath>
#include <cstring>
#include <new>

#include "audio/common/format_record.h"
#include "audio/engine/audiosys/chain_nodes.h"
#include "component/object/query.h"
#include "foundation/util/result.h"
#include "interfaces/audio/chain_types.h"
#include "interfaces/ids.h"

namespace vk2 {

int32_t CreateOutputNode(MPacketPool* pool, void** out) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  RefPtr<OutputNode> node = OutputNode::Create(pool);
  if (!node) return kErrOutOfMemory;
  *out = static_cast<MOutputNode*>(node.Detach());
  return kOk;
}

RefPtr<OutputNode> OutputNode::Create(MPacketPool* pool) {
  return RefPtr<OutputNode>(new (std::nothrow) OutputNode(pool));
}

OutputNode::OutputNode(MPacketPool* pool) : pool_(pool) {}

OutputNode::~OutputNode() {
  worker_.Stop();
  // The endpoint pulls from this node: it is stopped and let go before the node goes.
  SetEndpoint(nullptr);
  ScopedLock lock(queueLock_);
  for (InputNode* input : queue_)
    input->queued_ = false;
  queue_.clear();
}

MUnknown* OutputNode::QueryMore(const Guid& iid) {
  return iid == kIID_MAudioModule ? &module_ : nullptr;
}

size_t OutputNode::QueuedInputs() {
  ScopedLock lock(queueLock_);
  return queue_.size();
}

RefPtr<MAudioModule> OutputNode::Endpoint() {
  ScopedLock lock(queueLock_);
  return endpoint_;
}

AudioModuleInput* OutputNode::EndpointInput(MAudioModule* endpoint) {
  AudioModuleInput* in = nullptr;
  if (!endpoint || endpoint->GetInput(&in, 0) < 0) return nullptr;
  return in;
}

int32_t OutputNode::CreateInput(MAudioModule** input) {
  if (!input) return kErrMissingArg;
  *input = nullptr;
  auto* node = new (std::nothrow) InputNode(this);
  if (!node) return kErrOutOfMemory;
  node->AddRef();
  {
    ScopedLock lock(queueLock_);
    queue_.push_back(node);
  }
  *input = node;
  return kOk;
}

int32_t OutputNode::SetEndpoint(MAudioModule* endpoint) {
  RefPtr<MAudioModule> old;
  {
    ScopedLock lock(queueLock_);
    old = std::move(endpoint_);
    endpoint_ = RefPtr<MAudioModule>(endpoint);
  }
  if (old) {
    // Stopped first: its playback thread pulls from this node.
    old->StateChange(kChainStopped);
    if (auto registry = Query<MCallbackRegistry>(old, kIID_MCallbackRegistry)) {
      registry->UnregisterCallback(&callback_, 0);
    }
    if (AudioModuleInput* in = EndpointInput(old.Get())) in->Connect(nullptr);
    old->SetChain(nullptr);
  }
  if (endpoint) {
    if (auto registry = Query<MCallbackRegistry>(endpoint, kIID_MCallbackRegistry)) {
      registry->RegisterCallback(&callback_, 0);
    }
    endpoint->SetChain(&chain_);
    if (AudioModuleInput* in = EndpointInput(endpoint)) {
      output_.SetDestination(in);
      in->Connect(&output_);  // fails harmlessly while no input delivers yet
    }
  }
  return kOk;
}

int32_t OutputNode::DrainInputs() {
  EndpointActions actions;
  {
    ScopedLock lock(queueLock_);
    if (InputNode* head = HeadLocked()) {
      for (const InputNode::Notification& n : head->notifications_) {
        actions.remove.push_back(Tagged{n.seconds, n.tag});
      }
      actions.endpoint = endpoint_;
    }
    for (InputNode* input : queue_)
      input->queued_ = false;
    queue_.clear();
    silenceFramesLeft_ = 0;
    silenceFormat_ = nullptr;
  }
  Apply(actions);
  return kOk;
}

int32_t OutputNode::SetGap(double seconds) {
  if (!(seconds >= 0.0)) return kErrMissingArg;
  ScopedLock lock(queueLock_);
  gap_ = seconds;
  return kOk;
}

void OutputNode::TakeHeadOutLocked(EndpointActions* actions) {
  if (queue_.empty()) return;
  InputNode* head = queue_.front();
  queue_.erase(queue_.begin());
  head->queued_ = false;
  for (const InputNode::Notification& n : head->notifications_) {
    actions->remove.push_back(Tagged{n.seconds, n.tag});
  }
  if (InputNode* next = HeadLocked()) {
    actions->add.clear();
    for (const InputNode::Notification& n : next->notifications_) {
      actions->add.push_back(Tagged{n.seconds, n.tag});
    }
    actions->reconnect = true;
  }
  actions->endpoint = endpoint_;
}

void OutputNode::DropAheadLocked(InputNode* input, EndpointActions* actions) {
  bool queued = false;
  for (InputNode* i : queue_)
    queued |= i == input;
  if (!queued) return;
  while (!queue_.empty() && queue_.front() != input)
    TakeHeadOutLocked(actions);
}

void OutputNode::RemoveInput(InputNode* input) {
  EndpointActions actions;
  {
    ScopedLock lock(queueLock_);
    if (HeadLocked() == input) {
      TakeHeadOutLocked(&actions);
    } else {
      for (auto it = queue_.begin(); it != queue_.end(); ++it) {
        if (*it == input) {
          queue_.erase(it);
          break;
        }
      }
    }
    input->queued_ = false;
  }
  Apply(actions);
}

void OutputNode::Apply(EndpointActions& actions) {
  if (!actions.endpoint) return;
  MAudioModule* endpoint = actions.endpoint.Get();
  if (auto tn = Query<MTimeNotifications>(endpoint, kIID_MTimeNotifications)) {
    for (const Tagged& t : actions.remove)
      tn->RemoveNotification(&callback_, t.seconds, t.tag);
    for (const Tagged& t : actions.add)
      tn->AddNotification(&callback_, t.seconds, t.tag);
  }
  // The endpoint chooses its format from what the new head delivers.
  if (actions.reconnect) {
    if (AudioModuleInput* in = EndpointInput(endpoint)) in->Connect(&output_);
  }
  if (actions.stateChange) endpoint->StateChange(actions.stateChange);
  actions = EndpointActions{};
}

// ---- Events from the endpoint ----------------------------------------------------------------

int32_t OutputNode::NodeCallback::OnEvent(MUnknown*, int32_t code, uint32_t key, int32_t argument) {
  // Raised on the endpoint's playback thread: nothing is done to the endpoint from here.
  OutputNode* node = Owner();
  node->worker_.Post([node, code, key, argument] { node->HandleEvent(code, key, argument); });
  return kOk;
}

void OutputNode::HandleEvent(int32_t code, uint32_t key, int32_t argument) {
  EndpointActions actions;
  {
    // Forwarded under the queue lock: the input stays in place meanwhile, and its chain, which
    // unregisters before it goes, waits for the call to end.
    ScopedLock lock(queueLock_);
    InputNode* head = HeadLocked();
    if (!head) return;
    if (code == kEventTimeNotification) {
      for (InputNode* input : queue_) {
        auto& list = input->notifications_;
        for (auto it = list.begin(); it != list.end(); ++it) {
          if (it->tag != key) continue;
          const InputNode::Notification n = *it;
          list.erase(it);
          n.callback->OnEvent(input->chain_, kEventTimeNotification, n.key, 0);
          return;
        }
      }
      return;
    }
    head->callbacks_.Fire(head->chain_, code, argument);
    if (code == kEventStreamEnded && queue_.size() > 1) {
      TakeHeadOutLocked(&actions);
      InputNode* next = HeadLocked();
      if (next->state_ == kChainCued || next->state_ == kChainPlaying) {
        lastState_ = kChainPlaying;
        actions.stateChange = kChainPlaying;
      } else {
        lastState_ = kChainStopped;
      }
    }
  }
  Apply(actions);
}

// ---- The node's module face and output -------------------------------------------------------

int32_t OutputNode::Module::GetInputByName(AudioModuleInput** input, const char16_t*) {
  if (input) *input = nullptr;
  return kErrNotFound;
}

int32_t OutputNode::Module::GetInput(AudioModuleInput** input, int32_t) {
  if (input) *input = nullptr;
  return kErrNotFound;
}

int32_t OutputNode::Module::GetOutputByName(AudioModuleOutput** output, const char16_t* name) {
  if (!output) return kErrMissingArg;
  *output = nullptr;
  if (!name || WideCompare(name, u"output", true) != 0) return kErrNotFound;
  *output = &Owner()->output_;
  return kOk;
}

int32_t OutputNode::Module::GetOutput(AudioModuleOutput** output, int32_t index) {
  if (!output) return kErrMissingArg;
  *output = index == 0 ? &Owner()->output_ : nullptr;
  return index == 0 ? kOk : kErrNotFound;
}

int32_t OutputNode::Output::GetName(TString* name) {
  if (name) *name = u"output";
  return kOk;
}

int32_t OutputNode::Output::GetFormats(AudioFormatList* formats) {
  if (!formats) return kErrMissingArg;
  ScopedLock lock(node_->queueLock_);
  InputNode* head = node_->HeadLocked();
  if (!head || !head->upstream_) return kOk;
  return head->upstream_->GetFormats(formats);
}

int32_t OutputNode::Output::SetFormat(AudioFormat* format) {
  ScopedLock lock(node_->queueLock_);
  InputNode* head = node_->HeadLocked();
  if (!head || !head->upstream_) return kOk;
  return head->upstream_->SetFormat(format);
}

int32_t OutputNode::Output::SetDestination(AudioModuleInput* downstream) {
  ScopedLock lock(node_->queueLock_);
  node_->destination_ = downstream;
  return kOk;
}

int32_t OutputNode::Output::GetOwner(MAudioModule** owner) {
  if (!owner) return kErrMissingArg;
  node_->AddRef();
  *owner = &node_->module_;
  return kOk;
}

int32_t OutputNode::Output::GetPacket(AudioPacket** slot) {
  if (!slot) return kErrMissingArg;
  OutputNode* n = node_;
  EndpointActions actions;
  int32_t r = kOk;
  {
    ScopedLock lock(n->queueLock_);
    InputNode* head = n->HeadLocked();
    if (n->InsertingSilenceLocked()) {
      r = n->MakeSilenceLocked(slot);
    } else if (!head || !head->upstream_) {
      r = MediaError(kMsEndOfData);
    } else {
      r = head->upstream_->GetPacket(slot);
      AudioPacket* p = *slot;
      InputNode* next = n->queue_.size() > 1 ? n->queue_[1] : nullptr;
      // Only while playing: a cued or paused endpoint finishes the stream instead and waits to
      // play it out, and the next item starts from its own play.
      if (r >= 0 && p && (p->flags & kPacketLast) && next && n->lastState_ == kChainPlaying &&
          (next->state_ == kChainCued || next->state_ == kChainPlaying)) {
        // The next item is ready: the endpoint must not stop, it goes on with the next input
        // after the gap.
        p->flags &= ~static_cast<uint32_t>(kPacketLast);
        n->TakeHeadOutLocked(&actions);
        // The new head plays; the endpoint plays already, so it is not told again.
        next->state_ = kChainPlaying;
        n->lastState_ = kChainPlaying;
        n->silenceFramesLeft_ = 0;
        n->silenceFormat_ = nullptr;
        n->silenceTime_ = 0.0;
        if (p->format && IsPcm(*p->format)) {
          const long long frames = std::llround(p->format->sampleRate * n->gap_);
          n->silenceFramesLeft_ = frames > 0 ? static_cast<uint64_t>(frames) : 0;
          if (n->silenceFramesLeft_ > 0) n->silenceFormat_ = CopyFormat(*p->format);
        }
      }
    }
  }
  n->Apply(actions);
  return r;
}

int32_t OutputNode::MakeSilenceLocked(AudioPacket** slot) {
  AudioFormat& f = *silenceFormat_;
  const uint32_t frameBytes = BytesPerFrame(f);
  const uint32_t sampleBytes = BytesPerSample(f);
  // The fill of one sample: zero for float and signed samples, the mid value for unsigned ones.
  uint32_t unsignedWidth = 0;
  if (!f.isFloat && !f.isSigned) {
    if (sampleBytes == 1 || sampleBytes == 2) {
      unsignedWidth = sampleBytes;
    } else {
      silenceFramesLeft_ = 0;
      silenceFormat_ = nullptr;
      return MediaError(kMsUnsupportedForFormat);
    }
  }
  if (frameBytes == 0) {
    silenceFramesLeft_ = 0;
    silenceFormat_ = nullptr;
    return MediaError(kMsUnsupportedForFormat);
  }
  // Whole frames only: a partial frame would shift every later sample.
  const uint64_t maxFrames = std::max<uint64_t>(kMaxSilenceBytes / frameBytes, 1);
  const uint64_t frames = std::min(silenceFramesLeft_, maxFrames);
  const uint32_t bytes = static_cast<uint32_t>(frames * frameBytes);
  const int32_t r = pool_ ? pool_->AcquirePacket(slot, bytes) : kErrFailed;
  if (r < 0) return r;
  AudioPacket* p = *slot;
  if (unsignedWidth == 1) {
    std::memset(p->data, 0x80, bytes);
  } else if (unsignedWidth == 2) {
    for (uint32_t i = 0; i + 1 < bytes; i += 2) {
      p->data[i] = 0x00;
      p->data[i + 1] = 0x80;
    }
  } else {
    std::memset(p->data, 0, bytes);
  }
  p->byteCount = bytes;
  p->flags = kPacketDiscontinuity;
  p->streamId = kInsertedStreamId;
  p->SetFormat(&f);
  p->position = silenceTime_;
  const uint32_t bps = BytesPerSecond(f);
  p->length = bps ? static_cast<double>(bytes) / bps : 0.0;
  silenceTime_ += p->length;
  silenceFramesLeft_ -= frames;
  if (silenceFramesLeft_ == 0) silenceFormat_ = nullptr;
  return kOk;
}

}  // namespace vk2
